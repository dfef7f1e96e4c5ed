// The file services under the settings file, on real files: what a replace leaves behind
// when it cannot finish, and what the writability questions answer.
#include "settings/file.h"

#include "convert/unicode.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kasorel;

namespace {

namespace fs = std::filesystem;

class FileTest : public ::testing::Test {
protected:
    TemporaryFolder dir;
};

TEST_F(FileTest, ReadsWholeFilesAndNothingElse) {
    const std::string bytes("a\0b\r\n\xff", 6);
    ASSERT_TRUE(WriteFileBytes(dir.File("f"), bytes));
    EXPECT_EQ(ReadWholeFile(dir.File("f")), bytes);
    ASSERT_TRUE(WriteFileBytes(dir.File("empty"), ""));
    EXPECT_EQ(ReadWholeFile(dir.File("empty")), std::string());
    EXPECT_EQ(ReadWholeFile(dir.File("missing")), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.Path()), std::nullopt);
    EXPECT_EQ(ReadWholeFile(dir.File("f/below")), std::nullopt);
}

TEST_F(FileTest, ReplaceWritesAndCreatesFolders) {
    const std::u16string file = dir.File("sub/deeper/f.ini");
    EXPECT_EQ(ReplaceWholeFile(file, "one"), Replaced::Written);
    EXPECT_EQ(FileBytes(file), "one");
    EXPECT_EQ(ReplaceWholeFile(file, std::string("t\0o", 3)), Replaced::Written);
    EXPECT_EQ(FileBytes(file), std::string("t\0o", 3));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"sub"});
}

// Nothing can be made below a regular file, not even by root; a folder in the target's
// place cannot be replaced either.
TEST_F(FileTest, ReplaceRefusesPathsThatCannotHoldAFile) {
    ASSERT_TRUE(WriteFileBytes(dir.File("plain"), "kept"));
    fs::create_directory(fs::path(dir.File("folder")));
    for (const char* name : {"plain/f.ini", "plain/missing/f.ini", "folder"}) {
        const std::u16string target = dir.File(name);
        try {
            ReplaceWholeFile(target, "new");
            ADD_FAILURE() << "no error for " << name;
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.message(), target + u" に書き込めません");
        }
    }
    EXPECT_EQ(FileBytes(dir.File("plain")), "kept");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"folder", "plain"}));
}

TEST_F(FileTest, WritabilityAndExistence) {
    ASSERT_TRUE(WriteFileBytes(dir.File("plain"), ""));
    const struct {
        const char* name;
        bool folder;
        bool file;
        bool exists;
    } cases[] = {
        {"", true, true, true},
        {"plain", false, true, true},
        {"plain/below", false, false, false},
        {"missing", false, false, false},
    };
    for (const auto& c : cases) {
        const std::u16string path = *c.name ? dir.File(c.name) : dir.Path();
        EXPECT_EQ(IsWritableFolder(path), c.folder) << c.name;
        if (*c.name) { // a folder is no file to replace on every platform
            EXPECT_EQ(IsWritableFile(path), c.file) << c.name;
        }
        EXPECT_EQ(PathExists(path), c.exists) << c.name;
    }
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)

TEST_F(FileTest, ALinkToWhatIsNoFileIsSkippedAndADanglingOneNeverExists) {
    const fs::path null(dir.File("null.ini"));
    fs::create_symlink("/dev/null", null);
    EXPECT_EQ(ReplaceWholeFile(dir.File("null.ini"), "x"), Replaced::Skipped);
    EXPECT_TRUE(fs::is_symlink(null));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    fs::create_symlink(fs::path(dir.File("nowhere")), fs::path(dir.File("dangling")));
    EXPECT_FALSE(PathExists(dir.File("dangling")));
    EXPECT_FALSE(IsWritableFile(dir.File("dangling")));
    EXPECT_FALSE(IsWritableFolder(dir.File("dangling")));
}

// A file size limit below even the smallest content: the first write of the replace fails,
// and the old file and the folder stay exactly as they were.
TEST_F(FileTest, AFullDiskLeavesTheOldFileAndNoTemporaryOne) {
    ASSERT_TRUE(WriteFileBytes(dir.File("f.ini"), "old"));
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit none = old;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &none), 0);
    bool refused = false;
    try {
        ReplaceWholeFile(dir.File("f.ini"), "x");
    } catch (const EIniFileException&) {
        refused = true;
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(refused);
    EXPECT_EQ(FileBytes(dir.File("f.ini")), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"f.ini"});
}

// Root writes anything, so only an ordinary user sees a read-only file refused.
TEST_F(FileTest, ReadOnlyForAnOrdinaryUser) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write read-only files";
    ASSERT_TRUE(WriteFileBytes(dir.File("ro"), "kept"));
    ASSERT_EQ(::chmod(ToUtf8(dir.File("ro")).c_str(), 0444), 0);
    EXPECT_FALSE(IsWritableFile(dir.File("ro")));
    EXPECT_THROW(ReplaceWholeFile(dir.File("ro"), "new"), EIniFileException);
    EXPECT_EQ(FileBytes(dir.File("ro")), "kept");
}

#endif

} // namespace
