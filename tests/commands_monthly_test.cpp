// 自動判別 and the history of rows sent, over scripted seams, with a real history file in a
// temporary folder and a real HTTP server on 127.0.0.1 for the US dividends.
#include "commands/commands.h"
#include "convert/primitives.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/paths.h"

#include "commands_files.h"
#include "commands_seams.h"
#include "rates_local_server.h"

#include <cstdio>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// text with its dates in this month: the history forgets rows older than 13 months.
std::u16string ThisMonth(std::u16string_view text) {
    const LocalDate today = Today();
    char month[8];
    std::snprintf(month, sizeof month, "%04d/%02d", today.year, today.month);
    return AnsiReplaceStr(text, u"2024/05", FromAscii(month));
}

const std::u16string kView = u"2024\r\n03/05xy\tStore A\tmemo\r\nany\r\n1,980\r\n";
const std::u16string kCoop = u"2024/05/01\t牛乳\t2\t420 円\r\n";

class Monthly : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitHttpTransport();
        ClearProxyEnvironment();
    }
    void SetUp() override {
        sc.commands.SetIniFileName(dir.file(u"kasorel"));
        sc.commands.SetHistoryFileName(history);
        sc.commands.RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
        server.Answer([](const auto&, httplib::Response& res) {
            res.set_content(R"({"rates":{"JPY":151.3,"USD":1}})", "application/json");
        });
    }
    TempFolder dir;
    const std::u16string history = dir.file(u"kasorel.history");
    LocalServer server;
    ScriptedCommands sc;
};

// Each text, the answer to the question it raises ('-' for none), and what the status line says
// after "自動判別: ".
TEST_F(Monthly, OneCommandForAnyStatement) {
    const struct {
        std::u16string text;
        char answer;
        std::u16string_view status;
    } cases[] = {
        {kRakutenStatement, '-', u"楽天カード として 2 行をクリップボードにコピーしました"},
        {u"銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n", '-',
         u"国外配当 として 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"},
        {kView + kCoop, 'y', u"Viewカード として 1 行をクリップボードにコピーしました"},
        {u"銘柄名abcdefgA\r\n入金額abcdefg1.00 USD\r\n入金額abcdefg8,000円", 'n',
         u"変換しませんでした"},
        {u"2024年の明細はありません\r\n合計 0 円", '-',
         u"明細の種類を判別できませんでした (わかる種類: "
         u"楽天カード、国外配当、国内配当、Viewカード、"
         u"T生協)"},
    };
    for (const auto& c : cases) {
        sc.setText(c.text);
        sc.clipboard.texts.clear();
        sc.desktop.questions.clear();
        if (c.answer != '-')
            sc.desktop.confirmAnswers = {c.answer == 'y'};
        sc.commands.Button15Click();
        EXPECT_EQ(sc.window.status, u"自動判別: " + std::u16string(c.status));
        const bool copied = c.status.find(u"コピーしました") != std::u16string_view::npos;
        EXPECT_EQ(sc.clipboard.texts.size(), copied ? 1u : 0u) << ToUtf8(sc.window.status);
        EXPECT_EQ(sc.desktop.questions.size(), c.answer == '-' ? 0u : 1u)
            << ToUtf8(sc.window.status);
        EXPECT_TRUE(copied || sc.text() == TextArea(c.text).Text()) << "the text stays as it was";
    }
}

TEST_F(Monthly, RowsSentBeforeAreFlaggedAndMayBeLeftOut) {
    const auto convert = [&](std::u16string_view text) {
        sc.setText(text);
        sc.commands.Button1Click();
        return sc.window.status;
    };
    const std::u16string statement = ThisMonth(kRakutenStatement);
    const std::u16string one =
        ThisMonth(u"2024/05/09\tショップC\t500 円\r\n支払方法\t一括\r\nx\r\ny\r\n");
    const std::u16string oneRow = ThisMonth(u"2024/05/09\tショップC\t\t\t500\r\n");
    EXPECT_EQ(convert(statement), u"楽天カード: 2 行をクリップボードにコピーしました");
    EXPECT_EQ(convert(statement),
              u"楽天カード: 2 行をクリップボードにコピーしました(うち 2 行は送信済み)");
    EXPECT_EQ(sc.clipboard.last(), ThisMonth(kRakutenRows));
    sc.desktop.confirmAnswers = {true};
    sc.commands.Button16Click();
    EXPECT_TRUE(ReadIniBoolean(dir.file(u"kasorel"), u"history", u"SkipSent", false));
    EXPECT_EQ(convert(statement),
              u"楽天カード: 2 行はすべて送信済みのため、クリップボードはそのままです");
    EXPECT_EQ(sc.clipboard.texts.size(), 2u);
    EXPECT_EQ(convert(statement + u"\r\n" + one),
              u"楽天カード: 1 行をクリップボードにコピーしました(送信済みの 2 行は除きました)");
    EXPECT_EQ(sc.clipboard.last(), oneRow);

    // A history the program may not use, or cannot write, never keeps the rows from the
    // clipboard, and the status line says so once.
    WriteIniBoolean(dir.file(u"kasorel"), u"history", u"SkipSent", false);
    WriteFile(history, "# kasorel sent rows, version 9\n");
    EXPECT_EQ(convert(one), u"楽天カード: 1 行をクリップボードにコピーしました"
                            u"(新しい版の送信履歴のため使いませんでした)");
    EXPECT_EQ(ReadFile(history), "# kasorel sent rows, version 9\n") << "a newer one is left alone";
    WriteFile(dir.path() / "file", "");
    sc.commands.SetHistoryFileName(dir.file(u"file") + FolderSeparator() + u"kasorel.history");
    EXPECT_EQ(convert(one),
              u"楽天カード: 1 行をクリップボードにコピーしました(送信履歴に書き込めませんでした)");
    EXPECT_EQ(sc.clipboard.last(), oneRow);
}

} // namespace
