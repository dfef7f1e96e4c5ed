#include "rates/json.h"
#include "rates/query.h"

#include "convert/primitives.h"
#include "convert/unicode.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace kasorel;

namespace {

std::u16string Nested(int depth) {
    return std::u16string(static_cast<std::size_t>(depth), u'[') +
           std::u16string(static_cast<std::size_t>(depth), u']');
}

struct RoundTrip {
    const char* name;
    std::u16string in;
    std::u16string out;
};

// Lists the case by its name.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class Compact : public testing::TestWithParam<RoundTrip> {};

TEST_P(Compact, ParseThenWrite) {
    const std::optional<json::Value> v = json::Parse(GetParam().in);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(json::Write(*v), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Compact,
    testing::Values(
        RoundTrip{"Answer",
                  u"{ \"success\" : true,\r\n \"base\": \"EUR\", \"rates\": {\"JPY\": 163.9,"
                  u" \"USD\": 1.0832} }",
                  uR"({"success":true,"base":"EUR","rates":{"JPY":163.9,"USD":1.0832}})"},
        RoundTrip{"NumbersAsReceived", u"[1.10, 1E+2, -0, 0.000, 12345678901234567890123, 1e-400]",
                  u"[1.10,1E+2,-0,0.000,12345678901234567890123,1e-400]"},
        RoundTrip{"MemberOrderAndDuplicatesKept", uR"({"b":1,"a":2,"b":3})",
                  uR"({"b":1,"a":2,"b":3})"},
        RoundTrip{"Scalars", u"[null,false,true,\"\",{},[]]", u"[null,false,true,\"\",{},[]]"},
        RoundTrip{"Escapes", uR"(["\"\\\/\b\f\n\r\t\u0001\u00e9\ud842\udfb7"])",
                  u"[\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0001é𠮷\"]"},
        RoundTrip{"LineSeparatorsStayEscaped", uR"(["a\u2028b\u2029c"])",
                  uR"(["a\u2028b\u2029c"])"},
        RoundTrip{"NulInsideString", uR"(["a\u0000b"])", uR"(["a\u0000b"])"},
        RoundTrip{"TopLevelScalar", u" 42 ", u"42"},
        RoundTrip{"DeepestAccepted", Nested(json::kMaxDepth), Nested(json::kMaxDepth)}),
    [](const testing::TestParamInfo<RoundTrip>& param) { return std::string(param.param.name); });

struct Invalid {
    const char* name;
    std::u16string in;
};

// Lists the case by its name.
void PrintTo(const Invalid& c, std::ostream* os) {
    *os << c.name;
}

class NoValue : public testing::TestWithParam<Invalid> {};

TEST_P(NoValue, Parse) {
    EXPECT_FALSE(json::Parse(GetParam().in).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NoValue,
    testing::Values(Invalid{"Empty", u""}, Invalid{"Blank", u" \r\n"},
                    Invalid{"Html", u"<html><body>404</body></html>"},
                    Invalid{"TrailingContent", u"{} x"}, Invalid{"TwoValues", u"{}{}"},
                    Invalid{"Unclosed", uR"({"rates":{"JPY":1})"},
                    Invalid{"TrailingComma", u"[1,]"}, Invalid{"SingleQuotes", u"{'a':1}"},
                    Invalid{"LeadingZero", u"[01]"}, Invalid{"BarePlus", u"[+1]"},
                    Invalid{"NulAfterValue", std::u16string(u"{}\0x", 4)},
                    Invalid{"LoneHighSurrogateEscape", uR"(["\ud800"])"},
                    Invalid{"NumberBeyondDouble", u"[1E400]"},
                    Invalid{"TooDeep", Nested(json::kMaxDepth + 1)},
                    Invalid{"FarTooDeep", std::u16string(100000, u'[')}),
    [](const testing::TestParamInfo<Invalid>& param) { return std::string(param.param.name); });

TEST(Write, EscapedLoneLowSurrogateIsRefused) {
    const std::optional<json::Value> v = json::Parse(uR"(["\udc00"])");
    ASSERT_TRUE(v.has_value());
    EXPECT_THROW(json::Write(*v), EJSONException);
}

TEST(Members, FirstOfDuplicatedNameWinsAndNamesAreCaseSensitive) {
    const std::optional<json::Value> v = json::Parse(uR"({"rates":{"JPY":1},"rates":{"JPY":2}})");
    ASSERT_TRUE(v.has_value());
    const json::Value* rates = json::FindMember(*v, "rates");
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(json::ReadDouble(*rates, "JPY"), 1);
    EXPECT_EQ(json::FindMember(*v, "Rates"), nullptr);
    EXPECT_EQ(json::FindMember(rates->members.front().value, "JPY"), nullptr);
}

struct DoubleCase {
    const char* name;
    std::u16string member; // the JSON text of member "x"
    double value;          // when message is empty
    std::u16string message;
};

// Lists the case by its name.
void PrintTo(const DoubleCase& c, std::ostream* os) {
    *os << c.name;
}

class Doubles : public testing::TestWithParam<DoubleCase> {};

TEST_P(Doubles, ReadMember) {
    const DoubleCase& c = GetParam();
    const std::optional<json::Value> v = json::Parse(u"{\"x\":" + c.member + u"}");
    ASSERT_TRUE(v.has_value());
    if (c.message.empty()) {
        EXPECT_EQ(json::ReadDouble(*v, "x"), c.value);
        return;
    }
    try {
        json::ReadDouble(*v, "x");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Doubles,
    testing::Values(
        DoubleCase{"Number", u"151.3", 151.3, u""}, DoubleCase{"Exponent", u"1E+2", 100, u""},
        DoubleCase{"Negative", u"-2.5e-1", -0.25, u""}, DoubleCase{"String", u"\"1.5\"", 1.5, u""},
        DoubleCase{"True", u"true", 1, u""}, DoubleCase{"False", u"false", 0, u""},
        DoubleCase{"StringNoNumber", u"\"abc\"", 0, u"'abc' は浮動小数点数ではありません"},
        DoubleCase{"StringWithComma", u"\"1,5\"", 0, u"'1,5' は浮動小数点数ではありません"},
        DoubleCase{"StringBeyondDouble", u"\"1E400\"", 0, u"浮動小数点数のオーバーフロー"},
        DoubleCase{"Null", u"null", 0, u"null から Double への変換はサポートされていません"},
        DoubleCase{"Object", u"{}", 0, u"object から Double への変換はサポートされていません"},
        DoubleCase{"Array", u"[1]", 0, u"array から Double への変換はサポートされていません"}),
    [](const testing::TestParamInfo<DoubleCase>& param) { return std::string(param.param.name); });

TEST(Doubles, MissingMemberNamesIt) {
    const std::optional<json::Value> v = json::Parse(u"{}");
    try {
        json::ReadDouble(*v, "JPY");
        FAIL() << "no error";
    } catch (const EJSONException& e) {
        EXPECT_EQ(e.message(), u"値 'JPY' が見つかりません");
    }
}

struct RateCase {
    const char* name;
    std::u16string answer;
    double rate; // when message is empty
    std::u16string message;
};

// Lists the case by its name.
void PrintTo(const RateCase& c, std::ostream* os) {
    *os << c.name;
}

class Rate : public testing::TestWithParam<RateCase> {};

TEST_P(Rate, FromAnswer) {
    const RateCase& c = GetParam();
    const std::optional<json::Value> v = json::Parse(c.answer);
    ASSERT_TRUE(v.has_value());
    if (c.message.empty()) {
        EXPECT_EQ(ReadRate(*v), c.rate);
        return;
    }
    try {
        ReadRate(*v);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Rate,
    testing::Values(
        RateCase{"Quotient", uR"({"rates":{"USD":1.0832,"JPY":163.9}})", 163.9 / 1.0832, u""},
        RateCase{"FirstRatesWins", uR"({"rates":{"JPY":150,"USD":1},"rates":{"JPY":1,"USD":1}})",
                 150, u""},
        RateCase{"NotAnObject", u"[1]", 0, u"JSON オブジェクトではありません"},
        RateCase{"NoRates", uR"({"success":false,"error":{"code":101}})", 0,
                 u"値 'rates' が見つかりません"},
        RateCase{"RatesNotObject", uR"({"rates":[1]})", 0, u"'rates' はオブジェクトではありません"},
        RateCase{"FirstRatesNotObject", uR"({"rates":1,"rates":{"JPY":1,"USD":1}})", 0,
                 u"'rates' はオブジェクトではありません"},
        RateCase{"NoUsd", uR"({"rates":{"JPY":150}})", 0, u"値 'USD' が見つかりません"},
        RateCase{"JpyReadFirst", uR"({"rates":{}})", 0, u"値 'JPY' が見つかりません"},
        RateCase{"UsdZero", uR"({"rates":{"JPY":150,"USD":0}})", 0, u"0 による浮動小数点数除算"},
        RateCase{"BothZero", uR"({"rates":{"JPY":0,"USD":0.0}})", 0, u"不正な浮動小数点数演算命令"},
        RateCase{"QuotientBeyondDouble", uR"({"rates":{"JPY":1E300,"USD":1E-300}})", 0,
                 u"浮動小数点数のオーバーフロー"}),
    [](const testing::TestParamInfo<RateCase>& param) { return std::string(param.param.name); });

struct ProbeCase {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> added; // when message is empty
    std::u16string message;
};

// Lists the case by its name.
void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

class Probe : public testing::TestWithParam<ProbeCase> {};

TEST_P(Probe, BothLinesOrNeither) {
    const ProbeCase& c = GetParam();
    TextArea memo(c.text);
    if (c.message.empty()) {
        ProbeRates(memo);
        std::u16string expected = c.text;
        for (const std::u16string& line : c.added)
            expected += u"\r\n" + line;
        EXPECT_EQ(memo.Text(), expected);
        return;
    }
    try {
        ProbeRates(memo);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.message(), c.message);
    }
    EXPECT_EQ(memo.Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Probe,
    testing::Values(
        ProbeCase{"FirstMemberAndRate",
                  uR"({"rates":{"AED":4.0,"JPY":151.3,"USD":1}})",
                  {u"AED", u"151.3"},
                  u""},
        ProbeCase{"OverSeveralLines",
                  u"{\r\n \"rates\": {\r\n  \"USD\": 2,\r\n  \"JPY\": 301\r\n }\r\n}",
                  {u"USD", u"150.5"},
                  u""},
        ProbeCase{"NotJson", u"銘柄名abcdefgA", {}, u"JSON オブジェクトではありません"},
        ProbeCase{"Empty", u"", {}, u"JSON オブジェクトではありません"},
        ProbeCase{"NotAnObject", u"[]", {}, u"JSON オブジェクトではありません"},
        ProbeCase{"NoRates", u"{}", {}, u"値 'rates' が見つかりません"},
        ProbeCase{
            "RatesNotObject", uR"({"rates":"x"})", {}, u"'rates' はオブジェクトではありません"},
        ProbeCase{"EmptyRates", uR"({"rates":{}})", {}, u"'rates' にメンバーがありません"},
        ProbeCase{"NoJpy", uR"({"rates":{"USD":1}})", {}, u"値 'JPY' が見つかりません"},
        ProbeCase{"NullUsd",
                  uR"({"rates":{"JPY":1,"USD":null}})",
                  {},
                  u"null から Double への変換はサポートされていません"},
        ProbeCase{"UsdZero", uR"({"rates":{"JPY":1,"USD":0}})", {}, u"0 による浮動小数点数除算"}),
    [](const testing::TestParamInfo<ProbeCase>& param) { return std::string(param.param.name); });

} // namespace
