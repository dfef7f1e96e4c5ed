#include "convert/view.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <gtest/gtest.h>
#include <optional>

using namespace kasorel;

namespace {

struct ViewCase {
    const char* name;
    std::vector<std::u16string> lines;
    bool suica;
    std::vector<std::u16string> rows;
};

class ViewRows : public testing::TestWithParam<ViewCase> {};

TEST_P(ViewRows, ReplaceTextAndGoToClipboard) {
    const ViewCase& c = GetParam();
    TextArea memo(Lines(c.lines));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, c.suica);
    EXPECT_EQ(memo.Text(), Rows(c.rows));
    ASSERT_EQ(clipboard.texts.size(), 1);
    EXPECT_EQ(clipboard.texts[0], Rows(c.rows));
    EXPECT_EQ(memo.Count(), c.rows.size());
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ViewRows,
    testing::Values(
        ViewCase{"WorkedExample",
                 {u"2024", u"03/05xy\tStore A\tmemo", u"any text (not read)", u"1,980"},
                 false,
                 {u"2024/03/05\tStore A\t\t\t1,980"}},
        ViewCase{"WorkedExampleSuica",
                 {u"2024", u"03/05xy\tStore A\tmemo", u"any text (not read)", u"1,980"},
                 true,
                 {u"2024/03/05\tStore A\t\t\t1,980\tSuica"}},
        ViewCase{"NoTabCutsAfterEleven",
                 {u"2024", u"03/05xyStore", u"-", u"1,980"},
                 false,
                 {u"2024/03/05S\t\t1,980"}},
        ViewCase{"TabAsEighthCharacterEndsHead",
                 {u"2024", u"03/05xy\tStore", u"-", u"500"},
                 false,
                 {u"2024/03/05\t\t\t500"}},
        ViewCase{"DateLineOfFiveCharacters",
                 {u"2024", u"03/05", u"-", u"500"},
                 false,
                 {u"2024/03/05\t\t500"}},
        ViewCase{"DateLineShorterThanFive",
                 {u"2024", u"3/5", u"-", u"500"},
                 false,
                 {u"2024/3/5\t\t500"}},
        ViewCase{"DateLineOfExactlySix",
                 {u"2024", u"03/05x", u"-", u"500"},
                 false,
                 {u"2024/03/05\t\t500"}},
        ViewCase{"DateLineOfExactlySeven",
                 {u"2024", u"03/05xy", u"-", u"500"},
                 false,
                 {u"2024/03/05\t\t500"}},
        ViewCase{
            "EmptyDateAndAmountLines", {u"2024", u"", u"", u"", u"end"}, false, {u"2024/\t\t"}},
        ViewCase{"Empty", {}, false, {}},
        ViewCase{"ThreeLinesOnly", {u"2024", u"03/05xy\tA\t", u"-"}, false, {}},
        ViewCase{"YearAmongLastThreeLines",
                 {u"head", u"x", u"y", u"2024", u"03/05xy\tA\t", u"-"},
                 false,
                 {}},
        ViewCase{"YearAtLastPossibleIndex",
                 {u"head", u"2024", u"03/05xy\tA\tb", u"-", u"1"},
                 false,
                 {u"2024/03/05\tA\t\t\t1"}},
        ViewCase{"UngroupedAmountStartsExtraRow",
                 {u"2024", u"03/05xy\tA\t", u"-", u"1980", u"next", u"-", u"7"},
                 false,
                 {u"2024/03/05\tA\t\t\t1980", u"1980/next\t\t7"}},
        ViewCase{"ConsecutiveYearsOverlap",
                 {u"2024", u"2025", u"2026", u"2027", u"x", u"y", u"z"},
                 false,
                 {u"2024/2025\t\t2027", u"2025/2026\t\tx", u"2026/2027\t\ty", u"2027/x\t\tz"}},
        ViewCase{"TwoBlocks",
                 {u"明細", u"2024", u"03/05xy\tA店\t", u"-", u"1,000", u"2024", u"03/06xy\tB店\t",
                  u"-", u"2,000"},
                 true,
                 {u"2024/03/05\tA店\t\t\t1,000\tSuica", u"2024/03/06\tB店\t\t\t2,000\tSuica"}},
        // A surrogate pair before the tab: the head still ends at that tab.
        ViewCase{"PairBeforeTab",
                 {u"2024", u"03/05xy\t" + kPair + u"野家\tmemo", u"-", u"980"},
                 false,
                 {u"2024/03/05\t" + kPair + u"野家\t\t\t980"}},
        // A pair at the eleven-character cut stays whole.
        ViewCase{"PairAtCut",
                 {u"2024", u"03/05xy" + kPair + u"abc", u"-", u"980"},
                 false,
                 {u"2024/03/05" + kPair + u"\t\t980"}},
        // A pair just behind the cut is not taken.
        ViewCase{"PairAfterCut",
                 {u"2024", u"03/05xyz" + kPair, u"-", u"980"},
                 false,
                 {u"2024/03/05z\t\t980"}}),
    [](const testing::TestParamInfo<ViewCase>& param) { return std::string(param.param.name); });

struct YearCase {
    const char* name;
    std::u16string line;
    bool isYear;
};

class YearLines : public testing::TestWithParam<YearCase> {};

TEST_P(YearLines, OnlyFourAsciiDigitsOpenABlock) {
    const YearCase& c = GetParam();
    TextArea memo(Lines({c.line, u"03/05xy\tA\t", u"-", u"100"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, false);
    const std::u16string expected =
        c.isYear ? Rows({c.line + u"/03/05\tA\t\t\t100"}) : std::u16string();
    EXPECT_EQ(clipboard.last(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, YearLines,
    testing::Values(YearCase{"Year", u"2024", true}, YearCase{"LeadingZeros", u"0012", true},
                    YearCase{"Ungrouped", u"1980", true}, YearCase{"LeadingBlank", u" 123", false},
                    YearCase{"Plus", u"+123", false}, YearCase{"Minus", u"-123", false},
                    YearCase{"Dollar", u"$7E8", false}, YearCase{"LowerX", u"x7E8", false},
                    YearCase{"UpperX", u"X7E8", false}, YearCase{"ZeroX", u"0x1F", false},
                    YearCase{"YearWithNen", u"2024年", false},
                    YearCase{"TrailingBlank", u"2024 ", false},
                    YearCase{"FullWidth", u"２０２４", false},
                    YearCase{"ThreeDigits", u"202", false}, YearCase{"Letters", u"abcd", false},
                    YearCase{"Tab", u"202\t", false}),
    [](const testing::TestParamInfo<YearCase>& param) { return std::string(param.param.name); });

TEST(View, SecondRunMakesNoRow) {
    TextArea memo(Lines({u"2024", u"03/05xy\tStore A\tmemo", u"-", u"1,980", u"2024", u"03/06xyB",
                         u"-", u"20", u"x", u"y", u"z"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, true);
    ASSERT_EQ(memo.Count(), 2);
    ConvertView(memo, clipboard, true);
    EXPECT_EQ(memo.Text(), std::u16string());
    EXPECT_EQ(clipboard.texts.size(), 2);
    EXPECT_EQ(clipboard.last(), std::u16string());
}

TEST(View, RowsReplaceWholeTextCaretAtStart) {
    TextArea memo(Lines({u"2024", u"03/05xy\tA\t", u"-", u"1", u"tail"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, false);
    EXPECT_EQ(memo.Text(), Rows({u"2024/03/05\tA\t\t\t1"}));
    EXPECT_EQ(memo.Caret(), (TextPos{0, 0}));
}

// The Suica switch as the command reads it, from a real settings file.
TEST(View, SuicaSwitchFromSettingsFile) {
    const TempDir dir;
    const std::u16string stem = dir.FilePath(u"kasorel");
    const std::vector<std::u16string> statement = {u"2024", u"03/05xy\tA\t", u"-", u"1"};
    const struct {
        std::optional<bool> stored;
        std::u16string row;
    } cases[] = {{std::nullopt, u"2024/03/05\tA\t\t\t1"},
                 {true, u"2024/03/05\tA\t\t\t1\tSuica"},
                 {false, u"2024/03/05\tA\t\t\t1"}};
    for (const auto& c : cases) {
        if (c.stored)
            WriteIniBoolean(stem, ini::ViewSection, ini::SuicaKey, *c.stored);
        TextArea memo(Lines(statement));
        RecordingClipboard clipboard;
        ConvertView(memo, clipboard,
                    ReadIniBoolean(stem, ini::ViewSection, ini::SuicaKey, ini::SuicaDefault));
        EXPECT_EQ(clipboard.last(), Rows({c.row}));
    }
}

} // namespace
