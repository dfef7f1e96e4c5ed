#include "settings/location.h"

#include "settings/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace kasorel {

namespace {

// A folder that is really a regular file passes access(); nothing can be made below it.
bool canWriteFolder(const QString& path) {
    return QFileInfo(path).isDir() && ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool canWrite(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool exists(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), F_OK) == 0;
}

} // namespace

QString ChooseIniFileStem(const QString& executablePath, const QString& userConfigFolder,
                          bool perUserOnly) {
    const QString beside = IniFileStem(executablePath);
    const QString file = IniFilePath(beside);
    const QString folder = QFileInfo(executablePath).absolutePath();
    if (!perUserOnly && canWriteFolder(folder) && (!exists(file) || canWrite(file)))
        return beside;
    return userConfigFolder + QStringLiteral("/kasorel");
}

} // namespace kasorel
