// "国外配当" and the hidden rate probe on the real window (offscreen), against a real HTTP
// server on 127.0.0.1 and a real settings file in a temporary folder.
#include "app/form1.h"
#include "convert/primitives.h"
#include "rates/query.h"
#include "rates/transport.h"
#include "settings/inifile.h"

#include "rates_local_server.h"
#include "recording_clipboard.h"

#include "widget_app.h"

#include <QApplication>
#include <QCommandLinkButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

QApplication& app() {
    return TestApp();
}

const std::string kAnswer = R"({"success":true,"rates":{"JPY":151.3,"USD":1}})";
const QString kJsonLine = QString::fromStdString(kAnswer);

const QString kStatement = QStringLiteral("銘柄名abcdefgSAMPLE INC\r\n"
                                          "入金額abcdefg100.00 USD\r\n"
                                          "銘柄名abcdefgEXAMPLE CORP\r\n"
                                          "入金額abcdefg2.50 USD\r\n");

QString workedRows() {
    const QString date = DateToStr(Now());
    return date + QStringLiteral("\t配当米国\tSAMPLE INC\t\t-15130\t151.3\r\n") + date +
           QStringLiteral("\t配当米国\tEXAMPLE CORP\t\t-378\t151.3\r\n");
}

class RatesWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitHttpTransport();
        ClearProxyEnvironment();
    }

    void SetUp() override {
        app();
        ASSERT_TRUE(dir.isValid());
        form = ScriptedWindow(desktop);
        auto recording = std::make_unique<RecordingClipboard>();
        clipboard = recording.get();
        form->SetClipboard(std::move(recording));
        stem = dir.filePath("kasorel");
        form->SetIniFileName(stem);
        form->RestClient().SetBaseURL(QString::fromStdString(server.Base()) + "/v1");
        memo = form->Memo();
    }

    void setKey(const QString& key) { WriteIniString(stem, "exchangeratesapi", "APIKey", key); }
    void answer(int status, std::string body) {
        server.Answer([status, body](const auto&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "application/json");
        });
    }
    QString text() const { return memoText(*memo); }
    void setText(const QString& t) {
        memo->setPlainText(t);
        memo->moveCursor(QTextCursor::End);
    }
    void press7() { form->findChild<QCommandLinkButton*>("Button7")->click(); }
    std::vector<std::string> targets() {
        std::vector<std::string> out;
        for (const Seen& s : server.Requests())
            out.push_back(s.target);
        return out;
    }

    LocalServer server;
    QTemporaryDir dir;
    QString stem;
    std::unique_ptr<TForm1> form;
    QPlainTextEdit* memo = nullptr;
    RecordingClipboard* clipboard = nullptr;
    ScriptedDesktop* desktop = nullptr;
};

TEST_F(RatesWindow, ConvertsAtTheFetchedRateAfterTheJsonLine) {
    setKey("abc123");
    answer(200, kAnswer);
    setText(kStatement);
    press7();
    EXPECT_EQ(text(), kStatement + kJsonLine + "\r\n" + workedRows());
    EXPECT_EQ(clipboard->texts, QStringList{workedRows()});
    EXPECT_EQ(targets(), std::vector<std::string>{"/v1/latest?Endpoint=latest&access_key=abc123"});
    EXPECT_TRUE(desktop->errors.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RatesWindow, TextWithoutFinalBreakGetsRowsOnTheirOwnLine) {
    answer(200, kAnswer);
    QString statement = kStatement;
    statement.chop(2);
    setText(statement);
    press7();
    EXPECT_EQ(text(), statement + "\r\n" + kJsonLine + "\r\n" + workedRows());
    EXPECT_EQ(clipboard->texts, QStringList{workedRows()});
}

TEST_F(RatesWindow, EachPressSendsOneRequestWithTheKeyThenStored) {
    answer(200, kAnswer);
    setText(QString());
    press7(); // no settings file yet: the empty key
    setKey("first key");
    press7();
    setKey("second~key");
    press7();
    EXPECT_EQ(targets(),
              (std::vector<std::string>{"/v1/latest?Endpoint=latest&access_key=",
                                        "/v1/latest?Endpoint=latest&access_key=first+key",
                                        "/v1/latest?Endpoint=latest&access_key=second%7Ekey"}));
    EXPECT_EQ(text(), kJsonLine + "\r\n" + kJsonLine + "\r\n" + kJsonLine + "\r\n");
    EXPECT_EQ(clipboard->texts, (QStringList{"", "", ""}));
}

TEST_F(RatesWindow, RejectedKeyLeavesJsonAndFailureLinesAndTheClipboard) {
    const std::string rejected = R"({"success":false,"error":{"code":101}})";
    answer(401, rejected);
    setText(kStatement);
    press7();
    EXPECT_EQ(text(),
              kStatement + QString::fromStdString(rejected) + "\r\n" + kRateQueryFailed + "\r\n");
    EXPECT_TRUE(clipboard->texts.isEmpty());
    EXPECT_TRUE(desktop->errors.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RatesWindow, UnreachableServiceLeavesOnlyTheFailureLine) {
    int port;
    {
        LocalServer closed;
        port = closed.Port();
    }
    form->RestClient().SetBaseURL(QString("http://127.0.0.1:%1/v1").arg(port));
    setText(kStatement);
    press7();
    EXPECT_EQ(text(), kStatement + kRateQueryFailed + "\r\n");
    EXPECT_TRUE(clipboard->texts.isEmpty());
    EXPECT_TRUE(desktop->errors.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RatesWindow, UnreadableAmountShowsTheErrorAndKeepsTheJsonLine) {
    answer(200, kAnswer);
    const QString statement = QStringLiteral("銘柄名abcdefgA\r\n入金額abcdefg USD\r\n");
    setText(statement);
    press7();
    EXPECT_EQ(text(), statement + kJsonLine + "\r\n");
    EXPECT_TRUE(clipboard->texts.isEmpty());
    EXPECT_EQ(desktop->errorTexts(), QStringList{"'' は浮動小数点数ではありません."});
}

struct ProbeCase {
    const char* name;
    QString text;
    QString added;
    QString error;
};

class Probe : public RatesWindow, public testing::WithParamInterface<ProbeCase> {};

TEST_P(Probe, AppendsBothLinesOrShowsTheError) {
    const ProbeCase& c = GetParam();
    setText(c.text);
    form->Button2Click();
    EXPECT_EQ(text(), c.text + c.added);
    EXPECT_EQ(desktop->errorTexts(), c.error.isEmpty() ? QStringList() : QStringList{c.error});
    EXPECT_TRUE(clipboard->texts.isEmpty());
    EXPECT_TRUE(server.Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Probe,
    testing::Values(
        ProbeCase{"Rates", R"({"rates":{"AUD":1.6,"JPY":302.6,"USD":2}})", "\r\nAUD\r\n151.3", ""},
        ProbeCase{"NoUsd", R"({"rates":{"JPY":163.9}})", "", "値 'USD' が見つかりません."},
        ProbeCase{"NotJson", "銘柄名abcdefgA", "", "JSON オブジェクトではありません."}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
