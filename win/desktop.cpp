#include "win/desktop.h"

#include "win/wide.h"

#include <algorithm>
#include <string>
#include <vector>

#include <shellapi.h>

namespace kasorel::win {

namespace {

// The window's default font, in points at 96 DPI: 12 px.
constexpr WORD kDialogPoints = 9;
constexpr wchar_t kDialogFace[] = L"Segoe UI";

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr int kPromptId = 100;
constexpr int kEditId = 101;

// An in-memory dialog template: DLGTEMPLATE, its items, each DWORD-aligned.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, std::u16string_view title, int items) {
        DLGTEMPLATE head{};
        head.style = style;
        head.cdit = static_cast<WORD>(items);
        head.cx = cx;
        head.cy = cy;
        append(&head, sizeof head);
        word(0); // no menu
        word(0); // the standard dialog class
        text(title);
        word(kDialogPoints);
        text(kDialogFace);
    }

    void Item(DWORD style, short x, short y, short cx, short cy, int id, WORD atom,
              std::u16string_view caption) {
        align();
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = static_cast<WORD>(id);
        append(&item, sizeof item);
        word(0xFFFF);
        word(atom);
        text(caption);
        word(0); // no creation data
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void append(const void* data, std::size_t bytes) {
        const auto* from = static_cast<const WORD*>(data);
        words_.insert(words_.end(), from, from + bytes / sizeof(WORD));
    }
    void word(WORD w) { words_.push_back(w); }
    void text(std::u16string_view s) {
        words_.insert(words_.end(), s.begin(), s.end());
        word(0);
    }
    void text(std::wstring_view s) {
        words_.insert(words_.end(), s.begin(), s.end());
        word(0);
    }
    void align() {
        if (words_.size() % 2 != 0)
            word(0);
    }
    // DLGTEMPLATE and DLGITEMTEMPLATE are sizes of whole WORDs; vector storage is aligned
    // for DWORD access at its start.
    std::vector<WORD> words_;
};

struct InputState {
    std::u16string prompt;
    std::u16string defaultText;
    std::u16string result;
};

// Over the middle of the window that asks, inside the work area of its monitor.
void CentreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (!owner)
        return;
    RECT over{};
    RECT box{};
    GetWindowRect(owner, &over);
    GetWindowRect(dialog, &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int left = std::clamp<int>(over.left + (over.right - over.left - width) / 2, area.left,
                                     std::max<int>(area.left, area.right - width));
    const int top = std::clamp<int>(over.top + (over.bottom - over.top - height) / 2, area.top,
                                    std::max<int>(area.top, area.bottom - height));
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SendDlgItemMessageW(dialog, kEditId, EM_SETLIMITTEXT, 0, 0);
        SetDlgItemTextW(dialog, kPromptId, Wide(state->prompt));
        SetDlgItemTextW(dialog, kEditId, Wide(state->defaultText));
        CentreOnOwner(dialog);
        return TRUE; // the focus goes to the edit, its text selected
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
            HWND edit = GetDlgItem(dialog, kEditId);
            const int length = GetWindowTextLengthW(edit);
            std::u16string text(static_cast<std::size_t>(length), u'\0');
            if (length > 0) {
                const int copied =
                    GetWindowTextW(edit, reinterpret_cast<wchar_t*>(text.data()), length + 1);
                text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
            }
            state->result = std::move(text);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

// While a confirmation box is up on this thread, names its buttons in Japanese: MessageBoxW
// labels them in the system's language.
HHOOK labelHook = nullptr;

LRESULT CALLBACK LabelButtons(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDYES, L"はい(&Y)");
        SetDlgItemTextW(box, IDNO, L"いいえ(&N)");
        const LRESULT next = CallNextHookEx(labelHook, code, wParam, lParam);
        UnhookWindowsHookEx(labelHook);
        labelHook = nullptr;
        return next;
    }
    return CallNextHookEx(labelHook, code, wParam, lParam);
}

} // namespace

std::optional<std::u16string> Win32Desktop::InputQuery(std::u16string_view title,
                                                       std::u16string_view prompt,
                                                       std::u16string_view defaultText) {
    // Dialog units: the box is wide enough for an address, the buttons at its right.
    DialogTemplate form(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                        220, 64, title, 4);
    form.Item(SS_LEFT | SS_NOPREFIX, 7, 7, 206, 10, kPromptId, kStaticClass, u"");
    form.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 20, 206, 13, kEditId,
              kEditClass, u"");
    form.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 109, 42, 50, 15, IDOK, kButtonClass, u"OK");
    form.Item(BS_PUSHBUTTON | WS_TABSTOP, 163, 42, 50, 15, IDCANCEL, kButtonClass, u"キャンセル");

    InputState state{std::u16string(prompt), std::u16string(defaultText), {}};
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), form.Get(), owner_,
                                                   InputProc, reinterpret_cast<LPARAM>(&state));
    if (answer != IDOK)
        return std::nullopt;
    return state.result;
}

bool Win32Desktop::Confirm(std::u16string_view question) {
    const std::u16string text(question);
    labelHook = SetWindowsHookExW(WH_CBT, LabelButtons, nullptr, GetCurrentThreadId());
    const int answer =
        MessageBoxW(owner_, Wide(text), L"確認", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (labelHook) {
        UnhookWindowsHookEx(labelHook);
        labelHook = nullptr;
    }
    return answer == IDYES;
}

void Win32Desktop::Inform(std::u16string_view text) {
    const std::u16string message(text);
    MessageBoxW(owner_, Wide(message), L"情報", MB_OK | MB_ICONINFORMATION);
}

void Win32Desktop::ShowError(std::u16string_view caption, std::u16string_view text) {
    const std::u16string title(caption);
    const std::u16string message(text);
    MessageBoxW(owner_, Wide(message), Wide(title), MB_OK | MB_ICONSTOP);
}

void Win32Desktop::OpenUrl(std::u16string_view address) {
    const std::u16string target(address);
    ShellExecuteW(owner_, L"open", Wide(target), nullptr, nullptr, SW_SHOWNORMAL);
}

} // namespace kasorel::win
