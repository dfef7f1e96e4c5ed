#pragma once

// The one window as a browser page: its controls made from the layout table, every event
// forwarded to the command of the same name, the seams implemented with the browser's own
// means (web/page.js does the page's side).

#include "commands/commands.h"
#include "commands/layout.h"
#include "commands/seams.h"

#include <vector>

namespace kasorel::web {

class TForm1 : private TextAreaSeam,
               private SystemClipboard,
               private Desktop,
               private WindowSeam,
               private FileTransfer {
public:
    // Makes the page's controls from the layout and runs FormCreate.
    TForm1();

    // The command of the control made with number handler (the page's click, key or menu).
    void Run(int handler);
    // When the page goes away: FormClose.
    void Close() { commands_.FormClose(); }

    Commands& Handlers() { return commands_; }

private:
    void CreateControls();

    // TextAreaSeam
    TextArea Load() override;
    void Store(const TextArea& memo) override;
    // SystemClipboard
    void SetAsText(std::u16string_view t) override;
    std::u16string Text() override;
    // Desktop
    std::optional<std::u16string> InputQuery(std::u16string_view title, std::u16string_view prompt,
                                             std::u16string_view defaultText) override;
    bool Confirm(std::u16string_view question) override;
    void Inform(std::u16string_view text) override;
    void ShowError(std::u16string_view caption, std::u16string_view text) override;
    void OpenUrl(std::u16string_view address) override;
    // WindowSeam: a page has no place of its own among the screens; the browser window's is
    // told, and moving it is left to the browser.
    Rect FrameGeometry() override;
    void MoveFrameTo(Point) override {}
    Size PrimaryScreenSize() override;
    std::vector<Rect> ScreenRects() override;
    void ShowStatus(std::u16string_view message) override;
    void FocusTextArea() override;
    void ShowMadeKinds(const std::vector<std::u16string>& names) override;
    void BeginWait() override;
    void EndWait() override;
    // FileTransfer
    void Offer(std::u16string_view name, std::string_view bytes) override;
    std::optional<PickedFile> Pick() override;

    std::vector<layout::Handler> handlers_;
    // The made kinds' items run MadeKindClick with their handler number less this.
    static constexpr int kFirstMadeKind = 1000;
    std::string_view madeAnchor_;
    Commands commands_;
};

} // namespace kasorel::web
