// The text-area commands over scripted seams: paste, and the 楽天カード, View card, co-op and
// domestic dividend commands with a real settings file.
#include "commands/commands.h"
#include "convert/primitives.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include "commands_files.h"
#include "commands_seams.h"
#include "convert_test_util.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::u16string& kStatement = kRakutenStatement;
const std::u16string& kRows = kRakutenRows;

class ConverterCommand : public testing::Test {
protected:
    void SetUp() override {
        stem = dir.file(u"kasorel");
        sc.commands.SetIniFileName(stem);
    }

    TempFolder dir;
    std::u16string stem;
    ScriptedCommands sc;
};

TEST_F(ConverterCommand, ViewCardRowsReplaceTextWithSuicaFromSettings) {
    WriteIniBoolean(stem, ini::ViewSection, ini::SuicaKey, true);
    sc.setText(Lines({u"2024", u"03/05xy\tStore A\tmemo", u"any text", u"1,980", u"2024",
                      u"03/06xy\tB店\t", u"-", u"500"}));
    sc.commands.Button11Click();
    const std::u16string rows = u"2024/03/05\tStore A\t\t\t1,980\tSuica\r\n"
                                u"2024/03/06\tB店\t\t\t500\tSuica\r\n";
    EXPECT_EQ(sc.text(), rows);
    EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{rows});

    // A second run finds no year line in its own rows.
    sc.commands.Button11Click();
    EXPECT_EQ(sc.text(), u"");
    EXPECT_EQ(sc.clipboard.texts, (std::vector<std::u16string>{rows, u""}));

    // The setting is read afresh by every run.
    WriteIniBoolean(stem, ini::ViewSection, ini::SuicaKey, false);
    sc.setText(Lines({u"2024", u"03/05xy\tStore A\tmemo", u"any text", u"1,980"}));
    sc.commands.Button11Click();
    EXPECT_EQ(sc.clipboard.last(), u"2024/03/05\tStore A\t\t\t1,980\r\n");
    EXPECT_TRUE(sc.desktop.errors.empty());
}

TEST_F(ConverterCommand, CoopRewritesEntryLinesInPlaceWithHokenFromSettings) {
    sc.setText(Lines({u"注文明細", u"2024/05/01\t牛乳\t2\t420 円", u"2024/05/08\tパン\t1\t180円",
                      u"合計\t600 円"}));
    sc.commands.Button5Click();
    EXPECT_EQ(sc.text(), u"注文明細\r\n2024/05/01\t牛乳\t\t\t2\t420\r\n"
                         u"2024/05/08\tパン\t\t\t1\t180\r\n合計\t600 円");
    EXPECT_EQ(sc.clipboard.last(), u"2024/05/01\t牛乳\t\t\t2\t420\r\n"
                                   u"2024/05/08\tパン\t\t\t1\t180\r\n");

    WriteIniBoolean(stem, ini::SeikyoSection, ini::HokenKey, true);
    sc.setText(u"2024/05/01\t牛乳\t2\t420 円");
    sc.commands.Button5Click();
    EXPECT_EQ(sc.text(), u"2024/05/01\t牛乳\t\t\t2\t420\t保険");
    EXPECT_EQ(sc.clipboard.last(), u"2024/05/01\t牛乳\t\t\t2\t420\t保険\r\n");
    EXPECT_EQ(sc.clipboard.texts.size(), 2u);
}

TEST_F(ConverterCommand, DomesticDividendRowsReplaceTextWithTodaysDate) {
    sc.setText(Lines({u"銘柄名abcdefgサンプル工業", u"any text", u"入金額abcdefg8,000円"}));
    const std::u16string before = DateToStr(Now());
    sc.commands.Button6Click();
    const std::u16string after = DateToStr(Now());
    const std::u16string tail = u"\t配当国内\tサンプル工業\t\t-8,000\r\n";
    // The command may run across midnight; either date is today's.
    EXPECT_TRUE(sc.text() == before + tail || sc.text() == after + tail)
        << testing::PrintToString(sc.text());
    EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{sc.text()});
}

// Paste, convert, and the rows are what goes on the clipboard; the statement keeps only the
// rewritten lines.
TEST_F(ConverterCommand, RakutenCommandPutsRowsOnTheClipboard) {
    sc.clipboard.content = kStatement;
    sc.commands.Button3Click();
    sc.commands.Button1Click();
    EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{kRows});
    EXPECT_EQ(sc.text(), u"明細\r\n" + kRows);
    // Two commands, two edits: each is one undo step of its own.
    EXPECT_EQ(sc.textArea.edits, 2);
    EXPECT_TRUE(sc.desktop.errors.empty());
}

// With an empty text area the converters leave it empty and put empty text on the
// clipboard; an unchanged text is no edit.
TEST_F(ConverterCommand, AnEmptyTextAreaGivesEmptyTextOnTheClipboard) {
    for (void (Commands::*command)() : {&Commands::Button1Click, &Commands::Button11Click,
                                        &Commands::Button5Click, &Commands::Button6Click}) {
        sc.clipboard.texts.clear();
        sc.setText(u"");
        (sc.commands.*command)();
        EXPECT_EQ(sc.text(), u"");
        EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{u""});
    }
    EXPECT_EQ(sc.textArea.edits, 0);
    EXPECT_TRUE(sc.desktop.errors.empty());
}

struct PasteCase {
    const char* name;
    std::u16string before;
    TextPos anchor, caret;
    std::u16string clipboard;
    std::u16string after;
    TextPos caretAfter;
};

void PrintTo(const PasteCase& c, std::ostream* os) {
    *os << c.name;
}

class Paste : public ConverterCommand, public testing::WithParamInterface<PasteCase> {};

TEST_P(Paste, ReplacesTheSelectionOrInsertsAtTheCaret) {
    const PasteCase& c = GetParam();
    sc.setText(c.before, c.anchor, c.caret);
    sc.clipboard.content = c.clipboard;
    sc.commands.Button3Click();
    EXPECT_EQ(sc.text(), c.after);
    EXPECT_EQ(sc.textArea.memo.Caret(), c.caretAfter);
    EXPECT_EQ(sc.textArea.memo.Anchor(), c.caretAfter) << "nothing stays selected";
    EXPECT_EQ(sc.textArea.edits, c.after == c.before ? 0 : 1);
    // Paste only reads the clipboard.
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_TRUE(sc.desktop.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Clipboards, Paste,
    testing::Values(
        PasteCase{"IntoEmpty", u"", {0, 0}, {0, 0}, u"明細\r\n行", u"明細\r\n行", {1, 1}},
        PasteCase{"AtTheCaret", u"abcd", {0, 2}, {0, 2}, u"XY", u"abXYcd", {0, 4}},
        PasteCase{"OverASelection", u"abcd", {0, 1}, {0, 3}, u"XY", u"aXYd", {0, 3}},
        PasteCase{"OverABackwardSelection", u"ab\r\ncd", {1, 1}, {0, 1}, u"-", u"a-d", {0, 2}},
        PasteCase{"OverASelectionAcrossLines",
                  u"ab\r\ncd\r\nef",
                  {0, 1},
                  {2, 1},
                  u"X\r\nY",
                  u"aX\r\nYf",
                  {1, 1}},
        PasteCase{"EmptyClipboardKeepsTheText", u"abcd", {0, 2}, {0, 2}, u"", u"abcd", {0, 2}},
        PasteCase{"EmptyClipboardRemovesTheSelection", u"abcd", {0, 0}, {0, 2}, u"", u"cd", {0, 0}},
        PasteCase{"EveryBreakStyle",
                  u"",
                  {0, 0},
                  {0, 0},
                  u"a\rb\nc\r\nd\u2029e\u2028f",
                  u"a\r\nb\r\nc\r\nd\r\ne\r\nf",
                  {5, 1}},
        PasteCase{"ASurrogatePairCountsTwo", u"ab", {0, 1}, {0, 1}, u"𠮷", u"a𠮷b", {0, 3}},
        PasteCase{"TabsStay", u"", {0, 0}, {0, 0}, u"a\tb\t", u"a\tb\t", {0, 4}}),
    ByCaseName());

TEST_F(ConverterCommand, PastingTwiceInsertsTwice) {
    sc.clipboard.content = u"ab";
    sc.commands.Button3Click();
    sc.commands.Button3Click();
    EXPECT_EQ(sc.text(), u"abab");
    EXPECT_EQ(sc.textArea.memo.Caret(), (TextPos{0, 4}));

    sc.clipboard.content = u"x\r\n";
    sc.commands.Button3Click();
    sc.commands.Button3Click();
    EXPECT_EQ(sc.text(), u"ababx\r\nx\r\n");
    EXPECT_EQ(sc.textArea.memo.Caret(), (TextPos{2, 0}));
}

} // namespace
