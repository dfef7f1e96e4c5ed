#pragma once

// The one window, in plain Win32: built from the shared layout table, every event forwarded
// to the command of the same name, the seams implemented with the system's own controls.

#include "commands/commands.h"
#include "commands/seams.h"
#include "win/clipboard.h"
#include "win/commandlink.h"
#include "win/desktop.h"
#include "win/dpi.h"
#include "win/fonts.h"
#include "win/memo.h"

#include <memory>
#include <string_view>
#include <vector>

#include <windows.h>

namespace kasorel::win {

class TForm1 : private WindowSeam {
public:
    // Creates the window with its controls, laid out for the DPI of the monitor it opens on,
    // and runs FormCreate; the window is not shown yet. desktop and clipboard replace the
    // system's (tests answer the dialogs); they must outlive the window.
    explicit TForm1(Desktop* desktop = nullptr, SystemClipboard* clipboard = nullptr);
    ~TForm1() override;
    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // The window and its parts, for the message loop, tests and benchmarks.
    HWND Handle() const { return hwnd_; }
    HWND Memo1() const { return memo_->Handle(); }
    HWND StatusBar() const { return status_; }
    const Dpi& CurrentDpi() const { return dpi_; }
    // The button of that layout name ("Button1"...); nullptr for none.
    const CommandLink* Button(std::string_view name) const;
    Commands& Handlers() { return commands_; }
    WindowSeam& Window() { return *this; }
    TextAreaSeam& Memo1Seam() { return *memo_; }

    void Show(int how);

    // For the message loop, before IsDialogMessage: Enter on a focused button clicks it, as
    // it does in a dialog. True when msg was handled.
    bool PreTranslate(const MSG& msg);
    // One turn of the message loop's work for msg: the layout's shortcuts, PreTranslate, then
    // the dialog manager's keyboard (Tab, Shift+Tab, Space), then the ordinary dispatch.
    void Dispatch(MSG& msg);

    // Button handlers: each forwards to the command of the same name.
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

private:
    static void RegisterWindowClass();
    // Bound to this object at WM_NCCREATE, so every message from then on reaches it.
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code, HWND control);
    void CreateControls();
    void CreateMenuBar();
    void OrderForTabbing();
    // The outer size that gives the client area the layout's size at dpi_, with the status
    // bar below it.
    SIZE LayoutFrameSize() const;
    // Fonts and places for dpi_; the frame takes the client size the layout asks for when
    // resize is set.
    void ApplyDpi(bool resize);
    void Relayout();
    CommandLink* ButtonOf(HWND control);

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

    HWND hwnd_ = nullptr;
    HWND status_ = nullptr;
    HMENU menu_ = nullptr;
    HACCEL accelerators_ = nullptr;
    // Where the made kinds' items go, and how many it holds.
    HMENU madePopup_ = nullptr;
    int madePosition_ = 0;
    int madeCount_ = 0;
    Dpi dpi_;
    Font windowFont_;
    std::unique_ptr<Memo> memo_;
    std::vector<std::unique_ptr<CommandLink>> buttons_;
    HWND lastFocus_ = nullptr;
    bool waiting_ = false;

    Win32Desktop systemDesktop_;
    Win32Clipboard systemClipboard_;
    Desktop& desktop_;
    SystemClipboard& clipboard_;
    // Forwards to memo_, which exists only once the window does.
    class MemoSeam : public TextAreaSeam {
    public:
        explicit MemoSeam(TForm1& form) : form_(form) {}
        kasorel::TextArea Load() override { return form_.memo_->Load(); }
        void Store(const kasorel::TextArea& memo) override { form_.memo_->Store(memo); }

    private:
        TForm1& form_;
    } memoSeam_{*this};
    Commands commands_;
};

} // namespace kasorel::win
