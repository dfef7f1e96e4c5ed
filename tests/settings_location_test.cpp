#include "settings/location.h"

#include "convert/unicode.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include "settings/paths.h"

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace kasorel;

namespace {

void touch(const std::u16string& path) {
    ASSERT_TRUE(WriteFileBytes(path, "")) << ToUtf8(path);
}

TEST(SettingsLocation, BesideTheExecutableOnlyWhereTheUserCanReplaceTheFile) {
    TemporaryFolder dir;
    ASSERT_TRUE(dir.IsValid());
    const std::u16string config = dir.File("config/kasorel");
    std::filesystem::create_directories(std::filesystem::path(dir.File("own")));
    std::filesystem::create_directories(std::filesystem::path(dir.File("fresh")));
    touch(dir.File("own/kasorel.ini"));
    // Root may write anywhere; below a regular file nobody can create anything.
    touch(dir.File("blocked"));

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
        const std::u16string exe = dir.File(c.executable);
        const std::u16string stem = ChooseIniFileStem(exe, config, c.perUserOnly);
        const std::u16string want = c.beside ? exe.substr(0, exe.rfind(u'/')) + u"/kasorel"
                                             : config + FolderSeparator() + u"kasorel";
        EXPECT_EQ(ToUtf8(stem), ToUtf8(want)) << c.executable;
    }
}

// A read-only file beside the executable stays the settings file; only a folder that holds
// none and takes none sends the user to their own. Root is refused nothing, so the choice is
// made as the user nobody, in a child process.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
TEST(SettingsLocation, AReadOnlyFileBesideTheExecutableIsKept) {
    for (const bool exists : {true, false}) {
        TemporaryFolder dir;
        if (exists) {
            touch(dir.File("kasorel.ini"));
            ASSERT_EQ(::chmod(ToUtf8(dir.File("kasorel.ini")).c_str(), 0444), 0);
        }
        ASSERT_EQ(::chmod(ToUtf8(dir.Path()).c_str(), 0555), 0);
        const auto choose = [&] {
            return ChooseIniFileStem(dir.File("kasorel"), u"/c", false) ==
                   (exists ? dir.File("kasorel") : std::u16string(u"/c/kasorel"));
        };
        if (::geteuid() != 0) {
            EXPECT_TRUE(choose()) << "exists: " << exists;
            continue;
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && choose() ? 0 : 1);
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(status, 0) << "exists: " << exists;
    }
}
#endif

} // namespace
