// What the window tells the user and how it takes the keyboard: the status line after every
// command, the focus that comes back to the text area so Ctrl+Z undoes a command at once,
// Tab, Enter and Space on the buttons, Qt's own texts in Japanese, input given while the rate
// service is asked, and lines broken by U+2028. The real window on the offscreen platform,
// with the real clipboard, a real settings file and a real HTTP server on 127.0.0.1.
#include "app/commandlink.h"
#include "app/form1.h"
#include "app/startup.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "settings/inifile.h"

#include "qt_printers.h"
#include "rates_local_server.h"
#include "widget_app.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace kasorel;

namespace {

const std::string kStatusAnswer = R"({"rates":{"JPY":151.34,"USD":1}})";
const QString kForeign = QStringLiteral("銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n");
const QString kRakuten =
    QStringLiteral("明細\r\n2024/05/01\tA\t1,200 円\r\n支払方法\t一括\r\nx\r\ny\r\n"
                   "2024/05/03\tB\t800 円\r\n支払方法\t一括\r\nx\r\ny");

class StatusWindow : public testing::Test {
protected:
    static void SetUpTestSuite() {
        TestApp();
        InitHttpTransport();
        ClearProxyEnvironment();
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = ScriptedForm(desktop);
        stem = dir.filePath(QStringLiteral("kasorel")).toStdU16String();
        form->Command().SetIniFileName(stem);
        form->Command().RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
        memo = form->Memo();
        // One handler for the whole test: the server takes the first one registered.
        server.Answer([this](const httplib::Request&, httplib::Response& res) {
            if (whileAnswering)
                whileAnswering();
            res.status = answerStatus;
            res.set_content(answerBody, "application/json");
        });
        form->show();
        QApplication::setActiveWindow(form.get());
    }

    CommandLinkButton* button(const char* name) {
        auto* b = form->findChild<CommandLinkButton*>(QLatin1String(name));
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
    QLabel* statusLabel() { return form->statusBar()->findChild<QLabel*>(u"StatusLabel"_qs); }
    void answer(int status, const std::string& body) {
        answerStatus = status;
        answerBody = body;
    }
    void setText(const QString& t) {
        memo->setPlainText(t);
        memo->moveCursor(QTextCursor::End);
    }

    LocalServer server;
    int answerStatus = 200;
    std::string answerBody = kStatusAnswer;
    std::function<void()> whileAnswering;
    QTemporaryDir dir;
    std::u16string stem;
    std::unique_ptr<TForm1> form;
    QPlainTextEdit* memo = nullptr;
    ScriptedDesktop* desktop = nullptr;
};

// The line shows what the command said, to the eye and to a screen reader; what each command
// says is the commands suites' to check.
TEST_F(StatusWindow, TheStatusLineShowsWhatEachCommandSaid) {
    const QString ini = qt(stem) + u".ini"_qs;
    const struct {
        const char* name;
        QString text;
        std::function<void()> prepare;
        std::function<void(TForm1&)> command;
        QString message;
    } cases[] = {
        {"rakuten", kRakuten, [] {}, [](TForm1& f) { f.Button1Click(); },
         u"楽天カード: 2 行をクリップボードにコピーしました"_qs},
        {"foreign", kForeign, [&] { answer(200, kStatusAnswer); },
         [](TForm1& f) { f.Button7Click(); },
         u"国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"_qs},
        {"paste", u""_qs, [] { QGuiApplication::clipboard()->setText(u"a\r\nb\r\n"_qs); },
         [](TForm1& f) { f.Button3Click(); }, u"貼り付け: 2 行を貼り付けました"_qs},
        {"paste, nothing", u""_qs, [] { QGuiApplication::clipboard()->clear(); },
         [](TForm1& f) { f.Button3Click(); }, u"貼り付け: クリップボードにテキストがありません"_qs},
        {"a prompt", u""_qs, [&] { desktop->inputAnswers.push_back(u"KEY"); },
         [](TForm1& f) { f.Button9Click(); }, u"設定を保存しました: "_qs + ini},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setText(c.text);
        c.prepare();
        c.command(*form);
        EXPECT_EQ(form->StatusText(), c.message);
        EXPECT_EQ(statusLabel()->text(), c.message);
        // A screen reader reads the line as the label's name.
        QAccessibleInterface* label = QAccessible::queryAccessibleInterface(statusLabel());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(QAccessible::Name), c.message);
    }

    // A command with nothing to report leaves the last message standing.
    form->N7Click();
    EXPECT_EQ(form->StatusText(), cases[std::size(cases) - 1].message);
}

TEST_F(StatusWindow, TheStatusLineSitsBelowAnUnchangedLayout) {
    EXPECT_EQ(form->centralWidget()->size(), QSize(693, 612));
    EXPECT_EQ(form->statusBar()->y(), form->centralWidget()->geometry().bottom() + 1);
    EXPECT_EQ(form->height(), form->menuBar()->height() + 612 + form->statusBar()->height());
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(memo);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(QAccessible::Name), u"明細テキスト"_qs);
}

// A click leaves the keyboard in the text area, so the undo the window promises works at
// once, and Tab, Enter and Space serve a person on the keyboard.
TEST_F(StatusWindow, TheKeyboardWorksAfterEveryCommand) {
    setText(kRakuten);
    CommandLinkButton* rakuten = button("Button1");
    rakuten->setFocus();
    rakuten->click();
    ASSERT_EQ(QApplication::focusWidget(), memo);
    const QString converted = memoText(*memo);
    ASSERT_NE(converted, kRakuten);
    press(memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memoText(*memo), kRakuten);
    press(memo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(memoText(*memo), converted);

    // Tab leaves the text area for the first button and Shift+Tab comes back; no tab is typed.
    press(memo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), rakuten);
    press(rakuten, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), memo);
    EXPECT_EQ(memoText(*memo), converted);

    // Enter, keypad Enter and Space run the focused button.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {{Qt::Key_Return, Qt::NoModifier},
                {Qt::Key_Enter, Qt::KeypadModifier},
                {Qt::Key_Space, Qt::NoModifier}};
    for (const auto& k : keys) {
        SCOPED_TRACE(k.key);
        setText(kRakuten);
        rakuten->setFocus();
        press(rakuten, k.key, k.modifiers);
        EXPECT_EQ(memoText(*memo), converted);
        EXPECT_EQ(QApplication::focusWidget(), memo);
    }

    // The focused button shows a mark the unfocused one has not.
    const QImage unfocused = rakuten->grab().toImage();
    rakuten->setFocus();
    EXPECT_NE(rakuten->grab().toImage(), unfocused);
}

TEST_F(StatusWindow, QtsOwnTextsAreJapanese) {
    ASSERT_TRUE(InstallQtJapanese(TestApp()));
    std::unique_ptr<QMenu> menu(memo->createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    EXPECT_TRUE(texts.join(u'|').contains(u"元に戻す"_qs)) << texts.join(u'|').toStdString();
    for (const char* english : {"Undo", "Redo", "Cut", "Copy", "Paste", "Delete", "Select All"})
        EXPECT_FALSE(texts.join(u'|').contains(QLatin1String(english))) << english;
}

// A click on "国内配当" and a key typed while the rate service is slow reach a window that
// takes no input: once the answer is in, the foreign rows stand and nothing else ran.
TEST_F(StatusWindow, InputGivenDuringTheWaitIsDropped) {
    CommandLinkButton* domestic = button("Button6");
    whileAnswering = [&] {
        const QPointF centre = QRectF(domestic->rect()).center();
        QCoreApplication::postEvent(domestic,
                                    new QMouseEvent(QEvent::MouseButtonPress, centre,
                                                    domestic->mapToGlobal(centre), Qt::LeftButton,
                                                    Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(domestic,
                                    new QMouseEvent(QEvent::MouseButtonRelease, centre,
                                                    domestic->mapToGlobal(centre), Qt::LeftButton,
                                                    Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            memo, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, u"x"_qs));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    };
    int domesticRuns = 0;
    QObject::connect(domestic, &QAbstractButton::clicked, [&] { ++domesticRuns; });
    setText(kForeign);
    button("Button7")->click();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_EQ(form->StatusText(),
              u"国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"_qs);
    const QString text = memoText(*memo);
    EXPECT_TRUE(text.startsWith(kForeign)) << text.toStdString();
    EXPECT_EQ(domesticRuns, 0);
    EXPECT_FALSE(text.contains(u"配当国内"_qs));
    EXPECT_FALSE(text.contains(u'x'));
    EXPECT_TRUE(domestic->isEnabled());
    EXPECT_TRUE(form->menuBar()->isEnabled());
}

// What shows as two lines is two lines to the commands, caret and all.
TEST_F(StatusWindow, ALineSeparatorBreaksTheLineForEveryCommand) {
    memo->clear();
    QTextCursor cursor = memo->textCursor();
    cursor.insertText(u"銘柄名abcdefgA\u2028入金額abcdefg8,000円\u2028銘柄名abcdefgB"_qs);
    memo->setTextCursor(cursor);
    form->Button6Click();
    EXPECT_EQ(form->StatusText(), u"国内配当: 1 行をクリップボードにコピーしました"_qs);

    // The caret after the separator is on the second line for the model too, and stays there.
    setText(u"x"_qs);
    cursor = memo->textCursor();
    cursor.insertText(u"\u2028yz"_qs);
    cursor.movePosition(QTextCursor::Left);
    memo->setTextCursor(cursor);
    form->Button1Click();
    EXPECT_EQ(memoText(*memo), u"x\r\nyz"_qs);
    EXPECT_EQ(memo->textCursor().blockNumber(), 1);
    EXPECT_EQ(memo->textCursor().positionInBlock(), 1);
}

} // namespace
