// 費目を覚える and the rows it fills: through the commands, with real files.
#include "commands/commands.h"
#include "commands_files.h"
#include "commands_seams.h"
#include "convert/primitives.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <csignal>
#include <sys/resource.h>
#endif

using namespace kasorel;

namespace {

TEST(CategoryCommands, LearntRowsFillTheNextStatementAndTheHistoryLooksPastThem) {
    TempFolder dir;
    ScriptedCommands sc;
    sc.commands.SetIniFileName(dir.file(u"kasorel"));
    sc.commands.SetHistoryFileName(dir.file(u"kasorel.history"));
    sc.commands.SetCategoriesFileName(dir.file(u"kasorel.categories"));
    // This month's statement, so the history keeps its rows.
    const LocalDate today = Now();
    const std::u16string month =
        IntToStr(today.year) + (today.month < 10 ? u"/0" : u"/") + IntToStr(today.month);
    std::u16string statement = kRakutenStatement;
    for (std::size_t at; (at = statement.find(u"2024/05")) != std::u16string::npos;)
        statement.replace(at, 7, month);
    sc.setText(statement);
    sc.commands.Button1Click();

    const std::u16string sheet = month + u"/01\tショップA\t食費\tスーパー\t1,200\r\n";
    sc.setText(sheet);
    sc.commands.Button20Click();
    EXPECT_EQ(sc.window.status, u"費目を覚える: 1 行から 1 件の内容を覚えました");
    EXPECT_EQ(sc.text(), sheet);
    EXPECT_EQ(sc.clipboard.texts.size(), 1u);

    sc.setText(statement);
    const int edits = sc.textArea.edits;
    sc.commands.Button1Click();
    const std::u16string filled = month + u"/01\tショップA\t食費\tスーパー\t1,200";
    EXPECT_EQ(sc.clipboard.last(), filled + u"\r\n" + month + u"/03\tショップB\t\t\t800\r\n");
    EXPECT_NE(sc.text().find(filled + u"\r\n"), std::u16string::npos);
    EXPECT_EQ(sc.textArea.edits, edits + 1);
    EXPECT_EQ(sc.window.status,
              u"楽天カード: 2 行をクリップボードにコピーしました(うち 2 行は送信済"
              u"み) (うち 1 行に費目を入れました)");

#if defined(__linux__)
    // A small write on a full disk (the file size limit standing in for it) leaves the table
    // as it was, and says so.
    const std::optional<std::string> before = ReadFile(dir.path() / "kasorel.categories");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = before->size();
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    sc.setText(month + u"/02\tショップC\t日用品\t\t300\n");
    sc.commands.Button20Click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(sc.desktop.errorTexts(),
              std::vector<std::u16string>{dir.file(u"kasorel.categories") + u" に書き込めません."});
    EXPECT_EQ(sc.window.status, u"費目を覚える: エラーのため中止しました");
    EXPECT_EQ(ReadFile(dir.path() / "kasorel.categories"), before);
#endif
}

} // namespace
