#include "win/memo.h"

#include "commands/textdiff.h"
#include "win/wide.h"

#include <commctrl.h>

namespace kasorel::win {

namespace {

COLORREF ColourRef(layout::Colour c) {
    return RGB(c.red, c.green, c.blue);
}

// The code-unit offset of pos in the text of memo, whose lines are joined by CR LF.
std::size_t OffsetOf(const TextArea& memo, TextPos pos) {
    std::size_t offset = 0;
    for (int i = 0; i < pos.line && i < memo.LineCount(); ++i)
        offset += memo.Line(i).size() + 2;
    return offset + static_cast<std::size_t>(pos.column);
}

} // namespace

Memo::Memo(HWND parent, int id) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Screen readers name an edit after the static text right before it; this one is never
    // shown, the edit's own text being the statement.
    const std::wstring name = ToWide(layout::MemoAccessibleName);
    label_ = CreateWindowExW(0, WC_STATICW, name.c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0,
                             0, parent, nullptr, instance, nullptr);
    edit_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_EDITW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(edit_, EM_SETLIMITTEXT, 0, 0);
    background_ = CreateSolidBrush(ColourRef(layout::MemoBackground));
    SetWindowSubclass(edit_, EditProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

Memo::~Memo() {
    if (IsWindow(edit_))
        RemoveWindowSubclass(edit_, EditProc, 0);
    DeleteObject(background_);
}

void Memo::Relayout(const Dpi& dpi, const RECT& place) {
    if (!font_.Handle() || dpi != dpi_) {
        dpi_ = dpi;
        font_ = Font(layout::MemoFont.family, dpi.Scale(layout::MemoFont.pixelHeight));
        SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
    }
    SetWindowPos(edit_, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(edit_, nullptr, TRUE);
}

LRESULT Memo::Colour(HDC dc) const {
    SetTextColor(dc, ColourRef(layout::MemoText));
    SetBkColor(dc, ColourRef(layout::MemoBackground));
    return reinterpret_cast<LRESULT>(background_);
}

std::u16string Memo::WidgetText() const {
    const int length = GetWindowTextLengthW(edit_);
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    if (length > 0) {
        const int copied =
            GetWindowTextW(edit_, reinterpret_cast<wchar_t*>(text.data()), length + 1);
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    }
    return text;
}

bool Memo::CaretShownAt(DWORD position) const {
    POINT caret{};
    if (!GetCaretPos(&caret))
        return false;
    const LRESULT at = SendMessageW(edit_, EM_POSFROMCHAR, position, 0);
    return at != -1 && static_cast<short>(LOWORD(at)) == caret.x &&
           static_cast<short>(HIWORD(at)) == caret.y;
}

bool Memo::CaretAtStart(DWORD start, DWORD end) const {
    if (start == end)
        return false;
    if (GetFocus() == edit_)
        return CaretShownAt(start);
    return start == blurStart_ && end == blurEnd_ && blurCaretAtStart_;
}

TextArea Memo::Load() {
    const std::u16string text = WidgetText();
    TextArea memo(text);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const TextPos first = TextArea::PositionIn(text, static_cast<std::ptrdiff_t>(start));
    const TextPos last = TextArea::PositionIn(text, static_cast<std::ptrdiff_t>(end));
    if (CaretAtStart(start, end))
        memo.SetSelection(last, first);
    else
        memo.SetSelection(first, last);
    return memo;
}

void Memo::Store(const TextArea& memo) {
    const std::u16string before = WidgetText();
    const std::u16string after = memo.Text();
    if (before != after) {
        const ChangedMiddle same = FindChangedMiddle(before, after);
        const std::wstring middle(after.begin() + static_cast<std::ptrdiff_t>(same.prefix),
                                  after.end() - static_cast<std::ptrdiff_t>(same.suffix));
        // The command becomes the edit's one undo step, with nothing typed before it merged in.
        SendMessageW(edit_, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageW(edit_, EM_SETSEL, same.prefix, before.size() - same.suffix);
        SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(middle.c_str()));
    }
    SendMessageW(edit_, EM_SETSEL, OffsetOf(memo, memo.Anchor()), OffsetOf(memo, memo.Caret()));
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK Memo::EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) noexcept {
    return reinterpret_cast<Memo*>(self)->OnEditMessage(hwnd, message, wParam, lParam);
}

LRESULT Memo::OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
    switch (message) {
    case WM_KEYDOWN:
        // Windows' EDIT has no select-all key of its own.
        if (wParam == 'A' && ctrl) {
            SendMessageW(hwnd, EM_SETSEL, 0, -1);
            return 0;
        }
        break;
    case WM_CHAR:
        // The character Ctrl+A types; the key did its work above.
        if (wParam == 0x01 && ctrl)
            return 0;
        break;
    case WM_GETDLGCODE:
        if (const MSG* key = reinterpret_cast<const MSG*>(lParam);
            key && key->message == WM_KEYDOWN &&
            (key->wParam == VK_TAB || key->wParam == VK_ESCAPE)) {
            // Tab moves on to the buttons, as the dialog manager does it. Escape belongs to no
            // one here: a multi-line EDIT would close its parent window on it.
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        }
        break;
    case WM_KILLFOCUS: {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        // Still the edit's caret: the EDIT destroys it only on handling this message.
        blurCaretAtStart_ = start != end && CaretShownAt(start);
        blurStart_ = start;
        blurEnd_ = end;
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, EditProc, 0);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace kasorel::win
