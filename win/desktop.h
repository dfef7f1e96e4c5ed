#pragma once

// The dialogs and the shell's "open", owned by the main window.

#include "commands/seams.h"

#include <windows.h>

namespace kasorel::win {

class Win32Desktop : public Desktop {
public:
    explicit Win32Desktop(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    // A modal dialog in the window's font ("Segoe UI" 9 pt), laid out in dialog units so it
    // scales with the font and the monitor.
    std::optional<std::u16string> InputQuery(std::u16string_view title, std::u16string_view prompt,
                                             std::u16string_view defaultText) override;
    bool Confirm(std::u16string_view question) override;
    void Inform(std::u16string_view text) override;
    void ShowError(std::u16string_view caption, std::u16string_view text) override;
    void OpenUrl(std::u16string_view address) override;

private:
    HWND owner_;
};

} // namespace kasorel::win
