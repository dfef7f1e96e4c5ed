// "国外配当" and the hidden rate probe reached through the real window (offscreen), against a
// real HTTP server on 127.0.0.1, with the real clipboard and a real settings file. The wait
// the window shows and the controls it takes away come back on every way out; what the
// commands do with the answer is the commands suites' to check.
#include "app/form1.h"
#include "convert/primitives.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "rates/query.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include "rates_local_server.h"

#include "widget_app.h"

#include <QApplication>
#include <QClipboard>
#include <QCommandLinkButton>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::string kRatesAnswer = R"({"success":true,"rates":{"JPY":151.3,"USD":1}})";
const QString kJsonLine = QString::fromStdString(kRatesAnswer);

const QString kDividendStatement = QStringLiteral("銘柄名abcdefgSAMPLE INC\r\n"
                                                  "入金額abcdefg100.00 USD\r\n"
                                                  "銘柄名abcdefgEXAMPLE CORP\r\n"
                                                  "入金額abcdefg2.50 USD\r\n");

QString workedRows() {
    const QString date = qt(DateToStr(Now()));
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
        TestApp();
        ASSERT_TRUE(dir.isValid());
        form = ScriptedForm(desktop);
        stem = dir.filePath("kasorel").toStdU16String();
        form->Command().SetIniFileName(stem);
        form->Command().RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
        memo = form->Memo();
        QGuiApplication::clipboard()->setText(u"earlier"_qs);
    }

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
    void click(const char* name) { form->findChild<QCommandLinkButton*>(name)->click(); }
    // The wait is over: no busy cursor, and every control takes input again.
    void expectTheWindowBack() {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(form->centralWidget()->isEnabled());
        EXPECT_TRUE(form->menuBar()->isEnabled());
    }

    LocalServer server;
    QTemporaryDir dir;
    std::u16string stem;
    std::unique_ptr<TForm1> form;
    QPlainTextEdit* memo = nullptr;
    ScriptedDesktop* desktop = nullptr;
};

TEST_F(RatesWindow, ConvertsAtTheFetchedRateAfterTheJsonLine) {
    WriteIniString(stem, ini::ExchangeRatesApiSection, ini::ApiKeyKey, u"abc123");
    answer(200, kRatesAnswer);
    setText(kDividendStatement);
    click("Button7");
    EXPECT_EQ(text(), kDividendStatement + kJsonLine + "\r\n" + workedRows());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), workedRows());
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests().front().target, "/v1/latest?Endpoint=latest&access_key=abc123");
    EXPECT_TRUE(desktop->errors.empty());
    expectTheWindowBack();
}

TEST_F(RatesWindow, UnreachableServiceLeavesOnlyTheFailureLine) {
    int port;
    {
        LocalServer closed;
        port = closed.Port();
    }
    form->Command().RestClient().SetBaseURL(
        FromUtf8("http://127.0.0.1:" + std::to_string(port) + "/v1"));
    setText(kDividendStatement);
    click("Button7");
    EXPECT_EQ(text(), kDividendStatement + qt(kRateQueryFailed) + "\r\n");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"earlier"_qs);
    EXPECT_TRUE(desktop->errors.empty());
    expectTheWindowBack();
}

// An error box after the answer: the window is back before it comes up.
TEST_F(RatesWindow, UnreadableAmountShowsTheErrorWithTheWindowBack) {
    answer(200, kRatesAnswer);
    const QString statement = QStringLiteral("銘柄名abcdefgA\r\n入金額abcdefg USD\r\n");
    setText(statement);
    click("Button7");
    EXPECT_EQ(text(), statement + kJsonLine + "\r\n");
    EXPECT_EQ(desktop->errorTexts(),
              std::vector<std::u16string>{u"'' は浮動小数点数ではありません."});
    expectTheWindowBack();
}

// The hidden probe's control is never shown, but its command is connected.
TEST_F(RatesWindow, TheHiddenProbeButtonRunsTheProbe) {
    const QString answer = QStringLiteral(R"({"rates":{"AUD":1.6,"JPY":302.6,"USD":2}})");
    setText(answer);
    auto* probe = form->findChild<QCommandLinkButton*>("Button2");
    ASSERT_NE(probe, nullptr);
    EXPECT_FALSE(probe->isVisibleTo(form.get()));
    probe->click();
    EXPECT_EQ(text(), answer + "\r\nAUD\r\n151.3");
    EXPECT_TRUE(server.Requests().empty());
}

} // namespace
