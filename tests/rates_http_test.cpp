// The query against a real HTTP server on 127.0.0.1: what goes on the wire and how each kind
// of answer ends up in the text area.
#include "rates/query.h"
#include "rates/rest.h"

#include "convert/unicode.h"
#include "rates_local_server.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>
#include <cstdlib>

using namespace kasorel;

namespace {

constexpr const char* kRates =
    R"({"success":true,"base":"EUR","rates":{"JPY":163.9,"USD":1.0832}})";
const std::u16string kRates16 = FromUtf8(kRates);

class Query : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitHttpTransport();
        ClearProxyEnvironment();
    }

    void SetUp() override {
        ASSERT_GT(server.Port(), 0);
        client.SetBaseURL(FromUtf8(server.Base() + "/v1"));
        client.SetParameter(u"access_key", u"KEY");
    }

    // Runs the query on a text area holding text; returns the rate, leaves the text in memo.
    std::optional<double> Run(std::u16string_view text = {}) {
        memo.SetText(text);
        return QueryExchangeRate(request, memo);
    }

    // The server sends the first bytes of a good answer, then nothing more.
    void AnswerStallingMidBody() {
        server.Answer([this](const auto&, httplib::Response& res) {
            res.set_content_provider(std::strlen(kRates), "application/json",
                                     [this](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset == 0)
                                             return sink.write(kRates, 10);
                                         server.Hang();
                                         return false;
                                     });
        });
    }

    HeaderMap Expected() const {
        return {{"Accept", "application/json, text/plain; q=0.9, text/html;q=0.8,"},
                {"Accept-Charset", "utf-8, *;q=0.8"},
                {"Host", "127.0.0.1:" + std::to_string(server.Port())},
                {"User-Agent", "Kasorel/1.0"}};
    }

    LocalServer server;
    RESTClient client;
    RESTResponse response;
    RESTRequest request{client, response};
    TextArea memo;
};

const std::u16string kFailed(kRateQueryFailed);
const std::string kFailedUtf8 = ToUtf8(kRateQueryFailed);

TEST_F(Query, SendsExactlyTheConfiguredGet) {
    server.Answer([](const auto&, auto& res) { res.set_content(kRates, "application/json"); });
    const std::optional<double> rate = Run();
    ASSERT_TRUE(rate.has_value());
    EXPECT_EQ(*rate, 163.9 / 1.0832);
    EXPECT_EQ(memo.Text(), kRates16 + u"\r\n");
    const std::vector<Seen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].target, "/v1/latest?Endpoint=latest&access_key=KEY");
    EXPECT_EQ(seen[0].headers, Expected());
    EXPECT_EQ(response.StatusCode(), 200);
}

struct KeyCase {
    const char* name;
    std::u16string key;
    std::string sent;
};

// Lists the case by its name.
void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class Keys : public Query, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, AreEncodedInTheQueryString) {
    server.Answer([](const auto&, auto& res) { res.set_content(kRates, "application/json"); });
    client.SetParameter(u"access_key", GetParam().key);
    Run();
    const std::vector<Seen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].target, "/v1/latest?Endpoint=latest&access_key=" + GetParam().sent);
}

INSTANTIATE_TEST_SUITE_P(Texts, Keys,
                         testing::Values(KeyCase{"Empty", u"", ""},
                                         KeyCase{"Space", u"ab cd", "ab+cd"},
                                         KeyCase{"Tilde", u"ab~cd", "ab%7Ecd"},
                                         KeyCase{"PlusAndPercent", u"a+b%20", "a%2Bb%2520"},
                                         KeyCase{"NonAscii", u"鍵", "%E9%8D%B5"}),
                         [](const auto& param) { return std::string(param.param.name); });

struct AnswerCase {
    const char* name;
    int status;
    std::string contentType; // empty: no Content-Type header
    std::string body;
    std::vector<std::string> lines; // what the query leaves in an empty text area, UTF-8
    std::optional<double> rate;
};

// Lists the case by its name.
void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class Answers : public Query, public testing::WithParamInterface<AnswerCase> {};

TEST_P(Answers, EndInTheTextArea) {
    const AnswerCase& c = GetParam();
    server.Answer([&c](const auto&, httplib::Response& res) {
        res.status = c.status;
        res.body = c.body;
        if (!c.contentType.empty())
            res.set_header("Content-Type", c.contentType);
    });
    EXPECT_EQ(Run(), c.rate);
    std::u16string expected;
    for (const std::string& line : c.lines)
        expected += FromUtf8(line) + u"\r\n";
    EXPECT_EQ(memo.Text(), expected);
    EXPECT_EQ(server.Requests().size(), 1u);
}

const std::string kRejected =
    R"({"success":false,"error":{"code":101,"type":"invalid_access_key"}})";

INSTANTIATE_TEST_SUITE_P(
    Statuses, Answers,
    testing::Values(
        AnswerCase{"Ok", 200, "application/json", kRates, {kRates}, 163.9 / 1.0832},
        AnswerCase{
            "Unauthorized", 401, "application/json", kRejected, {kRejected, kFailedUtf8}, {}},
        AnswerCase{"NotFound", 404, "application/json", kRejected, {kRejected, kFailedUtf8}, {}},
        AnswerCase{"ClientErrorWithRatesIsAnAnswer",
                   404,
                   "application/json",
                   kRates,
                   {kRates},
                   163.9 / 1.0832},
        AnswerCase{"RedirectNotFollowedIsAnAnswer",
                   302,
                   "application/json",
                   kRates,
                   {kRates},
                   163.9 / 1.0832},
        AnswerCase{"ServerError", 500, "application/json", kRates, {kFailedUtf8}, {}},
        AnswerCase{"Unavailable", 503, "text/html", "<html>busy</html>", {kFailedUtf8}, {}},
        AnswerCase{
            "HtmlPage", 200, "text/html", "<html><body>Not here</body></html>", {kFailedUtf8}, {}},
        AnswerCase{"EmptyBody", 200, "application/json", "", {kFailedUtf8}, {}},
        AnswerCase{"NoContentType", 200, "", kRates, {kRates}, 163.9 / 1.0832},
        AnswerCase{"NoUsd",
                   200,
                   "application/json",
                   R"({"rates":{"JPY":151}})",
                   {R"({"rates":{"JPY":151}})", kFailedUtf8},
                   {}},
        AnswerCase{"UsdZero",
                   200,
                   "application/json",
                   R"({"rates":{"JPY":151,"USD":0}})",
                   {R"({"rates":{"JPY":151,"USD":0}})", kFailedUtf8},
                   {}},
        AnswerCase{"RatesNotObject",
                   200,
                   "application/json",
                   R"({"rates":null})",
                   {R"({"rates":null})", kFailedUtf8},
                   {}},
        AnswerCase{"NotAnObject", 200, "application/json", "[1,2]", {"[1,2]", kFailedUtf8}, {}},
        AnswerCase{"DuplicatedRatesFirstWins",
                   200,
                   "application/json",
                   R"({"rates":{"JPY":150,"USD":1},"rates":{"JPY":1,"USD":1}})",
                   {R"({"rates":{"JPY":150,"USD":1},"rates":{"JPY":1,"USD":1}})"},
                   150},
        AnswerCase{"NumbersKeptAsSent",
                   200,
                   "application/json",
                   "{ \"rates\" : { \"JPY\" : 1E+2 , \"USD\" : 1.10 } }",
                   {R"({"rates":{"JPY":1E+2,"USD":1.10}})"},
                   100 / 1.10},
        AnswerCase{"Latin1",
                   200,
                   "application/json; charset=ISO-8859-1",
                   "{\"base\":\"caf\xe9\",\"rates\":{\"JPY\":2,\"USD\":1}}",
                   {R"({"base":"café","rates":{"JPY":2,"USD":1}})"},
                   2},
        AnswerCase{"UnknownCharsetIsUtf8",
                   200,
                   "application/json; charset=x-nothing",
                   "{\"base\":\"caf\xc3\xa9\",\"rates\":{\"JPY\":2,\"USD\":1}}",
                   {R"({"base":"café","rates":{"JPY":2,"USD":1}})"},
                   2},
        AnswerCase{"DeepNesting",
                   200,
                   "application/json",
                   std::string(600, '[') + std::string(600, ']'),
                   {kFailedUtf8},
                   {}},
        AnswerCase{"LoneLowSurrogate",
                   200,
                   "application/json",
                   R"({"a":"\udc00","rates":{"JPY":2,"USD":1}})",
                   {kFailedUtf8},
                   {}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(Query, FailureLineFollowsExistingText) {
    server.Answer([](const auto&, auto& res) { res.status = 500; });
    EXPECT_FALSE(Run(u"line").has_value());
    EXPECT_EQ(memo.Text(), u"line\r\n" + kFailed);
}

TEST_F(Query, FollowsRedirectWithItsCookieAndSameHeaders) {
    server.Answer([](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/v1/latest") {
            res.set_header("Set-Cookie", "session=abc; Path=/");
            res.set_redirect("/moved?x=1", 302);
            return;
        }
        res.set_content(kRates, "application/json");
    });
    EXPECT_TRUE(Run().has_value());
    EXPECT_EQ(memo.Text(), kRates16 + u"\r\n");
    const std::vector<Seen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].target, "/moved?x=1");
    HeaderMap withCookie = Expected();
    withCookie.emplace("Cookie", "session=abc");
    EXPECT_EQ(seen[1].headers, withCookie);
}

TEST_F(Query, RedirectLoopStopsAfterTenRedirects) {
    server.Answer([](const auto&, auto& res) { res.set_redirect("/v1/latest?again", 302); });
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
    EXPECT_EQ(server.Requests().size(), 11u);
}

class Schemes : public Query, public testing::WithParamInterface<const char*> {};

TEST_P(Schemes, RedirectOutOfHttpIsRefused) {
    const std::string target = GetParam();
    server.Answer([target](const auto&, auto& res) { res.set_redirect(target, 302); });
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
    EXPECT_EQ(server.Requests().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Targets, Schemes,
                         testing::Values("file:///etc/passwd", "ftp://127.0.0.1/rates",
                                         "gopher://127.0.0.1/", "dict://127.0.0.1/x"),
                         [](const auto& param) {
                             const std::string target = param.param;
                             return target.substr(0, target.find(':'));
                         });

TEST_F(Query, CookieFromOneAnswerGoesWithTheNextRequest) {
    server.Answer([](const auto&, auto& res) {
        res.set_header("Set-Cookie", "visit=1; Path=/");
        res.set_content(kRates, "application/json");
    });
    Run();
    client.SetParameter(u"access_key", u"OTHER");
    Run();
    const std::vector<Seen> seen = server.Requests();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].headers.count("Cookie"), 0u);
    EXPECT_EQ(seen[1].target, "/v1/latest?Endpoint=latest&access_key=OTHER");
    EXPECT_EQ(seen[1].headers.at("Cookie"), "visit=1");
}

TEST_F(Query, BodyAtTheCapIsAccepted) {
    std::string body = R"({"rates":{"JPY":2,"USD":1},"pad":")";
    body += std::string(kMaxBodyBytes - body.size() - 2, 'x') + "\"}";
    ASSERT_EQ(body.size(), kMaxBodyBytes);
    server.Answer([&body](const auto&, auto& res) { res.set_content(body, "application/json"); });
    EXPECT_EQ(Run(), 2);
    EXPECT_EQ(memo.Text(), FromUtf8(body) + u"\r\n");
}

TEST_F(Query, BodyOverTheCapWithContentLengthIsRefused) {
    const std::string body(kMaxBodyBytes + 1, ' ');
    server.Answer([&body](const auto&, auto& res) { res.set_content(body, "application/json"); });
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
}

TEST_F(Query, ChunkedBodyOverTheCapIsRefused) {
    // Valid JSON all the way, so only the size can make the query fail.
    server.Answer([](const auto&, httplib::Response& res) {
        res.set_chunked_content_provider("application/json",
                                         [](size_t offset, httplib::DataSink& sink) {
                                             if (offset == 0)
                                                 return sink.write("[", 1);
                                             if (offset > kMaxBodyBytes) {
                                                 sink.write("0]", 2);
                                                 sink.done();
                                                 return true;
                                             }
                                             static const std::string chunk = [] {
                                                 std::string s;
                                                 while (s.size() < 65536)
                                                     s += "0,";
                                                 return s;
                                             }();
                                             return sink.write(chunk.data(), chunk.size());
                                         });
    });
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
}

TEST_F(Query, RefusedPortIsAFailure) {
    int port;
    {
        LocalServer closed;
        port = closed.Port();
    }
    client.SetBaseURL(FromUtf8("http://127.0.0.1:" + std::to_string(port) + "/v1"));
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
}

TEST_F(Query, ServerThatNeverAnswersTimesOut) {
    client.SetReadTimeout(1000);
    server.Answer([this](const auto&, auto& res) {
        server.Hang();
        res.set_content(kRates, "application/json");
    });
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
}

TEST_F(Query, ServerThatStallsMidBodyTimesOut) {
    client.SetReadTimeout(1000);
    AnswerStallingMidBody();
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
}

TEST_F(Query, StallOnAReusedConnectionTimesOut) {
    client.SetReadTimeout(1000);
    std::atomic<int> calls = 0;
    server.Answer([this, &calls](const auto&, auto& res) {
        if (calls++ == 0)
            res.set_content(kRates, "application/json");
        else {
            // Should the client still be waiting when this ends, it gets a good answer and
            // the test fails.
            server.Hang();
            res.set_content(kRates, "application/json");
        }
    });
    EXPECT_TRUE(Run().has_value());
    EXPECT_FALSE(Run().has_value());
    EXPECT_EQ(memo.Text(), kFailed + u"\r\n");
    EXPECT_EQ(calls, 2);
}

TEST_F(Query, StallMidBodyIsTheReasonGiven) {
    client.SetReadTimeout(1000);
    AnswerStallingMidBody();
    try {
        request.Execute();
        FAIL() << "no error";
    } catch (const ERESTException& e) {
        EXPECT_EQ(e.message(), u"REST request failed: no data received for 1000 ms");
    }
}

TEST_F(Query, TransportFailureNamesTheReason) {
    client.SetBaseURL(u"http://127.0.0.1:1/v1");
    try {
        request.Execute();
        FAIL() << "no error";
    } catch (const ERESTException& e) {
        const std::u16string_view lead = u"REST request failed: ";
        EXPECT_TRUE(e.message().starts_with(lead)) << e.what();
        EXPECT_GT(e.message().size(), lead.size());
    }
}

} // namespace
