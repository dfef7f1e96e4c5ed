#include "app/desktop.h"

#include "widget_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace kasorel;

namespace {

// Runs answer on the modal dialog once it is up, from within the dialog's own event loop.
template <typename Dialog> void whenShown(std::function<void(Dialog&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog of the expected kind";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        answer(*dialog);
    });
}

QStringList buttonTexts(const QList<QAbstractButton*>& buttons) {
    QStringList texts;
    for (const QAbstractButton* b : buttons)
        texts.append(b->text());
    texts.sort();
    return texts;
}

QAbstractButton* buttonWithText(const QList<QAbstractButton*>& buttons, const QString& text) {
    for (QAbstractButton* b : buttons) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

class DialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { TestApp(); }
    void SetUp() override { parent.show(); }
    QWidget parent;
    QtDesktop desktop{&parent};
};

} // namespace

TEST_F(DialogsTest, InputBoxShowsTitlePromptAndDefaultAndReturnsTheEntryOnOk) {
    whenShown<QInputDialog>([](QInputDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("スプシURLを入力して下さい"));
        EXPECT_EQ(d.labelText(), QStringLiteral("スプシURL"));
        EXPECT_EQ(d.textValue(), QStringLiteral("old"));
        EXPECT_EQ(d.okButtonText(), QStringLiteral("OK"));
        EXPECT_EQ(d.cancelButtonText(), QStringLiteral("キャンセル"));
        d.setTextValue(QStringLiteral("new"));
        d.accept();
    });
    EXPECT_EQ(desktop.InputBox(u"スプシURLを入力して下さい", u"スプシURL", u"old"), u"new");
}

// Text beyond the Basic Multilingual Plane, and blanks, come back exactly as typed.
TEST_F(DialogsTest, InputBoxReturnsTheEntryUnchanged) {
    whenShown<QInputDialog>([](QInputDialog& d) {
        d.setTextValue(QString::fromStdU16String(u" 𠮷 key\t"));
        d.accept();
    });
    EXPECT_EQ(desktop.InputBox(u"API Keyを入力して下さい", u"API Key", u""), u" 𠮷 key\t");
}

TEST_F(DialogsTest, InputBoxGivesTheDefaultBackOnCancel) {
    whenShown<QInputDialog>([](QInputDialog& d) {
        d.setTextValue(QStringLiteral("edited"));
        d.reject();
    });
    EXPECT_EQ(desktop.InputBox(u"API Keyを入力して下さい", u"API Key", u"key"), u"key");
}

TEST_F(DialogsTest, ConfirmationBoxIsJapaneseWithYesAsDefault) {
    const struct {
        const char* press; // nullptr: the box is closed
        bool result;
    } cases[] = {{"はい(&Y)", true}, {"いいえ(&N)", false}, {nullptr, false}};
    for (const auto& c : cases) {
        whenShown<QMessageBox>([&c](QMessageBox& box) {
            EXPECT_EQ(box.windowTitle(), QStringLiteral("確認"));
            EXPECT_EQ(box.text(), QStringLiteral("ViewはSuica限定ですか?"));
            EXPECT_EQ(buttonTexts(box.buttons()),
                      QStringList({QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")}));
            // A failed check must still close the box, or the test would wait for ever.
            const QAbstractButton* def = box.defaultButton();
            EXPECT_TRUE(def && def->text() == QStringLiteral("はい(&Y)"));
            QAbstractButton* b =
                c.press ? buttonWithText(box.buttons(), QString::fromUtf8(c.press)) : nullptr;
            if (b) {
                b->click();
            } else {
                EXPECT_EQ(c.press, nullptr);
                box.close();
            }
        });
        EXPECT_EQ(desktop.Confirm(u"ViewはSuica限定ですか?"), c.result)
            << (c.press ? c.press : "closed");
    }
}

TEST_F(DialogsTest, InformationBoxHasOnlyOk) {
    bool seen = false;
    whenShown<QMessageBox>([&seen](QMessageBox& box) {
        seen = true;
        EXPECT_EQ(box.windowTitle(), QStringLiteral("情報"));
        EXPECT_EQ(box.text(), QStringLiteral("備考欄にSuicaと出力します"));
        EXPECT_EQ(buttonTexts(box.buttons()), QStringList{QStringLiteral("OK")});
        box.buttons().front()->click();
    });
    desktop.Inform(u"備考欄にSuicaと出力します");
    EXPECT_TRUE(seen);
}
