// "作者ホームページ" from a lone copy of the program: this suite's executable is built into a
// folder of its own, with no installed guide beside it, as a user copies a portable program,
// and the user's cache folder is pointed into a temporary folder. ctest runs these tests one
// at a time, since one of them puts an installed guide beside the executable for a while.
#include "commands/commands.h"
#include "commands/guide.h"
#include "commands/startup.h"
#include "settings/paths.h"

#include "commands_files.h"
#include "commands_seams.h"

#include <chrono>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

class LoneCopyHelp : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(std::filesystem::exists(std::filesystem::path(InstalledGuidePath())))
            << "an installed guide is beside the executable";
#ifdef _WIN32
        // The cache is the shell's known folder, which no variable moves: the test prefix's.
        std::filesystem::remove(copy());
#else
        // Never the real user's cache.
        ASSERT_EQ(UserCacheFolder(), JoinPath(dir.file(u"cache"), u"kasorel"));
#endif
    }
#ifdef _WIN32
    void TearDown() override {
        std::filesystem::remove(copy());
    }
#endif

    static std::filesystem::path copy() {
        return JoinPath(UserCacheFolder(), u"guide.html");
    }
    static std::vector<std::u16string> openedCopy() {
        return {FileUrl(copy().u16string())};
    }

    TempFolder dir;
    const ScopedEnvironment cache{kCacheVariable, dir.path() / "cache"};
    ScriptedCommands sc;
};

TEST_F(LoneCopyHelp, WritesTheBuiltInPageAndOpensItAsAFileAddress) {
    ASSERT_FALSE(BuiltInGuide().empty());
    sc.commands.N7Click();
    EXPECT_EQ(ReadFile(copy()), std::string(BuiltInGuide()));
    EXPECT_EQ(sc.desktop.opened, openedCopy());
    ASSERT_EQ(sc.desktop.opened.size(), 1u);
    EXPECT_EQ(LocalPathOf(sc.desktop.opened.front()), copy());
    EXPECT_TRUE(sc.desktop.errors.empty());
    // Nothing to report, and the keyboard goes back to the text.
    EXPECT_EQ(sc.window.status, u"");
    EXPECT_EQ(sc.window.focused, 1);
}

TEST_F(LoneCopyHelp, TheBuiltInPageIsTheConfiguredGuide) {
    const std::string_view html = BuiltInGuide();
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>") || html.starts_with("<!doctype html>"))
        << html.substr(0, 40);
    EXPECT_NE(html.find("</html>"), std::string_view::npos);
    EXPECT_EQ(html.find("@PROJECT_VERSION@"), std::string_view::npos);
    EXPECT_NE(html.find(std::string("バージョン ") + Version()), std::string_view::npos);
}

TEST_F(LoneCopyHelp, ASecondClickLeavesTheCopyAsItIs) {
#ifdef __EMSCRIPTEN__
    GTEST_SKIP() << "Emscripten sets no file dates on Node's file system";
#endif
    sc.commands.N7Click();
    // Dated back, so that any rewrite, however quick, shows.
    const auto dated = std::filesystem::last_write_time(copy()) - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(copy(), dated);

    sc.commands.N7Click();
    EXPECT_EQ(std::filesystem::last_write_time(copy()), dated);
    EXPECT_EQ(ReadFile(copy()), std::string(BuiltInGuide()));
    EXPECT_EQ(sc.desktop.opened, std::vector<std::u16string>(2, openedCopy().front()));
    // No temporary file left beside it either.
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(copy().parent_path()))
        ++files;
    EXPECT_EQ(files, 1);
    EXPECT_TRUE(sc.desktop.errors.empty());
}

struct StaleCase {
    const char* name;
    std::string (*content)(std::string_view builtIn);
};

void PrintTo(const StaleCase& c, std::ostream* os) {
    *os << c.name;
}

class StaleCopy : public LoneCopyHelp, public testing::WithParamInterface<StaleCase> {};

TEST_P(StaleCopy, IsWrittenAgain) {
    std::filesystem::create_directories(copy().parent_path());
    const std::string stale = GetParam().content(BuiltInGuide());
    ASSERT_NE(stale, BuiltInGuide());
    WriteFile(copy(), stale);
    sc.commands.N7Click();
    EXPECT_EQ(ReadFile(copy()), std::string(BuiltInGuide()));
    EXPECT_EQ(sc.desktop.opened, openedCopy());
    EXPECT_TRUE(sc.desktop.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Copies, StaleCopy,
    testing::Values(
        StaleCase{"Empty", [](std::string_view) { return std::string(); }},
        StaleCase{"Truncated",
                  [](std::string_view b) { return std::string(b.substr(0, b.size() / 2)); }},
        StaleCase{"OneByteLonger", [](std::string_view b) { return std::string(b) + "\n"; }},
        // An older version's page differs in one place only.
        StaleCase{"OneByteChanged",
                  [](std::string_view b) {
                      std::string s(b);
                      s[s.size() / 2] = s[s.size() / 2] == 'x' ? 'y' : 'x';
                      return s;
                  }}),
    ByCaseName());

// Below a regular file no folder can be made, not even by root.
TEST_F(LoneCopyHelp, AnUnwritableCacheShowsTheErrorAndOpensNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "the cache folder is the shell's known folder, which no variable moves";
#endif
    WriteFile(dir.path() / "blocker", "");
    const ScopedEnvironment blocked(kCacheVariable, dir.path() / "blocker" / "cache");
    sc.commands.N7Click();
    const std::u16string path =
        (dir.path() / "blocker" / "cache" / "kasorel" / "guide.html").u16string();
    ASSERT_EQ(sc.desktop.errors.size(), 1u);
    EXPECT_EQ(sc.desktop.errors.front().text, path + u" に書き込めません.");
    EXPECT_EQ(sc.desktop.errors.front().caption, u"commands_guide_test");
    EXPECT_TRUE(sc.desktop.opened.empty());
    EXPECT_EQ(ReadFile(dir.path() / "blocker"), std::string());
    EXPECT_EQ(sc.window.status, u"作者ホームページ: エラーのため中止しました");
    EXPECT_EQ(sc.window.focused, 1);
}

TEST_F(LoneCopyHelp, TheInstalledGuideIsOpenedWhereThereIsOne) {
    const std::filesystem::path installed(InstalledGuidePath());
    // The folders made here go again at the end, whatever the test's outcome.
    std::filesystem::path made = installed.parent_path();
    while (!std::filesystem::exists(made.parent_path()))
        made = made.parent_path();
    const bool madeFolders = !std::filesystem::exists(made);
    struct Cleanup {
        std::filesystem::path file, folder;
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove(file, ignored);
            if (!folder.empty())
                std::filesystem::remove_all(folder, ignored);
        }
    } cleanup{installed, madeFolders ? made : std::filesystem::path()};
    std::filesystem::create_directories(installed.parent_path());
    WriteFile(installed, "<!DOCTYPE html><title>installed</title>");

    sc.commands.N7Click();
    EXPECT_EQ(sc.desktop.opened, std::vector<std::u16string>{FileUrl(installed.u16string())});
    EXPECT_FALSE(std::filesystem::exists(copy()));
    EXPECT_EQ(ReadFile(installed), "<!DOCTYPE html><title>installed</title>");
    EXPECT_TRUE(sc.desktop.errors.empty());
}

} // namespace
