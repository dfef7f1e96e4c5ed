#include "convert/domestic.h"

#include "convert/primitives.h"
#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct DomesticCase {
    const char* name;
    QStringList lines;
    // Dates are "D1", "D2", ... in the order the converter asks for them.
    QStringList rows;
};

class DomesticRows : public testing::TestWithParam<DomesticCase> {};

TEST_P(DomesticRows, ReplaceTextAndGoToClipboard) {
    const DomesticCase& c = GetParam();
    TextArea memo(Lines(c.lines));
    RecordingClipboard clipboard;
    ConvertDomesticDividends(memo, clipboard, CountingDates());
    EXPECT_EQ(memo.Text(), Rows(c.rows));
    EXPECT_EQ(clipboard.texts, QStringList{Rows(c.rows)});
}

INSTANTIATE_TEST_SUITE_P(
    Statements, DomesticRows,
    testing::Values(
        DomesticCase{"WorkedExample",
                     {"銘柄名abcdefgサンプル工業", "any text (ignored)", "入金額abcdefg8,000円"},
                     {"D1\t配当国内\tサンプル工業\t\t-8,000"}},
        DomesticCase{"Pairing",
                     {"入金額abcdefg500円", "銘柄名abcdefgA社", "銘柄名abcdefgB社",
                      "入金額abcdefg1,200円", "銘柄名abcdefgC社"},
                     {"D1\t配当国内\t\t\t-500", "D3\t配当国内\tB社\t\t-1,200"}},
        DomesticCase{"TwoAmountsAfterOneName",
                     {"銘柄名abcdefgA社", "入金額abcdefg100円", "入金額abcdefg200円"},
                     {"D1\t配当国内\tA社\t\t-100", "D2\t配当国内\t\t\t-200"}},
        DomesticCase{"NameOfTenCharacters",
                     {"銘柄名abcdefg", "入金額abcdefg100円"},
                     {"D1\t配当国内\t\t\t-100"}},
        DomesticCase{
            "MarkerAloneAsName", {"銘柄名", "入金額abcdefg100円"}, {"D1\t配当国内\t\t\t-100"}},
        DomesticCase{"NameOfElevenCharacters",
                     {"銘柄名abcdefgX", "入金額abcdefg100円"},
                     {"D1\t配当国内\tX\t\t-100"}},
        DomesticCase{"AmountOfElevenCharacters",
                     {"銘柄名abcdefgA", "入金額abcdefg1"},
                     {"D1\t配当国内\tA\t\t-"}},
        DomesticCase{"AmountOfTwelveCharacters",
                     {"銘柄名abcdefgA", "入金額abcdefg1円"},
                     {"D1\t配当国内\tA\t\t-1"}},
        DomesticCase{"MarkerAloneAsAmount", {"銘柄名abcdefgA", "入金額"}, {"D1\t配当国内\tA\t\t-"}},
        DomesticCase{"AmountKeptAsText",
                     {"銘柄名abcdefgA", "入金額abcdefg 1,234.5 x円"},
                     {"D1\t配当国内\tA\t\t- 1,234.5 x"}},
        DomesticCase{"PairInName",
                     {"銘柄名abcdefg" + kPair + "野家", "入金額abcdefg10円"},
                     {"D1\t配当国内\t" + kPair + "野家\t\t-10"}},
        // The unit is cut off even when a pair stands earlier in the amount, and a pair that
        // is itself the last character goes whole.
        DomesticCase{"PairInAmount",
                     {"銘柄名abcdefgA", "入金額abcdefg" + kPair + "10円"},
                     {"D1\t配当国内\tA\t\t-" + kPair + "10"}},
        DomesticCase{"PairAsLastCharacter",
                     {"銘柄名abcdefgA", "入金額abcdefg10" + kPair},
                     {"D1\t配当国内\tA\t\t-10"}},
        DomesticCase{"PairAloneAsAmount",
                     {"銘柄名abcdefgA", "入金額abcdefg" + kPair},
                     {"D1\t配当国内\tA\t\t-"}},
        DomesticCase{
            "MarkersOnlyAtStart",
            {" 銘柄名abcdefgA", "x入金額abcdefg1円", "株式銘柄名abcdefgB", "\t入金額abcdefg1円"},
            {}},
        DomesticCase{"NameNeverClosed", {"銘柄名abcdefgA"}, {}}, DomesticCase{"Empty", {}, {}},
        DomesticCase{"NoAmountLine", {"明細", "銘柄名abcdefgA", "合計"}, {}}),
    [](const testing::TestParamInfo<DomesticCase>& param) {
        return std::string(param.param.name);
    });

TEST(Domestic, SecondRunMakesNoRow) {
    TextArea memo(Lines({"銘柄名abcdefgA社", "入金額abcdefg1,200円"}));
    RecordingClipboard clipboard;
    const auto date = [] { return QStringLiteral("2024/06/30"); };
    ConvertDomesticDividends(memo, clipboard, date);
    ASSERT_EQ(memo.Text(), Rows({"2024/06/30\t配当国内\tA社\t\t-1,200"}));
    ConvertDomesticDividends(memo, clipboard, date);
    EXPECT_EQ(memo.Text(), QString());
    EXPECT_EQ(clipboard.texts.size(), 2);
    EXPECT_EQ(clipboard.last(), QString());
}

TEST(Domestic, RealDateHasNoTabOrBreak) {
    TextArea memo(Lines({"銘柄名abcdefgA社", "入金額abcdefg1,200円"}));
    RecordingClipboard clipboard;
    ConvertDomesticDividends(memo, clipboard, [] { return DateToStr(Now()); });
    const QStringList columns = memo.Get(0).split(u'\t');
    ASSERT_EQ(columns.size(), 5);
    EXPECT_FALSE(columns[0].isEmpty());
    EXPECT_EQ(columns.mid(1), (QStringList{"配当国内", "A社", "", "-1,200"}));
}

} // namespace
