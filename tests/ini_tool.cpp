// The desktop's own reader and writer of the settings file, for scripts that hold another
// shell's file against it:
//   ini_tool write <file.ini> <section> <key> <value> [<section> <key> <value>]...
//   ini_tool read <file.ini> <section> <key>      prints the value (empty when absent)
#include "convert/unicode.h"
#include "settings/inifile.h"

#include <cstdio>
#include <cstring>
#include <string>

using namespace kasorel;

int main(int argc, char** argv) {
    const bool write = argc >= 6 && (argc - 3) % 3 == 0 && std::strcmp(argv[1], "write") == 0;
    const bool read = argc == 5 && std::strcmp(argv[1], "read") == 0;
    if (!write && !read) {
        std::fputs("usage: ini_tool write FILE SECTION KEY VALUE... | read FILE SECTION KEY\n",
                   stderr);
        return 2;
    }
    std::u16string stem = FromUtf8(argv[2]);
    stem.resize(stem.size() - 4);
    if (read) {
        std::puts(ToUtf8(ReadIniString(stem, FromUtf8(argv[3]), FromUtf8(argv[4]), u"")).c_str());
        return 0;
    }
    for (int i = 3; i + 2 < argc; i += 3)
        WriteIniString(stem, FromUtf8(argv[i]), FromUtf8(argv[i + 1]), FromUtf8(argv[i + 2]));
    return 0;
}
