#pragma once

// What every widget suite shares: the one QApplication, the text area's text in the model's
// form, and the person at the window.

#include "app/desktop.h"
#include "app/form1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextDocument>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

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

// The widget's text in the model's form: lines joined by CR LF.
inline QString memoText(const QPlainTextEdit& memo) {
    return memo.document()->toRawText().replace(QChar(QChar::ParagraphSeparator),
                                                QStringLiteral("\r\n"));
}

// Stands in for the person at the window, since nobody is there to press the buttons:
// input boxes and questions are answered from the scripts (an input box nobody scripted
// keeps its pre-filled text; a question nobody scripted is a test failure answered No), and
// every conversation is recorded instead of waiting for OK. The window owns it; a suite
// keeps a plain pointer to read the record while the window lives.
class ScriptedDesktop : public kasorel::Desktop {
public:
    struct Input {
        QString title, prompt, defaultText;
    };
    struct Box {
        QString caption, text;
    };
    std::deque<std::optional<QString>> inputAnswers; // nullopt: Cancel
    std::deque<bool> confirmAnswers;
    std::vector<Input> inputs;
    std::vector<Box> errors;
    QStringList questions, informations, opened;

    QString InputBox(const QString& title, const QString& prompt,
                     const QString& defaultText) override {
        inputs.push_back({title, prompt, defaultText});
        if (inputAnswers.empty())
            return defaultText;
        const std::optional<QString> answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer.value_or(defaultText);
    }
    bool Confirm(const QString& question) override {
        questions.append(question);
        if (confirmAnswers.empty()) {
            ADD_FAILURE() << "unexpected question " << question.toStdString();
            return false;
        }
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void Inform(const QString& text) override { informations.append(text); }
    void ShowError(const QString& caption, const QString& text) override {
        errors.push_back({caption, text});
    }
    void OpenUrl(const QString& address) override { opened.append(address); }

    // The texts of the error boxes, in the order they were raised.
    QStringList errorTexts() const {
        QStringList texts;
        for (const Box& box : errors)
            texts.append(box.text);
        return texts;
    }
};

// A new window, its dialogs answered by a ScriptedDesktop that desktop is left pointing at.
inline std::unique_ptr<kasorel::TForm1> ScriptedWindow(ScriptedDesktop*& desktop) {
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
