// The View card, co-op and domestic dividend commands reached through the window's menu and
// buttons on the offscreen platform, with the real clipboard and a real settings file.
#include "app/form1.h"
#include "convert/primitives.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include "widget_app.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCommandLinkButton>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

QApplication& app() {
    return TestApp();
}

class ConverterCommand : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        stem_ = dir_.filePath("kasorel").toStdU16String();
        form_.Command().SetIniFileName(stem_);
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier content"));
    }
    void setMemo(const QStringList& lines) { form_.Memo()->setPlainText(lines.join(u'\n')); }
    QString memo() const { return memoText(*form_.Memo()); }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
    void trigger(const char* action) {
        auto* a = form_.findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    void click(const char* button) {
        auto* b = form_.findChild<QCommandLinkButton*>(QLatin1String(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }

    QApplication& app_ = app(); // before the window
    QTemporaryDir dir_;
    std::u16string stem_;
    TForm1 form_;
};

TEST_F(ConverterCommand, ViewCardRowsReplaceTextWithSuicaFromSettings) {
    WriteIniBoolean(stem_, ini::ViewSection, ini::SuicaKey, true);
    setMemo({"2024", "03/05xy\tStore A\tmemo", "any text", "1,980", "2024", "03/06xy\tB店\t", "-",
             "500"});
    trigger("actionViewCard");
    const QString rows = QStringLiteral("2024/03/05\tStore A\t\t\t1,980\tSuica\r\n"
                                        "2024/03/06\tB店\t\t\t500\tSuica\r\n");
    EXPECT_EQ(memo(), rows);
    EXPECT_EQ(clipboard(), rows);

    // A second run finds no year line in its own rows.
    trigger("actionViewCard");
    EXPECT_EQ(memo(), QString());
    EXPECT_EQ(clipboard(), QString());
}

TEST_F(ConverterCommand, CoopRewritesEntryLinesInPlaceWithHokenFromSettings) {
    setMemo(
        {"注文明細", "2024/05/01\t牛乳\t2\t420 円", "2024/05/08\tパン\t1\t180円", "合計\t600 円"});
    trigger("actionCoop");
    EXPECT_EQ(memo(), QStringLiteral("注文明細\r\n2024/05/01\t牛乳\t\t\t2\t420\r\n"
                                     "2024/05/08\tパン\t\t\t1\t180\r\n合計\t600 円"));
    EXPECT_EQ(clipboard(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\r\n"
                                          "2024/05/08\tパン\t\t\t1\t180\r\n"));

    WriteIniBoolean(stem_, ini::SeikyoSection, ini::HokenKey, true);
    setMemo({"2024/05/01\t牛乳\t2\t420 円"});
    trigger("actionCoop");
    EXPECT_EQ(memo(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\t保険"));
    EXPECT_EQ(clipboard(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\t保険\r\n"));
}

TEST_F(ConverterCommand, DomesticDividendRowsReplaceTextWithTodaysDate) {
    setMemo({"銘柄名abcdefgサンプル工業", "any text", "入金額abcdefg8,000円"});
    const QString before = qt(DateToStr(Now()));
    click("Button6");
    const QString after = qt(DateToStr(Now()));
    const QString tail = QStringLiteral("\t配当国内\tサンプル工業\t\t-8,000\r\n");
    // The command may run across midnight; either date is today's.
    EXPECT_TRUE(memo() == before + tail || memo() == after + tail) << memo().toStdString();
    EXPECT_EQ(clipboard(), memo());
}

} // namespace
