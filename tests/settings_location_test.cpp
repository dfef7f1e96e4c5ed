#include "settings/location.h"

#include "convert/unicode.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include "settings/paths.h"

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
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

// Root is never refused a write, so a read-only file only counts for an ordinary user; the
// package test runs the real program as one.
#ifndef _WIN32
TEST(SettingsLocation, AReadOnlyFileSendsAnOrdinaryUserToTheirOwnFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file";
    TemporaryFolder dir;
    touch(dir.File("kasorel.ini"));
    ASSERT_EQ(::chmod(ToUtf8(dir.File("kasorel.ini")).c_str(), 0400), 0);
    EXPECT_EQ(ChooseIniFileStem(dir.File("kasorel"), u"/c", false), u"/c/kasorel");
}
#endif

} // namespace
