#pragma once

// What every widget suite shares: the one QApplication, the text area's text in the model's
// form, the person at the window (the commands suites' ScriptedDesktop), text between Qt's
// type and the program's, and the key press.

#include "app/desktop.h"
#include "app/form1.h"

#include "commands_seams.h"
#include "qt_printers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

// The one QApplication of a widget suite, on Qt's offscreen platform unless another is
// asked for. Never destroyed: torn down among the exit handlers, it would outlive parts of
// Qt's own static state and crash.
inline QApplication& TestApp() {
    static int argc = 1;
    static char arg0[] = "kasorel_widget_test";
    static char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Every case's window remembers the rows it sent in a fresh folder of its own (XDG_STATE_HOME).
struct FreshStateFolder : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        char folder[] = "/tmp/kasorel-state-XXXXXX";
        ::setenv("XDG_STATE_HOME", ::mkdtemp(folder) ? folder : "/nonexistent", 1);
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::error_code ignored;
        std::filesystem::remove_all(std::getenv("XDG_STATE_HOME"), ignored);
    }
};
inline const bool kFreshStateFolders =
    (testing::UnitTest::GetInstance()->listeners().Append(new FreshStateFolder), true);

inline QString qt(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

inline QStringList qt(const std::vector<std::u16string>& texts) {
    QStringList list;
    for (const std::u16string& t : texts)
        list.append(qt(t));
    return list;
}

// The widget's text in the model's form: lines joined by CR LF.
inline QString memoText(const QPlainTextEdit& memo) {
    return memo.document()->toRawText().replace(QChar(QChar::ParagraphSeparator),
                                                QStringLiteral("\r\n"));
}

// A new window whose dialogs are answered by a ScriptedDesktop, which desktop is left
// pointing at; the window owns it.
inline std::unique_ptr<kasorel::TForm1> ScriptedForm(ScriptedDesktop*& desktop) {
    TestApp();
    auto form = std::make_unique<kasorel::TForm1>();
    auto scripted = std::make_unique<ScriptedDesktop>();
    desktop = scripted.get();
    form->SetDesktop(std::move(scripted));
    return form;
}

// A key pressed and released on target.
inline void press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent down(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &up);
}
