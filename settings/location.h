#pragma once

// Which settings file the program uses: the one beside the executable, where a copy the
// user unpacked or built keeps its settings with it, or the user's own one, where the
// program is installed for everybody.

#include <string>
#include <string_view>

namespace kasorel {

// The settings path stem (the file is the stem and ".ini") for an executable:
//   - IniFileStem(executablePath), the file beside the executable, when perUserOnly is
//     false and that file exists (a read-only one too: its values are read, and a write to
//     it fails with EIniFileException), or does not exist yet in a folder the user can write;
//   - otherwise JoinPath(userConfigFolder, "kasorel"), so the file is kasorel.ini in the
//     user's configuration folder, which the first write creates.
// perUserOnly is set in the program built for the system package, so that not even root
// leaves a file beside /usr/bin/kasorel. The checks ask the file system with the caller's
// own rights; a folder below a regular file counts as not writable.
std::u16string ChooseIniFileStem(std::u16string_view executablePath,
                                 std::u16string_view userConfigFolder, bool perUserOnly);

} // namespace kasorel
