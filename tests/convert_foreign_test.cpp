#include "convert/foreign.h"

#include "convert/errors.h"
#include "convert/primitives.h"
#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::u16string kJson = uR"({"rates":{"JPY":151.3,"USD":1}})";

// The text area as the query leaves it: the statement, then the JSON line appended.
TextArea AfterQuery(const std::u16string& statement) {
    TextArea memo(statement);
    memo.Add(kJson);
    return memo;
}

struct ForeignCase {
    const char* name;
    double rate;
    std::vector<std::u16string> lines;
    // Dates are "D1", "D2", ... in the order the converter asks for them.
    std::vector<std::u16string> rows;
};

class ForeignRows : public testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignRows, GoAfterTheJsonLineAndToTheClipboard) {
    const ForeignCase& c = GetParam();
    // A final line break, so the JSON line ends with one and the rows start their own line.
    const std::u16string statement = Rows(c.lines);
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, c.rate, CountingDates());
    EXPECT_EQ(memo.Text(), statement + kJson + u"\r\n" + Rows(c.rows));
    EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{Rows(c.rows)});
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ForeignRows,
    testing::Values(
        ForeignCase{"WorkedExample",
                    151.3,
                    {u"銘柄名abcdefgSAMPLE INC", u"入金額abcdefg100.00 USD",
                     u"銘柄名abcdefgEXAMPLE CORP", u"入金額abcdefg2.50 USD"},
                    {u"D1\t配当米国\tSAMPLE INC\t\t-15130\t151.3",
                     u"D2\t配当米国\tEXAMPLE CORP\t\t-378\t151.3"}},
        // 226.5 goes to the even 226; the integral rate shows without a decimal point.
        ForeignCase{"TieToEven",
                    151,
                    {u"銘柄名abcdefgA", u"入金額abcdefg1.5 USD"},
                    {u"D1\t配当米国\tA\t\t-226\t151"}},
        ForeignCase{"NegativeAmountIsOneNumber",
                    151.3,
                    {u"銘柄名abcdefgA", u"入金額abcdefg-2.00 USD"},
                    {u"D1\t配当米国\tA\t\t303\t151.3"}},
        ForeignCase{"ZeroAmount",
                    151.3,
                    {u"銘柄名abcdefgA", u"入金額abcdefg0.00 USD"},
                    {u"D1\t配当米国\tA\t\t-0\t151.3"}},
        ForeignCase{"AmountWithoutNameIsAFullRow",
                    151.3,
                    {u"入金額abcdefg100.00 USD"},
                    {u"D1\t配当米国\t\t\t-15130\t151.3"}},
        ForeignCase{"Pairing",
                    151.3,
                    {u"銘柄名abcdefgA", u"銘柄名abcdefgB", u"入金額abcdefg1 USD",
                     u"入金額abcdefg2 USD", u"銘柄名abcdefgC"},
                    {u"D2\t配当米国\tB\t\t-151\t151.3", u"D3\t配当米国\t\t\t-303\t151.3"}},
        ForeignCase{"MarkersOnlyAtLineStart",
                    151.3,
                    {u" 銘柄名abcdefgA", u"x入金額abcdefg1 USD", u"銘柄", u"入金"},
                    {}},
        ForeignCase{"NameOfTenCharacters",
                    151.3,
                    {u"銘柄名abcdefg", u"入金額abcdefg1 USD"},
                    {u"D1\t配当米国\t\t\t-151\t151.3"}},
        // Every amount at the unrounded rate, the shown rate rounded half to even.
        ForeignCase{"UnroundedRateForEveryAmount",
                    151.26,
                    {u"銘柄名abcdefgA", u"入金額abcdefg100 USD", u"銘柄名abcdefgB",
                     u"入金額abcdefg100 USD"},
                    {u"D1\t配当米国\tA\t\t-15126\t151.3", u"D2\t配当米国\tB\t\t-15126\t151.3"}},
        ForeignCase{"ShownRateTieToEven",
                    151.25,
                    {u"入金額abcdefg4 USD"},
                    {u"D1\t配当米国\t\t\t-605\t151.2"}},
        // The nearest double to 151.35 lies just below it.
        ForeignCase{"ShownRateOfInexactTie",
                    151.35,
                    {u"入金額abcdefg2 USD"},
                    {u"D1\t配当米国\t\t\t-303\t151.3"}},
        ForeignCase{
            "ExponentAmount", 100, {u"入金額abcdefg1E2 USD"}, {u"D1\t配当米国\t\t\t-10000\t100"}}),
    [](const testing::TestParamInfo<ForeignCase>& param) { return std::string(param.param.name); });

TEST(ForeignDividends, NoRowInsertsNothingAndEmptiesTheClipboard) {
    TextArea memo = AfterQuery(std::u16string());
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return u"D"; });
    EXPECT_EQ(memo.Text(), kJson + u"\r\n");
    EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{std::u16string()});
}

TEST(ForeignDividends, RowsStartOwnLineWhenTextHadNoFinalBreak) {
    const std::u16string statement = Lines({u"銘柄名abcdefgA", u"入金額abcdefg1.5 USD"});
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151, [] { return u"D"; });
    const std::u16string rows = Rows({u"D\t配当米国\tA\t\t-226\t151"});
    EXPECT_EQ(memo.Text(), statement + u"\r\n" + kJson + u"\r\n" + rows);
    EXPECT_EQ(memo.Count(), 4);
    EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{rows});
}

TEST(ForeignDividends, NoRowAddsNoBreakAfterJsonLine) {
    TextArea memo = AfterQuery(u"text");
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return u"D"; });
    EXPECT_EQ(memo.Text(), u"text\r\n" + kJson);
    EXPECT_EQ(clipboard.texts, std::vector<std::u16string>{std::u16string()});
}

TEST(ForeignDividends, SecondRunConvertsAgainAfterTheNewJsonLine) {
    const std::u16string statement = Rows({u"銘柄名abcdefgA", u"入金額abcdefg1 USD"});
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return u"D"; });
    memo.Add(kJson);
    ConvertForeignDividends(memo, clipboard, 152, [] { return u"D"; });
    const std::u16string first = Rows({u"D\t配当米国\tA\t\t-151\t151.3"});
    const std::u16string second = Rows({u"D\t配当米国\tA\t\t-152\t152"});
    EXPECT_EQ(memo.Text(), statement + kJson + u"\r\n" + first + kJson + u"\r\n" + second);
    EXPECT_EQ(clipboard.texts, (std::vector<std::u16string>{first, second}));
}

TEST(ForeignDividends, RowsReplaceTheSelection) {
    TextArea memo(Rows({u"入金額abcdefg1 USD", u"old"}));
    memo.SetSelection({1, 0}, {1, 3});
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 100, [] { return u"D"; });
    EXPECT_EQ(memo.Text(), Rows({u"入金額abcdefg1 USD", u"D\t配当米国\t\t\t-100\t100", u""}));
}

struct ForeignErrorCase {
    const char* name;
    double rate;
    std::u16string amountLine;
    std::u16string message;
};

class ForeignErrors : public testing::TestWithParam<ForeignErrorCase> {};

TEST_P(ForeignErrors, LeaveTextAndClipboardAsTheyWere) {
    const ForeignErrorCase& c = GetParam();
    const std::u16string statement =
        Rows({u"銘柄名abcdefgA", u"入金額abcdefg1 USD", u"銘柄名abcdefgB", c.amountLine});
    TextArea memo = AfterQuery(statement);
    const std::u16string before = memo.Text();
    RecordingClipboard clipboard;
    try {
        ConvertForeignDividends(memo, clipboard, c.rate, [] { return u"D"; });
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(memo.Text(), before);
    EXPECT_TRUE(clipboard.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, ForeignErrors,
    testing::Values(ForeignErrorCase{"ShortAmountLine", 151.3, u"入金額abcdefg USD",
                                     u"'' は浮動小数点数ではありません"},
                    ForeignErrorCase{"Letters", 151.3, u"入金額abcdefgabc USD",
                                     u"'abc' は浮動小数点数ではありません"},
                    ForeignErrorCase{"ThousandsSeparator", 151.3, u"入金額abcdefg1,000 USD",
                                     u"'1,000' は浮動小数点数ではありません"},
                    ForeignErrorCase{"YenBeyond32Bits", 151.3, u"入金額abcdefg100000000 USD",
                                     u"範囲チェックエラー"},
                    ForeignErrorCase{"NegativeYenBeyond32Bits", 151.3,
                                     u"入金額abcdefg-100000000 USD", u"範囲チェックエラー"},
                    ForeignErrorCase{"YenBeyond64Bits", 151.3, u"入金額abcdefg1E20 USD",
                                     u"不正な浮動小数点数演算命令"}),
    [](const testing::TestParamInfo<ForeignErrorCase>& param) {
        return std::string(param.param.name);
    });

} // namespace
