#pragma once

// What the commands ask of the window they run in. Each shell implements these with its
// toolkit (Qt on Linux, Win32 on Windows); the commands' tests implement them with scripts.
// None of them holds a rule of the program: they only show, ask and carry.

#include "convert/output.h"
#include "convert/textarea.h"
#include "settings/geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

// The text area Memo1.
class TextAreaSeam {
public:
    virtual ~TextAreaSeam() = default;
    // The widget's text, caret and selection as they are now. Lines break where the widget
    // shows them broken.
    virtual TextArea Load() = 0;
    // Makes the widget show memo's text, caret and selection. A changed text is one undoable
    // edit, so one undo takes the whole command back; an unchanged text leaves the undo
    // history alone.
    virtual void Store(const TextArea& memo) = 0;
};

// The system clipboard: what the converters write (Clipboard::SetAsText, with its two
// errors), and what paste reads.
class SystemClipboard : public Clipboard {
public:
    // The clipboard's text; the empty text when it holds none or holds no text.
    // EClipboardException when it cannot be opened, EClipboardRefused where the program may
    // not read it.
    virtual std::u16string Text() = 0;
};

// The conversations with the person and the desktop. Captions and buttons are Japanese
// whatever the system language.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Input box with a title, a one-line prompt, an edit field pre-filled with defaultText
    // and "OK" / "キャンセル". The edited text on OK; nothing on キャンセル or when the box is
    // closed.
    virtual std::optional<std::u16string> InputQuery(std::u16string_view title,
                                                     std::u16string_view prompt,
                                                     std::u16string_view defaultText) = 0;
    // The same, with defaultText unchanged for キャンセル.
    std::u16string InputBox(std::u16string_view title, std::u16string_view prompt,
                            std::u16string_view defaultText) {
        return InputQuery(title, prompt, defaultText).value_or(std::u16string(defaultText));
    }
    // Confirmation box "確認" with "はい(&Y)" (the default) and "いいえ(&N)": true for Yes;
    // No or closing the box give false.
    virtual bool Confirm(std::u16string_view question) = 0;
    // Information box "情報" with a single "OK".
    virtual void Inform(std::u16string_view text) = 0;
    // Error box: stop icon, one "OK", the given caption and text.
    virtual void ShowError(std::u16string_view caption, std::u16string_view text) = 0;
    // Asks the desktop to open address with the verb "open" (the default browser for a web
    // or file address). The result is ignored; nothing is ever reported.
    virtual void OpenUrl(std::u16string_view address) = 0;
};

// The window itself, its place among the screens, its status line and its input.
class WindowSeam {
public:
    virtual ~WindowSeam() = default;
    // The window's outer frame (title bar and borders included), in screen pixels.
    virtual Rect FrameGeometry() = 0;
    // Moves the window so that its outer frame's top-left corner is at topLeft.
    virtual void MoveFrameTo(Point topLeft) = 0;
    // The primary screen's size, and the rectangle of every screen; empty when not known.
    virtual Size PrimaryScreenSize() = 0;
    virtual std::vector<Rect> ScreenRects() = 0;
    // Shows message on the status line, for people and for screen readers, until the next.
    virtual void ShowStatus(std::u16string_view message) = 0;
    // Gives the keyboard focus to the text area.
    virtual void FocusTextArea() = 0;
    // Makes the items of the kinds the person made, named names in this order, where the
    // layout's menu puts them (layout::Items::MadeKinds), in place of those it showed before.
    virtual void ShowMadeKinds(const std::vector<std::u16string>& names) = 0;
    // From BeginWait to EndWait a blocking request runs on the one thread: the window shows
    // it is busy and takes no input. Clicks and keys given meanwhile are dropped at EndWait,
    // never run afterwards.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
};

// A file the person picked.
struct PickedFile {
    std::u16string name; // without its folder
    std::string bytes;
};

// Moving a file between the program's own storage and the person's files, for a shell whose
// storage the person cannot reach otherwise: the browser page's.
class FileTransfer {
public:
    virtual ~FileTransfer() = default;
    // Hands bytes to the person as a file named name (a download).
    virtual void Offer(std::u16string_view name, std::string_view bytes) = 0;
    // Asks the person for a file of theirs; nothing when they cancel. EFileReadError naming
    // it when it cannot be read.
    virtual std::optional<PickedFile> Pick() = 0;
};

// Everything a shell hands to the commands, by reference; the shell owns it all and keeps
// it alive as long as the commands. files is null where the person reaches the program's
// files themselves (the desktops).
struct Shell {
    TextAreaSeam& textArea;
    SystemClipboard& clipboard;
    Desktop& desktop;
    WindowSeam& window;
    FileTransfer* files = nullptr;
};

} // namespace kasorel
