// "国外配当" and the hidden rate probe over scripted seams, against a real HTTP server on
// 127.0.0.1 and a real settings file in a temporary folder.
#include "commands/commands.h"
#include "convert/primitives.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "rates/query.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include "commands_files.h"
#include "commands_seams.h"
#include "rates_local_server.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::string kRatesAnswer = R"({"success":true,"rates":{"JPY":151.3,"USD":1}})";
const std::u16string kJsonLine = FromUtf8(kRatesAnswer);
const std::u16string kFailed(kRateQueryFailed);

const std::u16string kDividendStatement = u"銘柄名abcdefgSAMPLE INC\r\n"
                                          u"入金額abcdefg100.00 USD\r\n"
                                          u"銘柄名abcdefgEXAMPLE CORP\r\n"
                                          u"入金額abcdefg2.50 USD\r\n";

std::u16string workedRows() {
    const std::u16string date = DateToStr(Now());
    return date + u"\t配当米国\tSAMPLE INC\t\t-15130\t151.3\r\n" + date +
           u"\t配当米国\tEXAMPLE CORP\t\t-378\t151.3\r\n";
}

class RatesCommands : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitHttpTransport();
        ClearProxyEnvironment();
    }

    void SetUp() override {
        stem = dir.file(u"kasorel");
        sc.commands.SetIniFileName(stem);
        sc.commands.RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
        // What the server had seen, and whether an error box was up, as each wait began and
        // ended.
        sc.window.onBeginWait = [this] { seenAtBegin.push_back(server.Requests().size()); };
        sc.window.onEndWait = [this] {
            seenAtEnd.push_back(server.Requests().size());
            errorsAtEnd.push_back(sc.desktop.errors.size());
        };
    }

    void setKey(std::u16string_view key) {
        WriteIniString(stem, ini::ExchangeRatesApiSection, ini::ApiKeyKey, key);
    }
    void answer(int status, std::string body) {
        server.Answer([status, body](const auto&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "application/json");
        });
    }
    std::vector<std::string> targets() {
        std::vector<std::string> out;
        for (const Seen& s : server.Requests())
            out.push_back(s.target);
        return out;
    }
    // Each press waited once, around its one request, and the window takes input again.
    void expectOneWaitPerRequest(std::size_t presses, bool answered = true) {
        EXPECT_EQ(sc.window.waits, static_cast<int>(presses));
        EXPECT_FALSE(sc.window.waiting);
        ASSERT_EQ(seenAtBegin.size(), presses);
        ASSERT_EQ(seenAtEnd.size(), presses);
        for (std::size_t i = 0; i < presses; ++i) {
            EXPECT_EQ(seenAtBegin[i], i) << "press " << i;
            EXPECT_EQ(seenAtEnd[i], answered ? i + 1 : 0) << "press " << i;
            EXPECT_EQ(errorsAtEnd[i], 0u) << "an error box came up during the wait";
        }
    }

    LocalServer server;
    TempFolder dir;
    std::u16string stem;
    ScriptedCommands sc;
    std::vector<std::size_t> seenAtBegin, seenAtEnd, errorsAtEnd;
};

TEST_F(RatesCommands, ConvertsAtTheFetchedRateAfterTheJsonLine) {
    setKey(u"abc123");
    answer(200, kRatesAnswer);
    sc.setText(kDividendStatement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), kDividendStatement + kJsonLine + u"\r\n" + workedRows());
    EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{workedRows()});
    EXPECT_EQ(targets(), std::vector<std::string>{"/v1/latest?Endpoint=latest&access_key=abc123"});
    EXPECT_TRUE(sc.desktop.errors.empty());
    // The whole command is one edit of the text area.
    EXPECT_EQ(sc.textArea.edits, 1);
    expectOneWaitPerRequest(1);
}

TEST_F(RatesCommands, TextWithoutFinalBreakGetsRowsOnTheirOwnLine) {
    answer(200, kRatesAnswer);
    std::u16string statement = kDividendStatement;
    statement.resize(statement.size() - 2);
    sc.setText(statement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), statement + u"\r\n" + kJsonLine + u"\r\n" + workedRows());
    EXPECT_EQ(sc.clipboard.texts, std::vector<std::u16string>{workedRows()});
    expectOneWaitPerRequest(1);
}

TEST_F(RatesCommands, EachPressSendsOneRequestWithTheKeyThenStored) {
    answer(200, kRatesAnswer);
    sc.setText(u"");
    sc.commands.Button7Click(); // no settings file yet: the empty key
    setKey(u"first key");
    sc.commands.Button7Click();
    setKey(u"second~key");
    sc.commands.Button7Click();
    EXPECT_EQ(targets(),
              (std::vector<std::string>{"/v1/latest?Endpoint=latest&access_key=",
                                        "/v1/latest?Endpoint=latest&access_key=first+key",
                                        "/v1/latest?Endpoint=latest&access_key=second%7Ekey"}));
    EXPECT_EQ(sc.text(), kJsonLine + u"\r\n" + kJsonLine + u"\r\n" + kJsonLine + u"\r\n");
    EXPECT_EQ(sc.clipboard.texts, (std::vector<std::u16string>{u"", u"", u""}));
    expectOneWaitPerRequest(3);
}

TEST_F(RatesCommands, RejectedKeyLeavesJsonAndFailureLinesAndTheClipboard) {
    const std::string rejected = R"({"success":false,"error":{"code":101}})";
    answer(401, rejected);
    sc.setText(kDividendStatement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), kDividendStatement + FromUtf8(rejected) + u"\r\n" + kFailed + u"\r\n");
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_TRUE(sc.desktop.errors.empty());
    expectOneWaitPerRequest(1);
}

TEST_F(RatesCommands, AnHtmlPageLeavesOnlyTheFailureLine) {
    server.Answer([](const auto&, httplib::Response& res) {
        res.status = 200;
        res.set_content("<html><body>maintenance</body></html>", "text/html");
    });
    sc.setText(kDividendStatement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), kDividendStatement + kFailed + u"\r\n");
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_TRUE(sc.desktop.errors.empty());
    expectOneWaitPerRequest(1);
}

TEST_F(RatesCommands, UnreachableServiceLeavesOnlyTheFailureLine) {
    int port;
    {
        LocalServer closed;
        port = closed.Port();
    }
    sc.commands.RestClient().SetBaseURL(
        FromUtf8("http://127.0.0.1:" + std::to_string(port) + "/v1"));
    sc.setText(kDividendStatement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), kDividendStatement + kFailed + u"\r\n");
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_TRUE(sc.desktop.errors.empty());
    expectOneWaitPerRequest(1, false);
}

// The wait is over before the error box comes up, and the JSON line stays.
TEST_F(RatesCommands, UnreadableAmountShowsTheErrorAndKeepsTheJsonLine) {
    answer(200, kRatesAnswer);
    const std::u16string statement = u"銘柄名abcdefgA\r\n入金額abcdefg USD\r\n";
    sc.setText(statement);
    sc.commands.Button7Click();
    EXPECT_EQ(sc.text(), statement + kJsonLine + u"\r\n");
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_EQ(sc.desktop.errorTexts(),
              std::vector<std::u16string>{u"'' は浮動小数点数ではありません."});
    expectOneWaitPerRequest(1);
}

struct ProbeCase {
    const char* name;
    std::u16string text;
    std::u16string added;
    std::u16string error;
};

void PrintTo(const ProbeCase& c, std::ostream* os) {
    *os << c.name;
}

class Probe : public RatesCommands, public testing::WithParamInterface<ProbeCase> {};

TEST_P(Probe, AppendsBothLinesOrShowsTheError) {
    const ProbeCase& c = GetParam();
    sc.setText(c.text);
    sc.commands.Button2Click();
    EXPECT_EQ(sc.text(), c.text + c.added);
    EXPECT_EQ(sc.desktop.errorTexts(), c.error.empty() ? std::vector<std::u16string>()
                                                       : std::vector<std::u16string>{c.error});
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_TRUE(server.Requests().empty());
    // The probe asks nobody, so it never waits.
    EXPECT_EQ(sc.window.waits, 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, Probe,
                         testing::Values(ProbeCase{"Rates",
                                                   uR"({"rates":{"AUD":1.6,"JPY":302.6,"USD":2}})",
                                                   u"\r\nAUD\r\n151.3", u""},
                                         ProbeCase{"NoUsd", uR"({"rates":{"JPY":163.9}})", u"",
                                                   u"値 'USD' が見つかりません."},
                                         ProbeCase{"NotJson", u"銘柄名abcdefgA", u"",
                                                   u"JSON オブジェクトではありません."}),
                         ByCaseName());

} // namespace
