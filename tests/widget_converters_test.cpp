// The View card, co-op and domestic dividend commands through the real window on the
// offscreen platform, with the real clipboard and a real settings file.
#include "app/form1.h"
#include "convert/primitives.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include "widget_app.h"

#include <QApplication>
#include <QClipboard>
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
        stem_ = dir_.filePath("kasorel");
        form_.SetIniFileName(stem_);
        QGuiApplication::clipboard()->setText(QStringLiteral("earlier content"));
    }
    void setMemo(const QStringList& lines) { form_.Memo()->setPlainText(lines.join(u'\n')); }
    QString memo() const { return memoText(*form_.Memo()); }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }

    QApplication& app_ = app(); // before the window
    QTemporaryDir dir_;
    QString stem_;
    TForm1 form_;
};

TEST_F(ConverterCommand, ViewCardRowsReplaceTextWithSuicaFromSettings) {
    WriteIniBoolean(stem_, ini::ViewSection, ini::SuicaKey, true);
    setMemo({"2024", "03/05xy\tStore A\tmemo", "any text", "1,980", "2024", "03/06xy\tB店\t", "-",
             "500"});
    form_.Button11Click();
    const QString rows = QStringLiteral("2024/03/05\tStore A\t\t\t1,980\tSuica\r\n"
                                        "2024/03/06\tB店\t\t\t500\tSuica\r\n");
    EXPECT_EQ(memo(), rows);
    EXPECT_EQ(clipboard(), rows);

    // A second run finds no year line in its own rows.
    form_.Button11Click();
    EXPECT_EQ(memo(), QString());
    EXPECT_EQ(clipboard(), QString());
}

TEST_F(ConverterCommand, CoopRewritesEntryLinesInPlaceWithHokenFromSettings) {
    setMemo(
        {"注文明細", "2024/05/01\t牛乳\t2\t420 円", "2024/05/08\tパン\t1\t180円", "合計\t600 円"});
    form_.Button5Click();
    EXPECT_EQ(memo(), QStringLiteral("注文明細\r\n2024/05/01\t牛乳\t\t\t2\t420\r\n"
                                     "2024/05/08\tパン\t\t\t1\t180\r\n合計\t600 円"));
    EXPECT_EQ(clipboard(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\r\n"
                                          "2024/05/08\tパン\t\t\t1\t180\r\n"));

    WriteIniBoolean(stem_, ini::SeikyoSection, ini::HokenKey, true);
    setMemo({"2024/05/01\t牛乳\t2\t420 円"});
    form_.Button5Click();
    EXPECT_EQ(memo(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\t保険"));
    EXPECT_EQ(clipboard(), QStringLiteral("2024/05/01\t牛乳\t\t\t2\t420\t保険\r\n"));
}

TEST_F(ConverterCommand, DomesticDividendRowsReplaceTextWithTodaysDate) {
    setMemo({"銘柄名abcdefgサンプル工業", "any text", "入金額abcdefg8,000円"});
    const QString before = DateToStr(Now());
    form_.Button6Click();
    const QString after = DateToStr(Now());
    const QString tail = QStringLiteral("\t配当国内\tサンプル工業\t\t-8,000\r\n");
    // The command may run across midnight; either date is today's.
    EXPECT_TRUE(memo() == before + tail || memo() == after + tail) << memo().toStdString();
    EXPECT_EQ(clipboard(), memo());
}

} // namespace
