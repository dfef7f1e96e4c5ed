#include "convert/domestic.h"

#include "convert/primitives.h"
#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct DomesticCase {
    const char* name;
    std::vector<std::u16string> lines;
    // Dates are "D1", "D2", ... in the order the converter asks for them.
    std::vector<std::u16string> rows;
};

class DomesticRows : public testing::TestWithParam<DomesticCase> {};

TEST_P(DomesticRows, ReplaceTextAndGoToClipboard) {
    const DomesticCase& c = GetParam();
    TextArea memo(Lines(c.lines));
    RecordingClipboard clipboard;
    ConvertDomesticDividends(memo, clipboard, CountingDates());
    EXPECT_EQ(memo.Text(), Rows(c.rows));
    EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{Rows(c.rows)});
}

INSTANTIATE_TEST_SUITE_P(
    Statements, DomesticRows,
    testing::Values(
        DomesticCase{"WorkedExample",
                     {u"銘柄名abcdefgサンプル工業", u"any text (ignored)", u"入金額abcdefg8,000円"},
                     {u"D1\t配当国内\tサンプル工業\t\t-8,000"}},
        DomesticCase{"Pairing",
                     {u"入金額abcdefg500円", u"銘柄名abcdefgA社", u"銘柄名abcdefgB社",
                      u"入金額abcdefg1,200円", u"銘柄名abcdefgC社"},
                     {u"D1\t配当国内\t\t\t-500", u"D3\t配当国内\tB社\t\t-1,200"}},
        DomesticCase{"TwoAmountsAfterOneName",
                     {u"銘柄名abcdefgA社", u"入金額abcdefg100円", u"入金額abcdefg200円"},
                     {u"D1\t配当国内\tA社\t\t-100", u"D2\t配当国内\t\t\t-200"}},
        DomesticCase{"NameOfTenCharacters",
                     {u"銘柄名abcdefg", u"入金額abcdefg100円"},
                     {u"D1\t配当国内\t\t\t-100"}},
        DomesticCase{
            "MarkerAloneAsName", {u"銘柄名", u"入金額abcdefg100円"}, {u"D1\t配当国内\t\t\t-100"}},
        DomesticCase{"NameOfElevenCharacters",
                     {u"銘柄名abcdefgX", u"入金額abcdefg100円"},
                     {u"D1\t配当国内\tX\t\t-100"}},
        DomesticCase{"AmountOfElevenCharacters",
                     {u"銘柄名abcdefgA", u"入金額abcdefg1"},
                     {u"D1\t配当国内\tA\t\t-"}},
        DomesticCase{"AmountOfTwelveCharacters",
                     {u"銘柄名abcdefgA", u"入金額abcdefg1円"},
                     {u"D1\t配当国内\tA\t\t-1"}},
        DomesticCase{
            "MarkerAloneAsAmount", {u"銘柄名abcdefgA", u"入金額"}, {u"D1\t配当国内\tA\t\t-"}},
        DomesticCase{"AmountKeptAsText",
                     {u"銘柄名abcdefgA", u"入金額abcdefg 1,234.5 x円"},
                     {u"D1\t配当国内\tA\t\t- 1,234.5 x"}},
        DomesticCase{"PairInName",
                     {u"銘柄名abcdefg" + kPair + u"野家", u"入金額abcdefg10円"},
                     {u"D1\t配当国内\t" + kPair + u"野家\t\t-10"}},
        // The unit is cut off even when a pair stands earlier in the amount, and a pair that
        // is itself the last character goes whole.
        DomesticCase{"PairInAmount",
                     {u"銘柄名abcdefgA", u"入金額abcdefg" + kPair + u"10円"},
                     {u"D1\t配当国内\tA\t\t-" + kPair + u"10"}},
        DomesticCase{"PairAsLastCharacter",
                     {u"銘柄名abcdefgA", u"入金額abcdefg10" + kPair},
                     {u"D1\t配当国内\tA\t\t-10"}},
        DomesticCase{"PairAloneAsAmount",
                     {u"銘柄名abcdefgA", u"入金額abcdefg" + kPair},
                     {u"D1\t配当国内\tA\t\t-"}},
        DomesticCase{"MarkersOnlyAtStart",
                     {u" 銘柄名abcdefgA", u"x入金額abcdefg1円", u"株式銘柄名abcdefgB",
                      u"\t入金額abcdefg1円"},
                     {}},
        DomesticCase{"NameNeverClosed", {u"銘柄名abcdefgA"}, {}}, DomesticCase{"Empty", {}, {}},
        DomesticCase{"NoAmountLine", {u"明細", u"銘柄名abcdefgA", u"合計"}, {}}),
    [](const testing::TestParamInfo<DomesticCase>& param) {
        return std::string(param.param.name);
    });

TEST(Domestic, SecondRunMakesNoRow) {
    TextArea memo(Lines({u"銘柄名abcdefgA社", u"入金額abcdefg1,200円"}));
    RecordingClipboard clipboard;
    const auto date = [] { return u"2024/06/30"; };
    ConvertDomesticDividends(memo, clipboard, date);
    ASSERT_EQ(memo.Text(), Rows({u"2024/06/30\t配当国内\tA社\t\t-1,200"}));
    ConvertDomesticDividends(memo, clipboard, date);
    EXPECT_EQ(memo.Text(), std::u16string());
    EXPECT_EQ(clipboard.texts.size(), 2);
    EXPECT_EQ(clipboard.last(), std::u16string());
}

TEST(Domestic, RealDateHasNoTabOrBreak) {
    TextArea memo(Lines({u"銘柄名abcdefgA社", u"入金額abcdefg1,200円"}));
    RecordingClipboard clipboard;
    ConvertDomesticDividends(memo, clipboard, [] { return DateToStr(Now()); });
    const std::vector<std::u16string> columns = Split(memo.Get(0), u'\t');
    ASSERT_EQ(columns.size(), 5);
    EXPECT_FALSE(columns[0].empty());
    EXPECT_EQ(std::vector(columns.begin() + 1, columns.end()),
              (std::vector<std::u16string>{u"配当国内", u"A社", u"", u"-1,200"}));
}

} // namespace
