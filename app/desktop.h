#pragma once

// The window's conversations with the person and the desktop: dialogs, the error box and
// opening a web address. The program uses the Qt implementation; tests answer through a
// scripted one, since nobody is there to press the buttons.

#include <QString>

class QWidget;

namespace kasorel {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Input box with a title, a one-line prompt and an edit field pre-filled with
    // defaultText. Returns the edited text on OK and defaultText unchanged otherwise.
    virtual QString InputBox(const QString& title, const QString& prompt,
                             const QString& defaultText) = 0;
    // Confirmation box "確認" with "はい(&Y)" (the default) and "いいえ(&N)": true for Yes;
    // No or closing the box give false.
    virtual bool Confirm(const QString& question) = 0;
    // Information box "情報" with a single "OK".
    virtual void Inform(const QString& text) = 0;
    // Error box: stop icon, one "OK", the given caption and text.
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // Asks the desktop to open address in the default browser. The result is ignored.
    virtual void OpenUrl(const QString& address) = 0;
};

// The real dialogs, owned by parent, always in Japanese.
class QtDesktop : public Desktop {
public:
    explicit QtDesktop(QWidget* parent) : parent_(parent) {}
    QString InputBox(const QString& title, const QString& prompt,
                     const QString& defaultText) override;
    bool Confirm(const QString& question) override;
    void Inform(const QString& text) override;
    void ShowError(const QString& caption, const QString& text) override;
    void OpenUrl(const QString& address) override;

private:
    QWidget* parent_;
};

} // namespace kasorel
