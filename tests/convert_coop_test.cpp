#include "convert/coop.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <gtest/gtest.h>
#include <optional>

using namespace kasorel;

namespace {

// One entry line by itself: its rewritten form and whether it is collected.
struct LineCase {
    const char* name;
    std::u16string before;
    std::u16string after;
    bool collected;
};

class CoopLine : public testing::TestWithParam<LineCase> {};

TEST_P(CoopLine, RewrittenInPlace) {
    const LineCase& c = GetParam();
    for (bool hoken : {false, true}) {
        SCOPED_TRACE(hoken);
        TextArea memo(Lines({u"注文明細", c.before, u"end"}));
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, hoken);
        const bool entry = c.before.starts_with(u"20");
        const std::u16string after = c.after + (hoken && entry ? u"\t保険" : std::u16string());
        EXPECT_EQ(memo.Text(), Lines({u"注文明細", after, u"end"}));
        ASSERT_EQ(clipboard.texts.size(), 1);
        EXPECT_EQ(clipboard.texts[0], c.collected ? Rows({after}) : std::u16string());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CoopLine,
    testing::Values(LineCase{"BlankBeforeYen", u"2024/05/01\t牛乳\t2\t420 円",
                             u"2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"IdeographicBlankBeforeYen", u"2024/05/01\t牛乳\t2\t420　円",
                             u"2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"DigitBeforeYenKept", u"2024/05/01\t牛乳\t2\t420円",
                             u"2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"TabBeforeYenKept", u"2024\tA\t円", u"2024\tA\t\t\t", true},
                    LineCase{"PairBeforeYenKeptWhole", u"2024\tA\t" + kPair + u"円",
                             u"2024\tA\t\t\t" + kPair, true},
                    LineCase{"OnlyFirstYen", u"2024\tA\t1 円\t2 円", u"2024\tA\t\t\t1\t2 円", true},
                    LineCase{"NoYen", u"2024\tA\tB\tC", u"2024\tA\t\t\tB\tC", true},
                    LineCase{"OneTab", u"2024/05/01\t420 円", u"2024/05/01\t\t\t420", true},
                    LineCase{"TrailingSecondTab", u"2024\tA\t", u"2024\tA\t\t\t", true},
                    LineCase{"NoTab", u"2000円", u"\t\t2000", false},
                    LineCase{"MarkerOnly", u"20", u"\t\t20", false},
                    LineCase{"LeadingBlank", u" 2024\tA\tB 円", u" 2024\tA\tB 円", false},
                    LineCase{"LeadingTab", u"\t2024\tA\tB 円", u"\t2024\tA\tB 円", false},
                    LineCase{"FullWidthDigits", u"２０24\tA\tB 円", u"２０24\tA\tB 円", false},
                    LineCase{"MarkerFurtherIn", u"合計 2024\t600 円", u"合計 2024\t600 円", false},
                    LineCase{"Total", u"合計\t600 円", u"合計\t600 円", false}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

const std::vector<std::u16string> kStatement = {u"注文明細", u"2024/05/01\t牛乳\t2\t420 円",
                                                u"2024/05/08\tパン\t1\t180 円", u"合計\t600 円"};

TEST(Coop, WorkedExample) {
    const struct {
        bool hoken;
        std::vector<std::u16string> after;
    } cases[] = {
        {false,
         {u"注文明細", u"2024/05/01\t牛乳\t\t\t2\t420", u"2024/05/08\tパン\t\t\t1\t180",
          u"合計\t600 円"}},
        {true,
         {u"注文明細", u"2024/05/01\t牛乳\t\t\t2\t420\t保険", u"2024/05/08\tパン\t\t\t1\t180\t保険",
          u"合計\t600 円"}},
    };
    for (const auto& c : cases) {
        TextArea memo(Lines(kStatement));
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, c.hoken);
        EXPECT_EQ(memo.Text(), Lines(c.after));
        EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{Rows({c.after[1], c.after[2]})});
    }
}

TEST(Coop, SecondRunConvertsAgain) {
    TextArea memo(Lines(kStatement));
    RecordingClipboard clipboard;
    ConvertCoop(memo, clipboard, true);
    ConvertCoop(memo, clipboard, true);
    const std::vector<std::u16string> after = {
        u"注文明細", u"2024/05/01\t牛乳\t\t\t\t\t2\t420\t保険\t保険",
        u"2024/05/08\tパン\t\t\t\t\t1\t180\t保険\t保険", u"合計\t600 円"};
    EXPECT_EQ(memo.Text(), Lines(after));
    EXPECT_EQ(clipboard.last(), Rows({after[1], after[2]}));
}

TEST(Coop, NothingToConvert) {
    for (const std::u16string& text :
         {std::u16string(), std::u16string(u"注文明細\r\n合計\t600 円\r\n")}) {
        TextArea memo(text);
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, true);
        EXPECT_EQ(memo.Text(), text);
        EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{std::u16string()});
    }
}

TEST(Coop, DuplicatesCollectedInOrderAndTrailingBreakKept) {
    TextArea memo(u"2024\tB\t1 円\r\n2024\tA\t1 円\r\n2024\tB\t1 円\r\n");
    RecordingClipboard clipboard;
    ConvertCoop(memo, clipboard, false);
    EXPECT_EQ(memo.Text(), u"2024\tB\t\t\t1\r\n2024\tA\t\t\t1\r\n2024\tB\t\t\t1\r\n");
    EXPECT_EQ(clipboard.last(), memo.Text());
}

// The 保険 switch as the command reads it, from a real settings file.
TEST(Coop, HokenSwitchFromSettingsFile) {
    const TempDir dir;
    const std::u16string stem = dir.FilePath(u"kasorel");
    const struct {
        std::optional<bool> stored;
        std::u16string row;
    } cases[] = {{std::nullopt, u"2024\tA\t\t\t1"},
                 {true, u"2024\tA\t\t\t1\t保険"},
                 {false, u"2024\tA\t\t\t1"}};
    for (const auto& c : cases) {
        if (c.stored)
            WriteIniBoolean(stem, ini::SeikyoSection, ini::HokenKey, *c.stored);
        TextArea memo(u"2024\tA\t1 円");
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard,
                    ReadIniBoolean(stem, ini::SeikyoSection, ini::HokenKey, ini::HokenDefault));
        EXPECT_EQ(clipboard.last(), Rows({c.row}));
    }
}

} // namespace
