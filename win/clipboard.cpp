#include "win/clipboard.h"

#include "convert/errors.h"
#include "convert/unicode.h"

#include <cstring>
#include <string>

namespace kasorel::win {

namespace {

// Another program may hold the clipboard for a moment (a clipboard manager reading what was
// just put there); a few short tries get past that without the user noticing.
constexpr int kOpenAttempts = 5;
constexpr DWORD kRetryMs = 10;

// The clipboard, open for the life of the object.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 1;; ++attempt) {
            if (OpenClipboard(owner))
                return;
            const DWORD error = GetLastError();
            if (attempt == kOpenAttempts)
                throw EClipboardException(SystemErrorText(error));
            Sleep(kRetryMs);
        }
    }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

} // namespace

std::u16string SystemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length > 0 && buffer)
        text.assign(buffer, buffer + length);
    if (buffer)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n'))
        text.pop_back();
    if (text.empty())
        text = FromAscii(std::to_string(code));
    return text;
}

void Win32Clipboard::SetAsText(std::u16string_view t) {
    const OpenedClipboard open(owner_);
    EmptyClipboard();
    const std::size_t bytes = (t.size() + 1) * sizeof(char16_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        throw EOutOfResources();
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        throw EOutOfResources();
    }
    std::memcpy(target, t.data(), t.size() * sizeof(char16_t));
    static_cast<char16_t*>(target)[t.size()] = u'\0';
    GlobalUnlock(memory);
    // On success the clipboard owns the memory; on failure it is still ours to free.
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        throw EOutOfResources();
    }
}

std::u16string Win32Clipboard::Text() {
    const OpenedClipboard open(owner_);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    const auto* text = static_cast<const char16_t*>(GlobalLock(data));
    if (!text)
        return {};
    // The text ends at its NUL, or at the end of its block should a program have left none.
    const std::size_t units = GlobalSize(data) / sizeof(char16_t);
    std::size_t length = 0;
    while (length < units && text[length] != u'\0')
        ++length;
    std::u16string result(text, length);
    GlobalUnlock(data);
    return result;
}

} // namespace kasorel::win
