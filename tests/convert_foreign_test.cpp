#include "convert/foreign.h"

#include "convert/errors.h"
#include "convert/primitives.h"
#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const QString kJson = QStringLiteral(R"({"rates":{"JPY":151.3,"USD":1}})");

// The text area as the query leaves it: the statement, then the JSON line appended.
TextArea AfterQuery(const QString& statement) {
    TextArea memo(statement);
    memo.Add(kJson);
    return memo;
}

struct ForeignCase {
    const char* name;
    double rate;
    QStringList lines;
    // Dates are "D1", "D2", ... in the order the converter asks for them.
    QStringList rows;
};

class ForeignRows : public testing::TestWithParam<ForeignCase> {};

TEST_P(ForeignRows, GoAfterTheJsonLineAndToTheClipboard) {
    const ForeignCase& c = GetParam();
    // A final line break, so the JSON line ends with one and the rows start their own line.
    const QString statement = Rows(c.lines);
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, c.rate, CountingDates());
    EXPECT_EQ(memo.Text(), statement + kJson + QStringLiteral("\r\n") + Rows(c.rows));
    EXPECT_EQ(clipboard.texts, QStringList{Rows(c.rows)});
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ForeignRows,
    testing::Values(
        ForeignCase{"WorkedExample",
                    151.3,
                    {"銘柄名abcdefgSAMPLE INC", "入金額abcdefg100.00 USD",
                     "銘柄名abcdefgEXAMPLE CORP", "入金額abcdefg2.50 USD"},
                    {"D1\t配当米国\tSAMPLE INC\t\t-15130\t151.3",
                     "D2\t配当米国\tEXAMPLE CORP\t\t-378\t151.3"}},
        // 226.5 goes to the even 226; the integral rate shows without a decimal point.
        ForeignCase{"TieToEven",
                    151,
                    {"銘柄名abcdefgA", "入金額abcdefg1.5 USD"},
                    {"D1\t配当米国\tA\t\t-226\t151"}},
        ForeignCase{"NegativeAmountIsOneNumber",
                    151.3,
                    {"銘柄名abcdefgA", "入金額abcdefg-2.00 USD"},
                    {"D1\t配当米国\tA\t\t303\t151.3"}},
        ForeignCase{"ZeroAmount",
                    151.3,
                    {"銘柄名abcdefgA", "入金額abcdefg0.00 USD"},
                    {"D1\t配当米国\tA\t\t-0\t151.3"}},
        ForeignCase{"AmountWithoutNameIsAFullRow",
                    151.3,
                    {"入金額abcdefg100.00 USD"},
                    {"D1\t配当米国\t\t\t-15130\t151.3"}},
        ForeignCase{"Pairing",
                    151.3,
                    {"銘柄名abcdefgA", "銘柄名abcdefgB", "入金額abcdefg1 USD", "入金額abcdefg2 USD",
                     "銘柄名abcdefgC"},
                    {"D2\t配当米国\tB\t\t-151\t151.3", "D3\t配当米国\t\t\t-303\t151.3"}},
        ForeignCase{"MarkersOnlyAtLineStart",
                    151.3,
                    {" 銘柄名abcdefgA", "x入金額abcdefg1 USD", "銘柄", "入金"},
                    {}},
        ForeignCase{"NameOfTenCharacters",
                    151.3,
                    {"銘柄名abcdefg", "入金額abcdefg1 USD"},
                    {"D1\t配当米国\t\t\t-151\t151.3"}},
        // Every amount at the unrounded rate, the shown rate rounded half to even.
        ForeignCase{
            "UnroundedRateForEveryAmount",
            151.26,
            {"銘柄名abcdefgA", "入金額abcdefg100 USD", "銘柄名abcdefgB", "入金額abcdefg100 USD"},
            {"D1\t配当米国\tA\t\t-15126\t151.3", "D2\t配当米国\tB\t\t-15126\t151.3"}},
        ForeignCase{"ShownRateTieToEven",
                    151.25,
                    {"入金額abcdefg4 USD"},
                    {"D1\t配当米国\t\t\t-605\t151.2"}},
        // The nearest double to 151.35 lies just below it.
        ForeignCase{"ShownRateOfInexactTie",
                    151.35,
                    {"入金額abcdefg2 USD"},
                    {"D1\t配当米国\t\t\t-303\t151.3"}},
        ForeignCase{
            "ExponentAmount", 100, {"入金額abcdefg1E2 USD"}, {"D1\t配当米国\t\t\t-10000\t100"}}),
    [](const testing::TestParamInfo<ForeignCase>& param) { return std::string(param.param.name); });

TEST(ForeignDividends, NoRowInsertsNothingAndEmptiesTheClipboard) {
    TextArea memo = AfterQuery(QString());
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return QStringLiteral("D"); });
    EXPECT_EQ(memo.Text(), kJson + QStringLiteral("\r\n"));
    EXPECT_EQ(clipboard.texts, QStringList{QString()});
}

TEST(ForeignDividends, RowsStartOwnLineWhenTextHadNoFinalBreak) {
    const QString statement = Lines({"銘柄名abcdefgA", "入金額abcdefg1.5 USD"});
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151, [] { return QStringLiteral("D"); });
    const QString rows = Rows({"D\t配当米国\tA\t\t-226\t151"});
    EXPECT_EQ(memo.Text(),
              statement + QStringLiteral("\r\n") + kJson + QStringLiteral("\r\n") + rows);
    EXPECT_EQ(memo.Count(), 4);
    EXPECT_EQ(clipboard.texts, QStringList{rows});
}

TEST(ForeignDividends, NoRowAddsNoBreakAfterJsonLine) {
    TextArea memo = AfterQuery(QStringLiteral("text"));
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return QStringLiteral("D"); });
    EXPECT_EQ(memo.Text(), QStringLiteral("text\r\n") + kJson);
    EXPECT_EQ(clipboard.texts, QStringList{QString()});
}

TEST(ForeignDividends, SecondRunConvertsAgainAfterTheNewJsonLine) {
    const QString statement = Rows({"銘柄名abcdefgA", "入金額abcdefg1 USD"});
    TextArea memo = AfterQuery(statement);
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 151.3, [] { return QStringLiteral("D"); });
    memo.Add(kJson);
    ConvertForeignDividends(memo, clipboard, 152, [] { return QStringLiteral("D"); });
    const QString first = Rows({"D\t配当米国\tA\t\t-151\t151.3"});
    const QString second = Rows({"D\t配当米国\tA\t\t-152\t152"});
    EXPECT_EQ(memo.Text(), statement + kJson + QStringLiteral("\r\n") + first + kJson +
                               QStringLiteral("\r\n") + second);
    EXPECT_EQ(clipboard.texts, (QStringList{first, second}));
}

TEST(ForeignDividends, RowsReplaceTheSelection) {
    TextArea memo(Rows({"入金額abcdefg1 USD", "old"}));
    memo.SetSelection({1, 0}, {1, 3});
    RecordingClipboard clipboard;
    ConvertForeignDividends(memo, clipboard, 100, [] { return QStringLiteral("D"); });
    EXPECT_EQ(memo.Text(), Rows({"入金額abcdefg1 USD", "D\t配当米国\t\t\t-100\t100", ""}));
}

struct ForeignErrorCase {
    const char* name;
    double rate;
    QString amountLine;
    QString message;
};

class ForeignErrors : public testing::TestWithParam<ForeignErrorCase> {};

TEST_P(ForeignErrors, LeaveTextAndClipboardAsTheyWere) {
    const ForeignErrorCase& c = GetParam();
    const QString statement =
        Rows({"銘柄名abcdefgA", "入金額abcdefg1 USD", "銘柄名abcdefgB", c.amountLine});
    TextArea memo = AfterQuery(statement);
    const QString before = memo.Text();
    RecordingClipboard clipboard;
    try {
        ConvertForeignDividends(memo, clipboard, c.rate, [] { return QStringLiteral("D"); });
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(memo.Text(), before);
    EXPECT_TRUE(clipboard.texts.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, ForeignErrors,
    testing::Values(ForeignErrorCase{"ShortAmountLine", 151.3, "入金額abcdefg USD",
                                     "'' は浮動小数点数ではありません"},
                    ForeignErrorCase{"Letters", 151.3, "入金額abcdefgabc USD",
                                     "'abc' は浮動小数点数ではありません"},
                    ForeignErrorCase{"ThousandsSeparator", 151.3, "入金額abcdefg1,000 USD",
                                     "'1,000' は浮動小数点数ではありません"},
                    ForeignErrorCase{"YenBeyond32Bits", 151.3, "入金額abcdefg100000000 USD",
                                     "範囲チェックエラー"},
                    ForeignErrorCase{"NegativeYenBeyond32Bits", 151.3,
                                     "入金額abcdefg-100000000 USD", "範囲チェックエラー"},
                    ForeignErrorCase{"YenBeyond64Bits", 151.3, "入金額abcdefg1E20 USD",
                                     "不正な浮動小数点数演算命令"}),
    [](const testing::TestParamInfo<ForeignErrorCase>& param) {
        return std::string(param.param.name);
    });

} // namespace
