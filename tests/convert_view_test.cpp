#include "convert/view.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace kasorel;

namespace {

struct ViewCase {
    const char* name;
    QStringList lines;
    bool suica;
    QStringList rows;
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
                 {"2024", "03/05xy\tStore A\tmemo", "any text (not read)", "1,980"},
                 false,
                 {"2024/03/05\tStore A\t\t\t1,980"}},
        ViewCase{"WorkedExampleSuica",
                 {"2024", "03/05xy\tStore A\tmemo", "any text (not read)", "1,980"},
                 true,
                 {"2024/03/05\tStore A\t\t\t1,980\tSuica"}},
        ViewCase{"NoTabCutsAfterEleven",
                 {"2024", "03/05xyStore", "-", "1,980"},
                 false,
                 {"2024/03/05S\t\t1,980"}},
        ViewCase{"TabAsEighthCharacterEndsHead",
                 {"2024", "03/05xy\tStore", "-", "500"},
                 false,
                 {"2024/03/05\t\t\t500"}},
        ViewCase{"DateLineOfFiveCharacters",
                 {"2024", "03/05", "-", "500"},
                 false,
                 {"2024/03/05\t\t500"}},
        ViewCase{
            "DateLineShorterThanFive", {"2024", "3/5", "-", "500"}, false, {"2024/3/5\t\t500"}},
        ViewCase{
            "DateLineOfExactlySix", {"2024", "03/05x", "-", "500"}, false, {"2024/03/05\t\t500"}},
        ViewCase{"DateLineOfExactlySeven",
                 {"2024", "03/05xy", "-", "500"},
                 false,
                 {"2024/03/05\t\t500"}},
        ViewCase{"EmptyDateAndAmountLines", {"2024", "", "", "", "end"}, false, {"2024/\t\t"}},
        ViewCase{"Empty", {}, false, {}},
        ViewCase{"ThreeLinesOnly", {"2024", "03/05xy\tA\t", "-"}, false, {}},
        ViewCase{
            "YearAmongLastThreeLines", {"head", "x", "y", "2024", "03/05xy\tA\t", "-"}, false, {}},
        ViewCase{"YearAtLastPossibleIndex",
                 {"head", "2024", "03/05xy\tA\tb", "-", "1"},
                 false,
                 {"2024/03/05\tA\t\t\t1"}},
        ViewCase{"UngroupedAmountStartsExtraRow",
                 {"2024", "03/05xy\tA\t", "-", "1980", "next", "-", "7"},
                 false,
                 {"2024/03/05\tA\t\t\t1980", "1980/next\t\t7"}},
        ViewCase{"ConsecutiveYearsOverlap",
                 {"2024", "2025", "2026", "2027", "x", "y", "z"},
                 false,
                 {"2024/2025\t\t2027", "2025/2026\t\tx", "2026/2027\t\ty", "2027/x\t\tz"}},
        ViewCase{"TwoBlocks",
                 {"明細", "2024", "03/05xy\tA店\t", "-", "1,000", "2024", "03/06xy\tB店\t", "-",
                  "2,000"},
                 true,
                 {"2024/03/05\tA店\t\t\t1,000\tSuica", "2024/03/06\tB店\t\t\t2,000\tSuica"}},
        // A surrogate pair before the tab: the head still ends at that tab.
        ViewCase{"PairBeforeTab",
                 {"2024", "03/05xy\t" + kPair + "野家\tmemo", "-", "980"},
                 false,
                 {"2024/03/05\t" + kPair + "野家\t\t\t980"}},
        // A pair at the eleven-character cut stays whole.
        ViewCase{"PairAtCut",
                 {"2024", "03/05xy" + kPair + "abc", "-", "980"},
                 false,
                 {"2024/03/05" + kPair + "\t\t980"}},
        // A pair just behind the cut is not taken.
        ViewCase{"PairAfterCut",
                 {"2024", "03/05xyz" + kPair, "-", "980"},
                 false,
                 {"2024/03/05z\t\t980"}}),
    [](const testing::TestParamInfo<ViewCase>& param) { return std::string(param.param.name); });

struct YearCase {
    const char* name;
    QString line;
    bool isYear;
};

class YearLines : public testing::TestWithParam<YearCase> {};

TEST_P(YearLines, OnlyFourAsciiDigitsOpenABlock) {
    const YearCase& c = GetParam();
    TextArea memo(Lines({c.line, "03/05xy\tA\t", "-", "100"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, false);
    const QString expected = c.isYear ? Rows({c.line + "/03/05\tA\t\t\t100"}) : QString();
    EXPECT_EQ(clipboard.last(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, YearLines,
    testing::Values(YearCase{"Year", "2024", true}, YearCase{"LeadingZeros", "0012", true},
                    YearCase{"Ungrouped", "1980", true}, YearCase{"LeadingBlank", " 123", false},
                    YearCase{"Plus", "+123", false}, YearCase{"Minus", "-123", false},
                    YearCase{"Dollar", "$7E8", false}, YearCase{"LowerX", "x7E8", false},
                    YearCase{"UpperX", "X7E8", false}, YearCase{"ZeroX", "0x1F", false},
                    YearCase{"YearWithNen", "2024年", false},
                    YearCase{"TrailingBlank", "2024 ", false},
                    YearCase{"FullWidth", "２０２４", false}, YearCase{"ThreeDigits", "202", false},
                    YearCase{"Letters", "abcd", false}, YearCase{"Tab", "202\t", false}),
    [](const testing::TestParamInfo<YearCase>& param) { return std::string(param.param.name); });

TEST(View, SecondRunMakesNoRow) {
    TextArea memo(Lines({"2024", "03/05xy\tStore A\tmemo", "-", "1,980", "2024", "03/06xyB", "-",
                         "20", "x", "y", "z"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, true);
    ASSERT_EQ(memo.Count(), 2);
    ConvertView(memo, clipboard, true);
    EXPECT_EQ(memo.Text(), QString());
    EXPECT_EQ(clipboard.texts.size(), 2);
    EXPECT_EQ(clipboard.last(), QString());
}

TEST(View, RowsReplaceWholeTextCaretAtStart) {
    TextArea memo(Lines({"2024", "03/05xy\tA\t", "-", "1", "tail"}));
    RecordingClipboard clipboard;
    ConvertView(memo, clipboard, false);
    EXPECT_EQ(memo.Text(), Rows({"2024/03/05\tA\t\t\t1"}));
    EXPECT_EQ(memo.Caret(), (TextPos{0, 0}));
}

// The Suica switch as the command reads it, from a real settings file.
TEST(View, SuicaSwitchFromSettingsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString stem = dir.filePath("kasorel");
    const QStringList statement = {"2024", "03/05xy\tA\t", "-", "1"};
    const struct {
        std::optional<bool> stored;
        QString row;
    } cases[] = {{std::nullopt, "2024/03/05\tA\t\t\t1"},
                 {true, "2024/03/05\tA\t\t\t1\tSuica"},
                 {false, "2024/03/05\tA\t\t\t1"}};
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
