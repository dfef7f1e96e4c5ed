#include "settings/location.h"

#include "settings/file.h"
#include "settings/inifile.h"
#include "settings/paths.h"

namespace kasorel {

std::u16string ChooseIniFileStem(std::u16string_view executablePath,
                                 std::u16string_view userConfigFolder, bool perUserOnly) {
    const std::u16string beside = IniFileStem(executablePath);
    const std::u16string file = IniFilePath(beside);
    // A bare file name lies in the working folder.
    const std::u16string parent = FolderOf(executablePath);
    const std::u16string folder = parent.empty() ? std::u16string(u".") : parent;
    if (perUserOnly)
        return JoinPath(userConfigFolder, u"kasorel");
    // A file beside the executable holds the user's settings even when it cannot be written:
    // reading elsewhere would hide them, and a write must say it was refused.
    if (PathExists(file) || IsWritableFolder(folder))
        return beside;
    return JoinPath(userConfigFolder, u"kasorel");
}

} // namespace kasorel
