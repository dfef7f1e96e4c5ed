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
    // Runs 自動判別 on text, answering its question (if any) with yes.
    std::u16string detect(std::u16string_view text, std::deque<bool> answers = {}) {
        sc.setText(text);
        sc.desktop.confirmAnswers = std::move(answers);
        sc.commands.Button15Click();
        return sc.window.status;
    }

    TempFolder dir;
    const std::u16string history = dir.file(u"kasorel.history");
    LocalServer server;
    ScriptedCommands sc;
};

TEST_F(Monthly, OneCommandForAnyStatement) {
    const std::u16string none = u"自動判別: 明細の種類を判別できませんでした (わかる種類: "
                                u"楽天カード、国外配当、国内配当、Viewカード、T生協)";
    const struct {
        const char* name;
        std::u16string text;
        std::deque<bool> answers;
        std::u16string status;
        std::size_t copies;
    } cases[] = {
        {"rakuten, which co-op would take too",
         kRakutenStatement,
         {},
         u"自動判別: 楽天カード として 2 行をクリップボードにコピーしました",
         1},
        {"US dividends, with the rate",
         u"銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n",
         {},
         u"自動判別: 国外配当 として 1 行をクリップボードにコピーしました (1 USD = 151.3 円)",
         1},
        {"view and co-op: asked, yes",
         kView + kCoop,
         {true},
         u"自動判別: Viewカード として 1 行をクリップボードにコピーしました",
         1},
        {"both units: asked, no",
         u"銘柄名abcdefgA\r\n入金額abcdefg1.00 USD\r\n入金額abcdefg8,000円",
         {false},
         u"自動判別: 変換しませんでした",
         0},
        {"empty", u"", {}, none, 0},
        {"prose", u"2024年の明細はありません\r\n合計 0 円", {}, none, 0},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(std::filesystem::path(history));
        sc.clipboard.texts.clear();
        const std::u16string before = c.text;
        EXPECT_EQ(detect(c.text, c.answers), c.status) << c.name;
        EXPECT_EQ(sc.clipboard.texts.size(), c.copies) << c.name;
        EXPECT_EQ(sc.desktop.questions.size(), c.answers.size()) << c.name;
        if (c.copies == 0) {
            EXPECT_EQ(sc.text(), TextArea(before).Text()) << c.name;
        }
        sc.desktop.questions.clear();
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

    // The history's faults never keep the rows from the clipboard.
    const std::string head = "# kasorel sent rows, version 1\n";
    const struct {
        const char* name;
        std::function<void()> make;
        std::u16string note;
    } faults[] = {
        {"corrupt", [&] { WriteFile(history, head + "garbage\n"); },
         u"(送信履歴の読めない行を飛ばしました)"},
        {"newer", [&] { WriteFile(history, "# kasorel sent rows, version 9\n"); },
         u"(新しい版の送信履歴のため使いませんでした)"},
        {"a folder", [&] { std::filesystem::create_directory(dir.path() / "folder"); },
         u"(送信履歴を読めませんでした)"},
        {"below a file", [&] { WriteFile(dir.path() / "file", ""); },
         u"(送信履歴に書き込めませんでした)"},
    };
    WriteIniBoolean(dir.file(u"kasorel"), u"history", u"SkipSent", false);
    for (const auto& f : faults) {
        f.make();
        if (std::string(f.name) == "a folder")
            sc.commands.SetHistoryFileName(dir.file(u"folder"));
        if (std::string(f.name) == "below a file")
            sc.commands.SetHistoryFileName(dir.file(u"file") + FolderSeparator() +
                                           u"kasorel.history");
        const std::optional<std::string> before = ReadFile(history);
        EXPECT_EQ(convert(one), u"楽天カード: 1 行をクリップボードにコピーしました" + f.note)
            << f.name;
        EXPECT_EQ(sc.clipboard.last(), oneRow) << f.name;
        if (std::string(f.name) == "newer") {
            EXPECT_EQ(ReadFile(history), before) << "a newer history is left alone";
        }
    }
}

} // namespace
