#include "rates/rest.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct EncodeCase {
    const char* name;
    QString in;
    QString asName;
    QString asValue;
};

class Encoding : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encoding, NamesAndValues) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(EncodeParameterName(c.in), c.asName);
    EXPECT_EQ(EncodeParameterValue(c.in), c.asValue);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Encoding,
    testing::Values(
        EncodeCase{"Empty", "", "", ""},
        EncodeCase{"IssuedKey", "a1B2c3D4e5", "a1B2c3D4e5", "a1B2c3D4e5"},
        EncodeCase{"Space", "ab cd", "ab%20cd", "ab+cd"},
        EncodeCase{"Tilde", "a~b", "a%7Eb", "a%7Eb"}, EncodeCase{"Star", "a*b", "a%2Ab", "a*b"},
        EncodeCase{"KeptByBoth", "-._", "-._", "-._"}, EncodeCase{"Plus", "a+b", "a%2Bb", "a%2Bb"},
        EncodeCase{"PercentNotReencoded", "%20", "%2520", "%2520"},
        EncodeCase{"Reserved", "&=?/#", "%26%3D%3F%2F%23", "%26%3D%3F%2F%23"},
        EncodeCase{"OtherPrintable", "!\"'(),:;<>@[\\]^`{|}$",
                   "%21%22%27%28%29%2C%3A%3B%3C%3E%40%5B%5C%5D%5E%60%7B%7C%7D%24",
                   "%21%22%27%28%29%2C%3A%3B%3C%3E%40%5B%5C%5D%5E%60%7B%7C%7D%24"},
        EncodeCase{"ControlAndDelete", QString::fromLatin1("\t\x7f"), "%09%7F", "%09%7F"},
        EncodeCase{"NonAsciiAsUtf8Bytes", "キー", "%E3%82%AD%E3%83%BC", "%E3%82%AD%E3%83%BC"},
        EncodeCase{"PairAsFourBytes", "𠮷", "%F0%A0%AE%B7", "%F0%A0%AE%B7"}),
    [](const testing::TestParamInfo<EncodeCase>& param) { return std::string(param.param.name); });

struct UrlCase {
    const char* name;
    QString base;
    QString resource;
    RESTParameterList params;
    QString url;
};

class Composition : public testing::TestWithParam<UrlCase> {};

TEST_P(Composition, Url) {
    const UrlCase& c = GetParam();
    EXPECT_EQ(ComposeUrl(c.base, c.resource, c.params), c.url);
}

const RESTParameterList kQuery{{"Endpoint", "latest"}, {"access_key", "K 1~"}};

INSTANTIATE_TEST_SUITE_P(
    Parts, Composition,
    testing::Values(
        UrlCase{"Configured", "http://h/v1", "latest", kQuery,
                "http://h/v1/latest?Endpoint=latest&access_key=K+1%7E"},
        UrlCase{"EmptyKey",
                "http://h/v1",
                "latest",
                {{"Endpoint", "latest"}, {"access_key", ""}},
                "http://h/v1/latest?Endpoint=latest&access_key="},
        UrlCase{"BaseEndsInSlash", "http://h/v1/", "latest", {}, "http://h/v1/latest"},
        UrlCase{"ResourceStartsWithSlash", "http://h/v1", "/latest", {}, "http://h/v1/latest"},
        UrlCase{
            "ResourceStartsWithQuery", "http://h/v1", "?a=b", {{"c", "d"}}, "http://h/v1?a=b&c=d"},
        UrlCase{"ResourceStartsWithFragment", "http://h/v1", "#f", {}, "http://h/v1#f"},
        UrlCase{"EmptyResource", "http://h/v1", "", {{"c", "d"}}, "http://h/v1?c=d"},
        UrlCase{"BaseHasQuery", "http://h/v1?x=1", "", {{"c", "d"}}, "http://h/v1?x=1&c=d"}),
    [](const testing::TestParamInfo<UrlCase>& param) { return std::string(param.param.name); });

TEST(Parameters, LaterEntryReplacesSameNameInPlaceIgnoringCase) {
    const RESTParameterList client{{"Endpoint", "latest"}, {"access_key", "a"}};
    const RESTParameterList request{{"ENDPOINT", "x"}, {"extra", "y"}};
    EXPECT_EQ(CollectParameters(client, request),
              (RESTParameterList{{"ENDPOINT", "x"}, {"access_key", "a"}, {"extra", "y"}}));
    EXPECT_EQ(CollectParameters(client, {}), client);
}

TEST(Parameters, ClientSetParameterRemovesAnyCaseThenAppends) {
    RESTClient client;
    EXPECT_EQ(client.Params().size(), 2);
    EXPECT_EQ(client.Params()[0], (RESTParameter{"Endpoint", "latest"}));
    client.SetParameter("ACCESS_KEY", "k1");
    EXPECT_EQ(client.Params(), (RESTParameterList{{"Endpoint", "latest"}, {"ACCESS_KEY", "k1"}}));
    client.SetParameter("endpoint", "e");
    EXPECT_EQ(client.Params(), (RESTParameterList{{"ACCESS_KEY", "k1"}, {"endpoint", "e"}}));
}

TEST(Request, ConfiguredUrlHasPlaceholderReplacedByKey) {
    RESTClient client;
    RESTResponse response;
    RESTRequest request(client, response);
    client.SetParameter("access_key", "abc123");
    EXPECT_EQ(request.FullURL(),
              "http://api.exchangeratesapi.io/v1/latest?Endpoint=latest&access_key=abc123");
    EXPECT_EQ(response.ContentType(), "application/json");
    EXPECT_EQ(response.ContentEncoding(), "UTF-8");
    EXPECT_EQ(response.JSONValue(), nullptr);
}

struct CharsetCase {
    const char* name;
    QByteArray contentType;
    QByteArray charset;
};

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
    const QByteArray latin1("caf\xe9", 4);
    EXPECT_EQ(DecodeBody(latin1, "text/plain; charset=ISO-8859-1"), QStringLiteral("café"));
    EXPECT_EQ(DecodeBody("caf\xc3\xa9", "application/json"), QStringLiteral("café"));
    EXPECT_EQ(DecodeBody("caf\xc3\xa9", "application/json; charset=no-such-set"),
              QStringLiteral("café"));
    EXPECT_EQ(DecodeBody(QByteArray("a\0b\0", 4), "text/plain; charset=utf-16le"),
              QStringLiteral("ab"));
    EXPECT_EQ(DecodeBody("\xef\xbb\xbf{}", ""), QStringLiteral("{}"));
    EXPECT_EQ(DecodeBody("a\xff", ""), QStringLiteral("a\uFFFD"));
}

} // namespace
