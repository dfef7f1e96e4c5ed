#include "settings/location.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace kasorel;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

TEST(SettingsLocation, BesideTheExecutableOnlyWhereTheUserCanReplaceTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString config = dir.filePath(QStringLiteral("config/kasorel"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("own"))));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("fresh"))));
    touch(dir.filePath(QStringLiteral("own/kasorel.ini")));
    // Root may write anywhere; below a regular file nobody can create anything.
    touch(dir.filePath(QStringLiteral("blocked")));

    const struct {
        const char* executable;
        bool perUserOnly;
        bool beside;
    } cases[] = {
        {"own/kasorel", false, true},       // a writable file beside it
        {"fresh/kasorel", false, true},     // a writable folder, no file yet
        {"blocked/kasorel", false, false},  // a folder nobody can write
        {"own/kasorel", true, false},       // the program built for the system package
        {"fresh/kasorel.bin", false, true}, // the stem drops the extension
    };
    for (const auto& c : cases) {
        const QString exe = dir.filePath(QString::fromUtf8(c.executable));
        const QString stem = ChooseIniFileStem(exe, config, c.perUserOnly);
        const QString want = c.beside ? exe.left(exe.lastIndexOf(u'/')) + QStringLiteral("/kasorel")
                                      : config + QStringLiteral("/kasorel");
        EXPECT_EQ(stem.toStdString(), want.toStdString()) << c.executable;
    }
}

// Root is never refused a write, so a read-only file only counts for an ordinary user; the
// package test runs the real program as one.
TEST(SettingsLocation, AReadOnlyFileSendsAnOrdinaryUserToTheirOwnFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file";
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("kasorel.ini")));
    ASSERT_TRUE(
        QFile::setPermissions(dir.filePath(QStringLiteral("kasorel.ini")), QFileDevice::ReadOwner));
    EXPECT_EQ(
        ChooseIniFileStem(dir.filePath(QStringLiteral("kasorel")), QStringLiteral("/c"), false),
        QStringLiteral("/c/kasorel"));
}

} // namespace
