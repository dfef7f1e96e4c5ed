// What a screen reader would read of the open windows, from inside the same Windows session:
// every visible top-level window of another process and its controls, one line each,
// tab-separated, in UTF-8:
//   window    <caption>   <left top width height>   <flags>   (the window's frame)
//   <class>   <text>      <left top width height>   <flags>   (a control, lower-case class)
// Places are screen pixels; flags are any of "focused", "hidden", "disabled", or "-". In
// texts, a tab is written \t, CR \r, LF \n and a backslash \\.
// Built for Windows and run under Wine by the window tests, which read the window with it.
#include <string>

#include <windows.h>

namespace {

std::string out;

void put(std::wstring_view text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'\t':
            escaped += L"\\t";
            break;
        case L'\r':
            escaped += L"\\r";
            break;
        case L'\n':
            escaped += L"\\n";
            break;
        case L'\\':
            escaped += L"\\\\";
            break;
        default:
            escaped += c;
        }
    }
    if (escaped.empty())
        return;
    const int size = static_cast<int>(escaped.size());
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, escaped.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, escaped.data(), size, bytes.data(), n, nullptr, nullptr);
    out += bytes;
}

std::wstring text_of(HWND w) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return {};
    text.resize(got);
    return text;
}

void put_rect(const RECT& r) {
    out += std::to_string(r.left) + " " + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

void put_flags(HWND w, HWND focused) {
    std::string flags;
    if (w == focused)
        flags += " focused";
    if (!IsWindowVisible(w))
        flags += " hidden";
    if (!IsWindowEnabled(w))
        flags += " disabled";
    out += flags.empty() ? "-" : flags.substr(1);
}

struct Top {
    HWND focused;
};

BOOL CALLBACK child(HWND w, LPARAM param) {
    wchar_t name[256];
    GetClassNameW(w, name, 256);
    CharLowerW(name);
    RECT r;
    GetWindowRect(w, &r);
    put(name);
    out += '\t';
    put(text_of(w));
    out += '\t';
    put_rect(r);
    out += '\t';
    put_flags(w, reinterpret_cast<Top*>(param)->focused);
    out += '\n';
    return TRUE;
}

BOOL CALLBACK top(HWND w, LPARAM) {
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(w, &process);
    if (process == GetCurrentProcessId() || !IsWindowVisible(w))
        return TRUE;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    Top t{info.hwndFocus};
    RECT r;
    GetWindowRect(w, &r);
    out += "window\t";
    put(text_of(w));
    out += '\t';
    put_rect(r);
    out += '\t';
    put_flags(w, t.focused);
    out += '\n';
    EnumChildWindows(w, child, reinterpret_cast<LPARAM>(&t));
    return TRUE;
}

} // namespace

int main() {
    EnumWindows(top, 0);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
              nullptr);
    return 0;
}
