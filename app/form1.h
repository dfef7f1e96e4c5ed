#pragma once

// The one window on Linux: a Qt shell over the shared commands. It builds its controls from
// the layout table, forwards every event to the command of the same name, and shows, asks
// and carries for the commands through their seams.

#include "app/desktop.h"
#include "commands/commands.h"
#include "commands/seams.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace kasorel {

class CommandLinkButton;

// The system clipboard, through Qt.
class QtClipboard : public SystemClipboard {
public:
    void SetAsText(std::u16string_view t) override;
    std::u16string Text() override;
};

class TForm1 : public QMainWindow, private TextAreaSeam, private WindowSeam {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Replaces the dialogs and the desktop (tests answer them); the window owns it.
    void SetDesktop(std::unique_ptr<Desktop> desktop) { desktop_.target = std::move(desktop); }
    // Replaces the system clipboard (tests record); the window owns it.
    void SetClipboard(std::unique_ptr<SystemClipboard> clipboard) {
        clipboard_.target = std::move(clipboard);
    }

    Commands& Command() { return commands_; }
    QPlainTextEdit* Memo() const { return Memo1; }
    // What the status line says: what the last command did, until the next one replaces it.
    QString StatusText() const;

    // The handlers, named after the control they were first made for; each forwards to the
    // command of the same name.
    void Button1Click() { commands_.Button1Click(); }
    void Button2Click() { commands_.Button2Click(); }
    void Button3Click() { commands_.Button3Click(); }
    void Button4Click() { commands_.Button4Click(); }
    void Button5Click() { commands_.Button5Click(); }
    void Button6Click() { commands_.Button6Click(); }
    void Button7Click() { commands_.Button7Click(); }
    void Button8Click() { commands_.Button8Click(); }
    void Button9Click() { commands_.Button9Click(); }
    void Button10Click() { commands_.Button10Click(); }
    void Button11Click() { commands_.Button11Click(); }
    void Button12Click() { commands_.Button12Click(); }
    void N7Click() { commands_.N7Click(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The seams the commands see; the replaceable parts forward to what tests put in.
    struct DesktopSlot : Desktop {
        std::unique_ptr<Desktop> target;
        std::optional<std::u16string> InputQuery(std::u16string_view title,
                                                 std::u16string_view prompt,
                                                 std::u16string_view defaultText) override {
            return target->InputQuery(title, prompt, defaultText);
        }
        bool Confirm(std::u16string_view question) override { return target->Confirm(question); }
        void Inform(std::u16string_view text) override { target->Inform(text); }
        void ShowError(std::u16string_view caption, std::u16string_view text) override {
            target->ShowError(caption, text);
        }
        void OpenUrl(std::u16string_view address) override { target->OpenUrl(address); }
    };
    struct ClipboardSlot : SystemClipboard {
        std::unique_ptr<SystemClipboard> target;
        void SetAsText(std::u16string_view t) override { target->SetAsText(t); }
        std::u16string Text() override { return target->Text(); }
    };

    // TextAreaSeam
    TextArea Load() override;
    void Store(const TextArea& memo) override;
    // WindowSeam
    Rect FrameGeometry() override;
    void MoveFrameTo(Point topLeft) override;
    Size PrimaryScreenSize() override;
    std::vector<Rect> ScreenRects() override;
    void ShowStatus(std::u16string_view message) override;
    void FocusTextArea() override;
    void ShowMadeKinds(const std::vector<std::u16string>& names) override;
    void BeginWait() override;
    void EndWait() override;

    void createTextArea();
    void createButtons();
    void createMenus();
    void createStatusLine();
    void setTabOrder();

    QWidget* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* StatusLabel = nullptr;
    std::vector<CommandLinkButton*> buttons_;
    // Where the made kinds' items go: before an anchor that is never shown.
    QMenu* madeMenu_ = nullptr;
    QAction* madeAnchor_ = nullptr;
    std::vector<QAction*> madeActions_;

    DesktopSlot desktop_;
    ClipboardSlot clipboard_;
    Commands commands_;
};

} // namespace kasorel
