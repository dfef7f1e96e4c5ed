#include "rates/json.h"
#include "rates/query.h"

#include "convert/primitives.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

QString Nested(int depth) {
    return QString(depth, u'[') + QString(depth, u']');
}

struct RoundTrip {
    const char* name;
    QString in;
    QString out;
};

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
                  "{ \"success\" : true,\r\n \"base\": \"EUR\", \"rates\": {\"JPY\": 163.9,"
                  " \"USD\": 1.0832} }",
                  R"({"success":true,"base":"EUR","rates":{"JPY":163.9,"USD":1.0832}})"},
        RoundTrip{"NumbersAsReceived", "[1.10, 1E+2, -0, 0.000, 12345678901234567890123, 1e-400]",
                  "[1.10,1E+2,-0,0.000,12345678901234567890123,1e-400]"},
        RoundTrip{"MemberOrderAndDuplicatesKept", R"({"b":1,"a":2,"b":3})",
                  R"({"b":1,"a":2,"b":3})"},
        RoundTrip{"Scalars", "[null,false,true,\"\",{},[]]", "[null,false,true,\"\",{},[]]"},
        RoundTrip{"Escapes", R"(["\"\\\/\b\f\n\r\t\u0001\u00e9\ud842\udfb7"])",
                  "[\"\\\"\\\\/\\b\\f\\n\\r\\t\\u0001é𠮷\"]"},
        RoundTrip{"LineSeparatorsStayEscaped", R"(["a\u2028b\u2029c"])", R"(["a\u2028b\u2029c"])"},
        RoundTrip{"NulInsideString", R"(["a\u0000b"])", R"(["a\u0000b"])"},
        RoundTrip{"TopLevelScalar", " 42 ", "42"},
        RoundTrip{"DeepestAccepted", Nested(json::kMaxDepth), Nested(json::kMaxDepth)}),
    [](const testing::TestParamInfo<RoundTrip>& param) { return std::string(param.param.name); });

struct Invalid {
    const char* name;
    QString in;
};

class NoValue : public testing::TestWithParam<Invalid> {};

TEST_P(NoValue, Parse) {
    EXPECT_FALSE(json::Parse(GetParam().in).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NoValue,
    testing::Values(Invalid{"Empty", ""}, Invalid{"Blank", " \r\n"},
                    Invalid{"Html", "<html><body>404</body></html>"},
                    Invalid{"TrailingContent", "{} x"}, Invalid{"TwoValues", "{}{}"},
                    Invalid{"Unclosed", R"({"rates":{"JPY":1})"}, Invalid{"TrailingComma", "[1,]"},
                    Invalid{"SingleQuotes", "{'a':1}"}, Invalid{"LeadingZero", "[01]"},
                    Invalid{"BarePlus", "[+1]"},
                    Invalid{"NulAfterValue", QString::fromUtf16(u"{}\0x", 4)},
                    Invalid{"LoneHighSurrogateEscape", R"(["\ud800"])"},
                    Invalid{"NumberBeyondDouble", "[1E400]"},
                    Invalid{"TooDeep", Nested(json::kMaxDepth + 1)},
                    Invalid{"FarTooDeep", QString(100000, u'[')}),
    [](const testing::TestParamInfo<Invalid>& param) { return std::string(param.param.name); });

TEST(Write, EscapedLoneLowSurrogateIsRefused) {
    const std::optional<json::Value> v = json::Parse(R"(["\udc00"])");
    ASSERT_TRUE(v.has_value());
    EXPECT_THROW(json::Write(*v), EJSONException);
}

TEST(Members, FirstOfDuplicatedNameWinsAndNamesAreCaseSensitive) {
    const std::optional<json::Value> v = json::Parse(R"({"rates":{"JPY":1},"rates":{"JPY":2}})");
    ASSERT_TRUE(v.has_value());
    const json::Value* rates = json::FindMember(*v, "rates");
    ASSERT_NE(rates, nullptr);
    EXPECT_EQ(json::ReadDouble(*rates, "JPY"), 1);
    EXPECT_EQ(json::FindMember(*v, "Rates"), nullptr);
    EXPECT_EQ(json::FindMember(rates->members.front().value, "JPY"), nullptr);
}

struct DoubleCase {
    const char* name;
    QString member; // the JSON text of member "x"
    double value;   // when message is empty
    QString message;
};

class Doubles : public testing::TestWithParam<DoubleCase> {};

TEST_P(Doubles, ReadMember) {
    const DoubleCase& c = GetParam();
    const std::optional<json::Value> v = json::Parse("{\"x\":" + c.member + "}");
    ASSERT_TRUE(v.has_value());
    if (c.message.isEmpty()) {
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
        DoubleCase{"Number", "151.3", 151.3, ""}, DoubleCase{"Exponent", "1E+2", 100, ""},
        DoubleCase{"Negative", "-2.5e-1", -0.25, ""}, DoubleCase{"String", "\"1.5\"", 1.5, ""},
        DoubleCase{"True", "true", 1, ""}, DoubleCase{"False", "false", 0, ""},
        DoubleCase{"StringNoNumber", "\"abc\"", 0, "'abc' は浮動小数点数ではありません"},
        DoubleCase{"StringWithComma", "\"1,5\"", 0, "'1,5' は浮動小数点数ではありません"},
        DoubleCase{"StringBeyondDouble", "\"1E400\"", 0, "浮動小数点数のオーバーフロー"},
        DoubleCase{"Null", "null", 0, "null から Double への変換はサポートされていません"},
        DoubleCase{"Object", "{}", 0, "object から Double への変換はサポートされていません"},
        DoubleCase{"Array", "[1]", 0, "array から Double への変換はサポートされていません"}),
    [](const testing::TestParamInfo<DoubleCase>& param) { return std::string(param.param.name); });

TEST(Doubles, MissingMemberNamesIt) {
    const std::optional<json::Value> v = json::Parse("{}");
    try {
        json::ReadDouble(*v, "JPY");
        FAIL() << "no error";
    } catch (const EJSONException& e) {
        EXPECT_EQ(e.message(), QStringLiteral("値 'JPY' が見つかりません"));
    }
}

struct RateCase {
    const char* name;
    QString answer;
    double rate; // when message is empty
    QString message;
};

class Rate : public testing::TestWithParam<RateCase> {};

TEST_P(Rate, FromAnswer) {
    const RateCase& c = GetParam();
    const std::optional<json::Value> v = json::Parse(c.answer);
    ASSERT_TRUE(v.has_value());
    if (c.message.isEmpty()) {
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
        RateCase{"Quotient", R"({"rates":{"USD":1.0832,"JPY":163.9}})", 163.9 / 1.0832, ""},
        RateCase{"FirstRatesWins", R"({"rates":{"JPY":150,"USD":1},"rates":{"JPY":1,"USD":1}})",
                 150, ""},
        RateCase{"NotAnObject", "[1]", 0, "JSON オブジェクトではありません"},
        RateCase{"NoRates", R"({"success":false,"error":{"code":101}})", 0,
                 "値 'rates' が見つかりません"},
        RateCase{"RatesNotObject", R"({"rates":[1]})", 0, "'rates' はオブジェクトではありません"},
        RateCase{"FirstRatesNotObject", R"({"rates":1,"rates":{"JPY":1,"USD":1}})", 0,
                 "'rates' はオブジェクトではありません"},
        RateCase{"NoUsd", R"({"rates":{"JPY":150}})", 0, "値 'USD' が見つかりません"},
        RateCase{"JpyReadFirst", R"({"rates":{}})", 0, "値 'JPY' が見つかりません"},
        RateCase{"UsdZero", R"({"rates":{"JPY":150,"USD":0}})", 0, "0 による浮動小数点数除算"},
        RateCase{"BothZero", R"({"rates":{"JPY":0,"USD":0.0}})", 0, "不正な浮動小数点数演算命令"},
        RateCase{"QuotientBeyondDouble", R"({"rates":{"JPY":1E300,"USD":1E-300}})", 0,
                 "浮動小数点数のオーバーフロー"}),
    [](const testing::TestParamInfo<RateCase>& param) { return std::string(param.param.name); });

struct ProbeCase {
    const char* name;
    QString text;
    QStringList added; // when message is empty
    QString message;
};

class Probe : public testing::TestWithParam<ProbeCase> {};

TEST_P(Probe, BothLinesOrNeither) {
    const ProbeCase& c = GetParam();
    TextArea memo(c.text);
    if (c.message.isEmpty()) {
        ProbeRates(memo);
        EXPECT_EQ(memo.Text(), c.text + "\r\n" + c.added.join("\r\n"));
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
                  R"({"rates":{"AED":4.0,"JPY":151.3,"USD":1}})",
                  {"AED", "151.3"},
                  ""},
        ProbeCase{"OverSeveralLines",
                  "{\r\n \"rates\": {\r\n  \"USD\": 2,\r\n  \"JPY\": 301\r\n }\r\n}",
                  {"USD", "150.5"},
                  ""},
        ProbeCase{"NotJson", "銘柄名abcdefgA", {}, "JSON オブジェクトではありません"},
        ProbeCase{"Empty", "", {}, "JSON オブジェクトではありません"},
        ProbeCase{"NotAnObject", "[]", {}, "JSON オブジェクトではありません"},
        ProbeCase{"NoRates", "{}", {}, "値 'rates' が見つかりません"},
        ProbeCase{"RatesNotObject", R"({"rates":"x"})", {}, "'rates' はオブジェクトではありません"},
        ProbeCase{"EmptyRates", R"({"rates":{}})", {}, "'rates' にメンバーがありません"},
        ProbeCase{"NoJpy", R"({"rates":{"USD":1}})", {}, "値 'JPY' が見つかりません"},
        ProbeCase{"NullUsd",
                  R"({"rates":{"JPY":1,"USD":null}})",
                  {},
                  "null から Double への変換はサポートされていません"},
        ProbeCase{"UsdZero", R"({"rates":{"JPY":1,"USD":0}})", {}, "0 による浮動小数点数除算"}),
    [](const testing::TestParamInfo<ProbeCase>& param) { return std::string(param.param.name); });

} // namespace
