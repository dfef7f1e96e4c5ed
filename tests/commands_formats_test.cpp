// Kinds of statement made from one selected entry: the rows of every entry, next month's page
// taken by 自動判別, and the kinds as the settings file holds them.
#include "commands/commands.h"
#include "commands_files.h"
#include "commands_seams.h"
#include "convert/recognise.h"
#include "settings/formats.h"
#include "settings/inifile.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct Statement {
    const char* name;
    std::u16string text;
    int first, last; // the selected entry's lines
    std::u16string suggested, rows, nextMonth, nextRows;
};

// Made up, shaped as the pages are. → is a tab in the rows.
const Statement kStatements[] = {
    {"TabTableWithHeaderTotalAndRefund",
     u"イオンカード ご利用明細\nご利用日\tご利用先\tご利用金額\t今回請求額\n"
     u"2024/05/01\tローソン 渋谷店\t1,200\t1,200\n2024/05/10\tユニクロ 新宿店\t-2,990\t-2,990\n"
     u"合計\t\t-1,790\t-1,790",
     2, 2, u"イオンカード",
     u"2024/05/01\tローソン 渋谷店\t\t\t1,200\r\n2024/05/10\tユニクロ 新宿店\t\t\t-2,990\r\n",
     u"ご利用日\tご利用先\tご利用金額\t今回請求額\n2024/06/02\t無印良品\t990\t990",
     u"2024/06/02\t無印良品\t\t\t990\r\n"},
    {"AppLinesAcrossTheYearsEnd",
     u"PayPay カード\n2025年1月のご利用\n12月28日(土)\nローソン 渋谷店\n1,200円\n1月3日(金)\n"
     u"Amazon.co.jp\n3,480円\n合計 4,680円",
     2, 4, u"PayPay",
     u"2024/12/28\tローソン 渋谷店\t\t\t1,200\r\n2025/01/03\tAmazon.co.jp\t\t\t3,480\r\n",
     u"2025年2月のご利用\n2月1日(土)\nすき家\n590円", u"2025/02/01\tすき家\t\t\t590\r\n"},
    {"FullWidthDigitsHalfWidthKanaAndBlanks",
     u"ＪＣＢカード　ご利用代金明細\n２０２４／０５／０１　ｾﾌﾞﾝｲﾚﾌﾞﾝ　１，２００円\n"
     u"２０２４／０５／０２　ﾌｧﾐﾘｰﾏｰﾄ　　▲５４０円",
     1, 1, u"ＪＣＢカード",
     u"2024/05/01\tｾﾌﾞﾝｲﾚﾌﾞﾝ\t\t\t1,200\r\n2024/05/02\tﾌｧﾐﾘｰﾏｰﾄ\t\t\t-540\r\n",
     u"２０２４／０６／０１　ﾛｰｿﾝ　３００円", u"2024/06/01\tﾛｰｿﾝ\t\t\t300\r\n"},
    {"LabelledLines",
     u"ご利用明細（Suica）\nご利用日時：2024/05/01 12:34\nご利用先：JR東日本 渋谷駅\n"
     u"ご利用金額：1,200円\nご利用日時：2024/05/02 08:15\nご利用先：東京メトロ\nご利用金額：210円",
     1, 3, u"Suica",
     u"2024/05/01\tJR東日本 渋谷駅\t\t\t1,200\r\n2024/05/02\t東京メトロ\t\t\t210\r\n",
     u"ご利用日時：2024/06/01 09:00\nご利用先：都営バス\nご利用金額：210円",
     u"2024/06/01\t都営バス\t\t\t210\r\n"},
    {"ReiwaDates",
     u"○○信用金庫 入出金明細\n令和6年5月1日\tATM引出\t10,000\t残高 120,000\n"
     u"令和6年5月7日\t電気料金\t8,120\t残高 111,880",
     1, 1, u"○○信用金庫", u"2024/05/01\tATM引出\t\t\t10,000\r\n2024/05/07\t電気料金\t\t\t8,120\r\n",
     u"令和6年6月3日\tATM引出\t5,000\t残高 106,880", u"2024/06/03\tATM引出\t\t\t5,000\r\n"},
};

class Formats : public testing::Test {
protected:
    Formats() { sc.commands.SetIniFileName(stem); }
    // Selects the lines first to last of text, whole, as a person drags over them.
    void select(std::u16string_view text, int first, int last) {
        sc.setText(text, {first, 0}, {last + 1, 0});
    }
    TempFolder dir;
    const std::u16string stem = dir.file(u"kasorel");
    ScriptedCommands sc;
};

TEST_F(Formats, EachStatementFromOneEntryAndItsNextMonth) {
    for (const Statement& s : kStatements) {
        SCOPED_TRACE(s.name);
        select(s.text, s.first, s.last);
        sc.desktop.inputAnswers = {FromAscii(s.name)};
        sc.commands.Button18Click();
        ASSERT_EQ(sc.desktop.inputs.back().defaultText, s.suggested);
        EXPECT_EQ(sc.clipboard.last(), s.rows);
        EXPECT_EQ(sc.text(), s.rows);
        EXPECT_EQ(sc.window.status, u"書式を作る: 「" + FromAscii(s.name) +
                                        u"」を作り、2 行をクリップボード"
                                        u"にコピーしました");
        sc.setText(s.nextMonth);
        sc.commands.Button15Click();
        EXPECT_EQ(sc.clipboard.last(), s.nextRows);
        EXPECT_EQ(sc.window.status, u"自動判別: " + FromAscii(s.name) +
                                        u" として 1 行をクリップボードにコ"
                                        u"ピーしました");
    }
    // The menu holds them in the order they were made; each is its own kind for 自動判別.
    ASSERT_EQ(sc.window.madeKinds.size(), std::size(kStatements));
    EXPECT_EQ(sc.window.madeKinds[3], u"LabelledLines");
    EXPECT_EQ(sc.desktop.inputs[0].prompt, u"書式の名前 (この明細で 2 件)");
}

TEST_F(Formats, ByHandBrokenAndBesideTheBuiltInKinds) {
    WriteFile(dir.path() / "kasorel.ini",
              "[書式:手書き]\nLine1={date} {text} {amount} {amount}\n"
              "Amount=2\nRemark=現金\t袋\n[書式:壊れた]\nLine1={date} {price}\n");
    sc.commands.SetIniFileName(stem);
    ASSERT_EQ(sc.window.madeKinds, (std::vector<std::u16string>{u"手書き", u"壊れた"}));
    sc.setText(u"2024/05/01\tパン屋\t2\t450");
    sc.commands.MadeKindClick(1);
    EXPECT_EQ(sc.window.status, u"壊れた: 書式の設定に誤りがあるため変換できません (Line1: {price} "
                                u"は使えない項目です (使えるのは {date} {amount} {text}))");
    sc.commands.MadeKindClick(0);
    EXPECT_EQ(sc.clipboard.last(), u"2024/05/01\tパン屋\t\t\t450\t現金 袋\r\n");
    // A 楽天カード page, which the kind's shape does not fit, is still 楽天カード; the broken
    // kind is told of once.
    const std::u16string told = u" (書式「壊れた」は設定に誤りがあるため使いませんでした: Line1: "
                                u"{price} は使えない項目です (使えるのは {date} {amount} {text}))";
    for (const std::u16string& note : {told, std::u16string()}) {
        sc.setText(kRakutenStatement);
        sc.commands.Button15Click();
        EXPECT_EQ(sc.window.status,
                  u"自動判別: 楽天カード として 2 行をクリップボードにコピーしました" + note);
    }
    sc.desktop.inputAnswers = {u"壊れた "};
    sc.commands.Button19Click();
    EXPECT_EQ(sc.desktop.inputs.back().prompt, u"削除する書式の名前 (手書き、壊れた)");
    EXPECT_EQ(sc.window.status, u"書式を削除: 「壊れた」を削除しました");
    EXPECT_EQ(sc.window.madeKinds, std::vector<std::u16string>{u"手書き"});
}

TEST_F(Formats, NothingIsSavedUntilTheNameFits) {
    const std::filesystem::path ini = dir.path() / "kasorel.ini";
    sc.setText(u"ご利用明細\n合計 1,200円");
    sc.commands.Button18Click();
    EXPECT_EQ(sc.window.status, u"書式を作る: 選んだ行に日付と金額が見つかりません");
    select(kStatements[0].text, 2, 2);
    sc.desktop.inputAnswers = {std::nullopt};
    sc.commands.Button18Click(); // キャンセル
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_TRUE(sc.clipboard.texts.empty());
    // A built-in caption is refused; a name taken asks, and No asks for another.
    sc.desktop.inputAnswers = {u"楽天カード", u"A"};
    sc.commands.Button18Click();
    EXPECT_EQ(sc.desktop.inputs.back().prompt,
              u"「楽天カード」は使えません。別の名前を入力して下さい (この明細で 2 件)");
    select(kStatements[0].text, 2, 2);
    sc.desktop.inputAnswers = {u"a", u"B"};
    sc.desktop.confirmAnswers = {false};
    sc.commands.Button18Click();
    EXPECT_EQ(sc.desktop.questions.back(), u"書式「a」はすでにあります。置き換えますか?");
    EXPECT_EQ(sc.window.madeKinds, (std::vector<std::u16string>{u"A", u"B"}));
}

} // namespace
