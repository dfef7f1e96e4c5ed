// 費目を覚える when the table cannot be written: a small write on a full disk, the file size
// limit standing in for it.
#include "commands/commands.h"
#include "commands_files.h"
#include "commands_seams.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <csignal>
#include <sys/resource.h>

using namespace kasorel;

namespace {

TEST(CategoryCommands, AFailedWriteLeavesTheTableWholeAndSaysSo) {
    TempFolder dir;
    ScriptedCommands sc;
    sc.commands.SetIniFileName(dir.file(u"kasorel"));
    sc.commands.SetCategoriesFileName(dir.file(u"kasorel.categories"));
    sc.setText(u"2024/05/01\tショップA\t食費\t\t1,200\r\n");
    sc.commands.Button20Click();
    const std::optional<std::string> before = ReadFile(dir.path() / "kasorel.categories");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = before->size();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    sc.setText(u"2024/05/02\tショップB\t日用品\t\t300\r\n");
    sc.commands.Button20Click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(sc.desktop.errorTexts(),
              std::vector<std::u16string>{dir.file(u"kasorel.categories") + u" に書き込めません."});
    EXPECT_EQ(sc.window.status, u"費目を覚える: エラーのため中止しました");
    EXPECT_EQ(ReadFile(dir.path() / "kasorel.categories"), before);
}

} // namespace
#endif
