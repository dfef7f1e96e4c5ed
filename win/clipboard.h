#pragma once

// The system clipboard as Unicode text (CF_UNICODETEXT).

#include "commands/seams.h"

#include <string>

#include <windows.h>

namespace kasorel::win {

// The system's text for a Win32 error code, without its trailing line break; the code in
// decimal when the system has none.
std::u16string SystemErrorText(DWORD code);

class Win32Clipboard : public SystemClipboard {
public:
    // owner becomes the clipboard's owner whenever text is put on it.
    explicit Win32Clipboard(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    // EClipboardException with the system's reason when the clipboard stays held by another
    // program; EOutOfResources when, once emptied, it refuses the text.
    void SetAsText(std::u16string_view t) override;
    std::u16string Text() override;

private:
    HWND owner_;
};

} // namespace kasorel::win
