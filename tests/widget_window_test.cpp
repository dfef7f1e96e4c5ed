// The real window on the offscreen platform: the layout, the real clipboard, the text area
// carried to and from the model with undo and redo, the error box raised through a control,
// the close, and QtDesktop's dialogs.
#include "app/form1.h"
#include "convert/errors.h"
#include "convert/rakuten.h"
#include "recording_clipboard.h"

#include "widget_app.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCommandLinkButton>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace kasorel;

namespace {

const QString kStatement = QStringLiteral("明細\r\n"
                                          "2024/05/01\tショップA\t1,200 円\r\n"
                                          "支払方法\t一括\r\n"
                                          "x1\r\n"
                                          "y1\r\n"
                                          "2024/05/03\tショップB\t800 円\r\n"
                                          "支払方法\t一括\r\n"
                                          "x2\r\n"
                                          "y2");
const QString kRows = QStringLiteral("2024/05/01\tショップA\t\t\t1,200\r\n"
                                     "2024/05/03\tショップB\t\t\t800\r\n");

TextPos caretOf(const QPlainTextEdit& memo) {
    const QTextCursor c = memo.textCursor();
    return {c.blockNumber(), c.positionInBlock()};
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        form = ScriptedForm(desktop);
        // The close saves the position: into a folder of the test's own.
        form->Command().SetIniFileName(dir.filePath(u"kasorel"_qs).toStdU16String());
        memo = form->Memo();
    }
    template <class T> T* child(const char* name) {
        T* widget = form->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void click(const char* name) { child<QCommandLinkButton>(name)->click(); }
    void setMemo(const QString& text, int anchor, int position) {
        memo->setPlainText(text);
        QTextCursor c = memo->textCursor();
        c.setPosition(anchor);
        c.setPosition(position, QTextCursor::KeepAnchor);
        memo->setTextCursor(c);
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    QPlainTextEdit* memo = nullptr;
    ScriptedDesktop* desktop = nullptr;
};

TEST_F(WindowTest, ButtonsHaveTheirCaptionsPlacesFontsAndColours) {
    struct Row {
        const char* name;
        QString caption;
        QRect geometry;
        QString family;
        int pixelSize;
        QColor colour;
        bool visible;
    };
    const QColor blue(0, 0, 255), skyBlue(0x87, 0xCE, 0xEB);
    const Row rows[] = {
        {"Button3", u"貼り付け"_qs, {8, 548, 118, 42}, u"メイリオ"_qs, 20, blue, true},
        {"Button1", u"楽天カード"_qs, {143, 548, 121, 42}, u"メイリオ"_qs, 20, blue, true},
        {"Button6",
         u"国内配当"_qs,
         {279, 548, 121, 42},
         u"AR P丸ゴシック体E"_qs,
         20,
         skyBlue,
         true},
        {"Button7", u"国外配当"_qs, {414, 548, 121, 42}, u"メイリオ"_qs, 20, blue, true},
        {"Button4", u"スプシ表示"_qs, {552, 548, 137, 41}, u"メイリオ"_qs, 20, blue, true},
        {"Button2", u"テスト用"_qs, {552, 595, 121, 33}, u"Segoe UI"_qs, 12, QColor(), false},
    };
    form->show();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* button = child<QCommandLinkButton>(row.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), row.caption);
        EXPECT_EQ(button->geometry(), row.geometry);
        EXPECT_EQ(button->parentWidget(), form->centralWidget());
        EXPECT_EQ(button->font().families().value(0), row.family);
        EXPECT_TRUE(button->font().families().contains(u"Noto Sans CJK JP"_qs));
        EXPECT_EQ(button->font().pixelSize(), row.pixelSize);
        EXPECT_EQ(button->isVisible(), row.visible);
        if (row.colour.isValid()) {
            EXPECT_EQ(button->palette().color(QPalette::ButtonText), row.colour);
        }
    }
}

TEST_F(WindowTest, WindowTextAreaAndMenuFollowTheLayout) {
    form->show();
    EXPECT_EQ(form->windowTitle(), u"Kasorel"_qs);
    EXPECT_EQ(form->centralWidget()->size(), QSize(693, 612));
    EXPECT_EQ(form->centralWidget()->y(), form->menuBar()->geometry().bottom() + 1);

    auto* panel = child<QWidget>("Panel1");
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 693, 521));
    EXPECT_EQ(memo->objectName(), u"Memo1"_qs);
    EXPECT_EQ(memo->parentWidget(), panel);
    EXPECT_EQ(memo->geometry(), panel->rect());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->font().families().value(0), u"Segoe UI"_qs);
    EXPECT_EQ(memo->font().pixelSize(), 16);
    EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(0, 255, 255));
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_TRUE(memo->toPlainText().isEmpty());

    // The Japanese captions need a face that has them; the fallback is installed.
    EXPECT_TRUE(QFontDatabase::families().contains(u"Noto Sans CJK JP"_qs));

    QStringList menus;
    for (QAction* menu : form->menuBar()->actions()) {
        QStringList items;
        for (QAction* item : menu->menu()->actions()) {
            if (item->isVisible())
                items << item->objectName() + u'=' + item->text();
        }
        menus << menu->text() + u": "_qs + items.join(u", ");
    }
    EXPECT_EQ(menus, QStringList({
                         u"その他の書式: actionAutoDetect=自動判別, actionViewCard=Viewカード, "
                         u"actionCoop=T生協"_qs,
                         u"設定: actionSheetUrl=スプシURL, actionApiKey=API設定, "
                         u"actionViewSettings=View設定, actionCoopSettings=生協設定, "
                         u"actionSkipSent=送信済みの行を除く, actionClearHistory=送信履歴を消去, "
                         u"actionMakeFormat=書式を作る, actionRemoveFormat=書式を削除, "
                         u"actionLearnCategories=費目を覚える, actionFillCategories=費目を埋める, "
                         u"actionClearCategories=覚えた費目を消去"_qs,
                         u"ヘルプ: N7=作者ホームページ"_qs,
                     }));
}

TEST_F(WindowTest, TabOrderRunsThroughTheVisibleButtonsToTheTextArea) {
    form->show();
    QStringList chain;
    QWidget* w = child<QWidget>("Button1");
    for (int i = 0; i < 6; ++i, w = w->nextInFocusChain())
        chain << w->objectName();
    EXPECT_EQ(chain,
              QStringList({"Button1", "Button2", "Button3", "Button4", "Button6", "Button7"}));

    // Tabbing skips the hidden Button2.
    QStringList visited;
    child<QWidget>("Button1")->setFocus();
    QApplication::processEvents();
    for (int i = 0; i < 6; ++i) {
        visited << QApplication::focusWidget()->objectName();
        press(QApplication::focusWidget(), Qt::Key_Tab, Qt::NoModifier);
    }
    EXPECT_EQ(visited,
              QStringList({"Button1", "Button3", "Button4", "Button6", "Button7", "Memo1"}));
}

TEST_F(WindowTest, PasteReplacesTheSelectionOrInsertsAtTheCaret) {
    struct Row {
        const char* name;
        QString before;
        int anchor, position;
        QString clipboard;
        QString after;
        TextPos caret;
    };
    // What paste does to the model is the commands suites' to check; these rows carry the
    // widget's caret and selection, either way round, to the model and back.
    const Row rows[] = {
        {"at the caret", u"abcd"_qs, 2, 2, u"XY"_qs, u"abXYcd"_qs, {0, 4}},
        {"over a selection", u"abcd"_qs, 1, 3, u"XY"_qs, u"aXYd"_qs, {0, 3}},
        {"backward selection", u"ab\ncd"_qs, 4, 1, u"-"_qs, u"a-d"_qs, {0, 2}},
        {"empty clipboard removes selection", u"abcd"_qs, 0, 2, u""_qs, u"cd"_qs, {0, 0}},
        {"every break style",
         u""_qs,
         0,
         0,
         u"a\rb\nc\r\nd\u2029e"_qs,
         u"a\r\nb\r\nc\r\nd\r\ne"_qs,
         {4, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        setMemo(row.before, row.anchor, row.position);
        QGuiApplication::clipboard()->setText(row.clipboard);
        click("Button3");
        EXPECT_EQ(memoText(*memo), row.after);
        EXPECT_EQ(caretOf(*memo), row.caret);
        EXPECT_FALSE(memo->textCursor().hasSelection());
    }
    EXPECT_TRUE(desktop->errors.empty());
}

TEST_F(WindowTest, PasteOfNonTextInsertsNothing) {
    setMemo(u"abcd"_qs, 1, 3);
    auto* data = new QMimeData;
    data->setData(u"image/png"_qs, QByteArray("\x89PNG", 4));
    QGuiApplication::clipboard()->setMimeData(data);
    click("Button3");
    EXPECT_EQ(memoText(*memo), u"ad"_qs);
}

// The clipboard seam reads and writes the system clipboard itself.
TEST_F(WindowTest, QtClipboardCarriesTextBothWays) {
    QtClipboard clipboard;
    const std::u16string text = u"2024/05/01\tショップ𠮷\t\t\t1,200\r\n";
    clipboard.SetAsText(text);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), qt(text));
    EXPECT_EQ(clipboard.Text(), text);
    clipboard.SetAsText(u"");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());

    QGuiApplication::clipboard()->setText(u"typed elsewhere"_qs);
    EXPECT_EQ(clipboard.Text(), u"typed elsewhere");
    auto* data = new QMimeData;
    data->setData(u"image/png"_qs, QByteArray("\x89PNG", 4));
    QGuiApplication::clipboard()->setMimeData(data);
    EXPECT_EQ(clipboard.Text(), u"");
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(clipboard.Text(), u"");
}

// Paste, convert, and read the rows back from the real system clipboard.
TEST_F(WindowTest, RakutenCommandPutsRowsOnTheSystemClipboard) {
    QGuiApplication::clipboard()->setText(kStatement);
    click("Button3");
    click("Button1");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kRows);
    EXPECT_EQ(memoText(*memo), u"明細\r\n2024/05/01\tショップA\t\t\t1,200\r\n"
                               u"2024/05/03\tショップB\t\t\t800\r\n"_qs);
    EXPECT_TRUE(desktop->errors.empty());
}

// Whatever break style the text came in with, the command sees the same lines.
TEST_F(WindowTest, EveryLineBreakStyleConvertsAlike) {
    const QString styles[] = {u"\r\n"_qs, u"\n"_qs, u"\r"_qs, u"\u2029"_qs};
    for (const QString& br : styles) {
        SCOPED_TRACE(br.toUtf8().toHex().toStdString());
        QGuiApplication::clipboard()->clear();
        memo->setPlainText(QString(kStatement).replace(u"\r\n"_qs, br));
        click("Button1");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), kRows);
    }
}

// The window only carries text and caret: the widget ends as the model does on its own.
TEST_F(WindowTest, WriteBackMatchesTheModelTextAndCaret) {
    struct Row {
        const char* name;
        QString text;
        int caret;
    };
    const Row rows[] = {
        {"statement", kStatement, 0},
        {"caret at end", kStatement, int(kStatement.size() - 16)},
        {"marker on line 0", u"支払方法\r\na\r\nb\r\nc"_qs, 3},
        {"surrogates around the change", u"𠀋x\t𠀋 円\r\n支払方法\r\n1\r\n2\r\n𠀋"_qs, 1},
        {"trailing break", kStatement + u"\r\n"_qs, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        setMemo(row.text, row.caret, row.caret);
        TextArea expected(row.text.toStdU16String());
        const QTextCursor c = memo->textCursor();
        expected.SetCaret({c.blockNumber(), c.positionInBlock()});
        RecordingClipboard converted;
        ConvertRakuten(expected, converted);

        QGuiApplication::clipboard()->clear();
        click("Button1");
        EXPECT_EQ(memoText(*memo), qt(expected.Text()));
        EXPECT_EQ(caretOf(*memo), expected.Caret());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), qt(converted.last()));
    }
}

TEST_F(WindowTest, ConversionIsOneUndoStepAndRedoes) {
    QGuiApplication::clipboard()->setText(kStatement);
    click("Button3");
    click("Button1");
    const QString converted = memoText(*memo);
    ASSERT_NE(converted, kStatement);

    press(memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memoText(*memo), kStatement);
    press(memo, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(memoText(*memo), converted);
    press(memo, Qt::Key_Z, Qt::ControlModifier);
    press(memo, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memoText(*memo), QString()) << "the paste is its own undo step";
}

TEST_F(WindowTest, CommandThatChangesNoTextLeavesUndoAlone) {
    QGuiApplication::clipboard()->setText(u"no markers\r\nhere"_qs);
    click("Button3");
    const int steps = memo->document()->availableUndoSteps();
    click("Button1");
    EXPECT_EQ(memo->document()->availableUndoSteps(), steps);
    EXPECT_EQ(memoText(*memo), u"no markers\r\nhere"_qs);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

// An error raised under a control's click ends the command in the error box, the window's
// own; what was done stays on screen as one undo step, and nothing reaches Qt's event loop.
// The messages are the commands suites'.
TEST_F(WindowTest, ErrorsReachOneBoxAndEditsStayDone) {
    struct Row {
        const char* name;
        void (*raise)();
        QString text;
    };
    const Row rows[] = {
        {"clipboard busy", [] { throw EClipboardException(u"使用中"); },
         u"クリップボード 使用中 を開けません."_qs},
        {"not an exception class", [] { throw 42; }, u"不明なエラー."_qs},
    };
    const QString converted = u"明細\r\n2024/05/01\tショップA\t\t\t1,200\r\n"
                              u"2024/05/03\tショップB\t\t\t800\r\n"_qs;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        desktop->errors.clear();
        auto failing = std::make_unique<ScriptedClipboard>();
        failing->fail = row.raise;
        form->SetClipboard(std::move(failing));
        memo->setPlainText(kStatement);
        click("Button1");
        ASSERT_EQ(desktop->errors.size(), 1u);
        EXPECT_EQ(qt(desktop->errors.front().caption), u"widget_suites"_qs);
        EXPECT_EQ(qt(desktop->errors.front().text), row.text);
        EXPECT_EQ(memoText(*memo), converted);
        press(memo, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(memoText(*memo), kStatement);
    }
}

TEST_F(WindowTest, CloseIsNeverRefused) {
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(desktop->errors.empty());
}

// Not even when the position cannot be saved: the failure shows once and the window goes.
// Below a regular file nothing can be created, not even by root.
TEST_F(WindowTest, CloseStillClosesWhenThePositionCannotBeSaved) {
    QFile blocker(dir.filePath(u"blocker"_qs));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const std::u16string bad = blocker.fileName().toStdU16String() + u"/kasorel";
    form->Command().SetIniFileName(bad);
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(desktop->errorTexts(), std::vector<std::u16string>{bad + u".ini に書き込めません."});
}

// The real dialogs, answered the way a person would: by pressing a button.
void answerNextBox(std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(*box);
    });
}

QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* b : box.buttons())
        texts << b->text();
    texts.sort();
    return texts;
}

TEST(QtDesktopTest, ErrorBoxHasStopIconCaptionTextAndOneOk) {
    TestApp();
    QtDesktop desktop(nullptr);
    QMessageBox::Icon icon{};
    QString caption, text;
    QStringList buttons;
    answerNextBox([&](QMessageBox& box) {
        icon = box.icon();
        caption = box.windowTitle();
        text = box.text();
        buttons = buttonTexts(box);
        box.buttons().front()->click();
    });
    desktop.ShowError(u"Kasorel", u"範囲チェックエラー.");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(caption, u"Kasorel"_qs);
    EXPECT_EQ(text, u"範囲チェックエラー."_qs);
    EXPECT_EQ(buttons, QStringList({u"OK"_qs}));
}

TEST(QtDesktopTest, ConfirmDefaultsToYes) {
    TestApp();
    QtDesktop desktop(nullptr);
    struct Row {
        const char* name;
        std::function<void(QMessageBox&)> answer;
        bool result;
    };
    const Row rows[] = {
        {"enter", [](QMessageBox& b) { b.defaultButton()->click(); }, true},
        {"no", [](QMessageBox& b) { b.escapeButton()->click(); }, false},
        {"closed", [](QMessageBox& b) { b.reject(); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QString caption;
        QStringList buttons;
        answerNextBox([&](QMessageBox& box) {
            caption = box.windowTitle();
            buttons = buttonTexts(box);
            row.answer(box);
        });
        EXPECT_EQ(desktop.Confirm(u"消しますか"), row.result);
        EXPECT_EQ(caption, u"確認"_qs);
        EXPECT_EQ(buttons, QStringList({u"いいえ(&N)"_qs, u"はい(&Y)"_qs}));
    }
}

} // namespace
