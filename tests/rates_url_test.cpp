#include "rates/rest.h"

#include "text_printers.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace kasorel;

namespace {

struct EncodeCase {
    const char* name;
    std::u16string in;
    std::u16string asName;
    std::u16string asValue;
};

// Lists the case by its name.
void PrintTo(const EncodeCase& c, std::ostream* os) {
    *os << c.name;
}

class QueryEncoding : public testing::TestWithParam<EncodeCase> {};

TEST_P(QueryEncoding, NamesAndValues) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(EncodeParameterName(c.in), c.asName);
    EXPECT_EQ(EncodeParameterValue(c.in), c.asValue);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, QueryEncoding,
    testing::Values(EncodeCase{"Empty", u"", u"", u""},
                    EncodeCase{"IssuedKey", u"a1B2c3D4e5", u"a1B2c3D4e5", u"a1B2c3D4e5"},
                    EncodeCase{"Space", u"ab cd", u"ab%20cd", u"ab+cd"},
                    EncodeCase{"Tilde", u"a~b", u"a%7Eb", u"a%7Eb"},
                    EncodeCase{"Star", u"a*b", u"a%2Ab", u"a*b"},
                    EncodeCase{"KeptByBoth", u"-._", u"-._", u"-._"},
                    EncodeCase{"Plus", u"a+b", u"a%2Bb", u"a%2Bb"},
                    EncodeCase{"PercentNotReencoded", u"%20", u"%2520", u"%2520"},
                    EncodeCase{"Reserved", u"&=?/#", u"%26%3D%3F%2F%23", u"%26%3D%3F%2F%23"},
                    EncodeCase{"OtherPrintable", u"!\"'(),:;<>@[\\]^`{|}$",
                               u"%21%22%27%28%29%2C%3A%3B%3C%3E%40%5B%5C%5D%5E%60%7B%7C%7D%24",
                               u"%21%22%27%28%29%2C%3A%3B%3C%3E%40%5B%5C%5D%5E%60%7B%7C%7D%24"},
                    EncodeCase{"ControlAndDelete", u"\t\x7f", u"%09%7F", u"%09%7F"},
                    EncodeCase{"NonAsciiAsUtf8Bytes", u"キー", u"%E3%82%AD%E3%83%BC",
                               u"%E3%82%AD%E3%83%BC"},
                    EncodeCase{"PairAsFourBytes", u"𠮷", u"%F0%A0%AE%B7", u"%F0%A0%AE%B7"}),
    [](const testing::TestParamInfo<EncodeCase>& param) { return std::string(param.param.name); });

struct UrlCase {
    const char* name;
    std::u16string base;
    std::u16string resource;
    RESTParameterList params;
    std::u16string url;
};

// Lists the case by its name.
void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << c.name;
}

class Composition : public testing::TestWithParam<UrlCase> {};

TEST_P(Composition, Url) {
    const UrlCase& c = GetParam();
    EXPECT_EQ(ComposeUrl(c.base, c.resource, c.params), c.url);
}

const RESTParameterList kQuery{{u"Endpoint", u"latest"}, {u"access_key", u"K 1~"}};

INSTANTIATE_TEST_SUITE_P(
    Parts, Composition,
    testing::Values(
        UrlCase{"Configured", u"http://h/v1", u"latest", kQuery,
                u"http://h/v1/latest?Endpoint=latest&access_key=K+1%7E"},
        UrlCase{"EmptyKey",
                u"http://h/v1",
                u"latest",
                {{u"Endpoint", u"latest"}, {u"access_key", u""}},
                u"http://h/v1/latest?Endpoint=latest&access_key="},
        UrlCase{"BaseEndsInSlash", u"http://h/v1/", u"latest", {}, u"http://h/v1/latest"},
        UrlCase{"ResourceStartsWithSlash", u"http://h/v1", u"/latest", {}, u"http://h/v1/latest"},
        UrlCase{"ResourceStartsWithQuery",
                u"http://h/v1",
                u"?a=b",
                {{u"c", u"d"}},
                u"http://h/v1?a=b&c=d"},
        UrlCase{"ResourceStartsWithFragment", u"http://h/v1", u"#f", {}, u"http://h/v1#f"},
        UrlCase{"EmptyResource", u"http://h/v1", u"", {{u"c", u"d"}}, u"http://h/v1?c=d"},
        UrlCase{"BaseHasQuery", u"http://h/v1?x=1", u"", {{u"c", u"d"}}, u"http://h/v1?x=1&c=d"}),
    [](const testing::TestParamInfo<UrlCase>& param) { return std::string(param.param.name); });

TEST(Parameters, LaterEntryReplacesSameNameInPlaceIgnoringCase) {
    const RESTParameterList client{{u"Endpoint", u"latest"}, {u"access_key", u"a"}};
    const RESTParameterList request{{u"ENDPOINT", u"x"}, {u"extra", u"y"}};
    EXPECT_EQ(CollectParameters(client, request),
              (RESTParameterList{{u"ENDPOINT", u"x"}, {u"access_key", u"a"}, {u"extra", u"y"}}));
    EXPECT_EQ(CollectParameters(client, {}), client);
}

TEST(Parameters, ClientSetParameterRemovesAnyCaseThenAppends) {
    RESTClient client;
    EXPECT_EQ(client.Params().size(), 2u);
    EXPECT_EQ(client.Params()[0], (RESTParameter{u"Endpoint", u"latest"}));
    client.SetParameter(u"ACCESS_KEY", u"k1");
    EXPECT_EQ(client.Params(),
              (RESTParameterList{{u"Endpoint", u"latest"}, {u"ACCESS_KEY", u"k1"}}));
    client.SetParameter(u"endpoint", u"e");
    EXPECT_EQ(client.Params(), (RESTParameterList{{u"ACCESS_KEY", u"k1"}, {u"endpoint", u"e"}}));
}

TEST(Request, ConfiguredUrlHasPlaceholderReplacedByKey) {
    RESTClient client;
    RESTResponse response;
    RESTRequest request(client, response);
    client.SetParameter(u"access_key", u"abc123");
    EXPECT_EQ(request.FullURL(), std::u16string(ThisPlatformAccess().scheme) +
                                     u"://api.exchangeratesapi.io/v1/latest?Endpoint=latest&"
                                     u"access_key=abc123");
    EXPECT_EQ(response.ContentType(), u"application/json");
    EXPECT_EQ(response.ContentEncoding(), u"UTF-8");
    EXPECT_EQ(response.JSONValue(), nullptr);
}

struct CharsetCase {
    const char* name;
    std::string contentType;
    std::string charset;
};

// Lists the case by its name.
void PrintTo(const CharsetCase& c, std::ostream* os) {
    *os << c.name;
}

class Charset : public testing::TestWithParam<CharsetCase> {};

TEST_P(Charset, FromContentType) {
    EXPECT_EQ(CharsetOf(GetParam().contentType), GetParam().charset);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, Charset,
    testing::Values(CharsetCase{"None", "application/json", ""}, CharsetCase{"Empty", "", ""},
                    CharsetCase{"Plain", "application/json; charset=utf-8", "utf-8"},
                    CharsetCase{"Quoted", "text/html;charset=\"ISO-8859-1\"", "ISO-8859-1"},
                    CharsetCase{"UpperCaseName", "text/plain; CHARSET = Shift_JIS", "Shift_JIS"},
                    CharsetCase{"AfterOtherParameter", "text/plain; q=1; charset=utf-16le",
                                "utf-16le"}),
    [](const testing::TestParamInfo<CharsetCase>& param) { return std::string(param.param.name); });

TEST(Decoding, CharsetNamedOrUtf8) {
    const std::string latin1("caf\xe9", 4);
    EXPECT_EQ(DecodeBody(latin1, "text/plain; charset=ISO-8859-1"), u"café");
    EXPECT_EQ(DecodeBody("caf\xc3\xa9", "application/json"), u"café");
    EXPECT_EQ(DecodeBody("caf\xc3\xa9", "application/json; charset=no-such-set"), u"café");
    EXPECT_EQ(DecodeBody(std::string("a\0b\0", 4), "text/plain; charset=utf-16le"), u"ab");
    EXPECT_EQ(DecodeBody("\xef\xbb\xbf{}", ""), u"{}");
    EXPECT_EQ(DecodeBody("a\xff", ""), u"a\uFFFD");
    // Neither the named set nor the fallback is known: UTF-8.
    EXPECT_EQ(DecodeBody("caf\xc3\xa9", "text/plain; charset=no-such-set", "nor-this"), u"café");
}

} // namespace
