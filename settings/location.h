#pragma once

// Which settings file the program uses: the one beside the executable, where a copy the
// user unpacked or built keeps its settings with it, or the user's own one, where the
// program is installed for everybody.

#include <QString>

namespace kasorel {

// The settings path stem (the file is the stem and ".ini") for an executable:
//   - IniFileStem(executablePath), the file beside the executable, when perUserOnly is
//     false and the user can replace that file: the executable's folder is writable and the
//     file, when it exists, is writable too;
//   - otherwise userConfigFolder + "/kasorel", so the file is kasorel.ini in the user's
//     configuration folder, which the first write creates.
// perUserOnly is set in the program built for the system package, so that not even root
// leaves a file beside /usr/bin/kasorel. The checks ask the file system with the caller's
// own rights; a folder below a regular file counts as not writable.
QString ChooseIniFileStem(const QString& executablePath, const QString& userConfigFolder,
                          bool perUserOnly);

} // namespace kasorel
