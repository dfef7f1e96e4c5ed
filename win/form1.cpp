#include "win/form1.h"

#include "commands/layout.h"
#include "win/wide.h"

#include <commctrl.h>

namespace kasorel::win {

namespace {

constexpr wchar_t kWindowClass[] = L"TForm1";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
// Clear of the dialog manager's IDOK and IDCANCEL, which it sends for Enter and Escape.
constexpr int kMemoId = 10;
constexpr int kStatusId = 11;
constexpr int kFirstButtonId = 100;
constexpr int kFirstMenuId = 200;
constexpr int kFirstMadeKindId = 300;

// Input the user may give while a blocking request runs.
constexpr UINT kNonClientMouseFirst = WM_NCMOUSEMOVE;
constexpr UINT kNonClientMouseLast = 0x00AD; // WM_NCXBUTTONDBLCLK

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM screens) noexcept {
    reinterpret_cast<std::vector<Rect>*>(screens)->push_back(
        Rect{area->left, area->top, area->right - area->left, area->bottom - area->top});
    return TRUE;
}

} // namespace

void TForm1::RegisterWindowClass() {
    // Once per process; every window of the class is a TForm1.
    [[maybe_unused]] static const ATOM registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WndProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
        wc.hIconSm = static_cast<HICON>(LoadImageW(wc.hInstance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // The system's desktop colour.
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BACKGROUND + 1));
        wc.lpszClassName = kWindowClass;
        return RegisterClassExW(&wc);
    }();
}

TForm1::TForm1(Desktop* desktop, SystemClipboard* clipboard)
    : desktop_(desktop ? *desktop : systemDesktop_),
      clipboard_(clipboard ? *clipboard : systemClipboard_),
      commands_(Shell{memoSeam_, clipboard_, desktop_, *this}) {
    RegisterWindowClass();
    const std::wstring caption = ToWide(layout::WindowCaption);
    HWND created =
        CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, caption.c_str(), kStyle, CW_USEDEFAULT,
                        0, CW_USEDEFAULT, 0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!created)
        return;
    dpi_ = Dpi::Of(hwnd_);
    systemDesktop_.SetOwner(hwnd_);
    systemClipboard_.SetOwner(hwnd_);
    CreateControls();
    CreateMenuBar();
    OrderForTabbing();
    ApplyDpi(true);
    lastFocus_ = memo_->Handle();
    commands_.FormCreate();
}

TForm1::~TForm1() {
    if (hwnd_ && IsWindow(hwnd_))
        DestroyWindow(hwnd_);
    if (accelerators_)
        DestroyAcceleratorTable(accelerators_);
}

const CommandLink* TForm1::Button(std::string_view name) const {
    for (const auto& button : buttons_)
        if (button->Entry().name == name)
            return button.get();
    return nullptr;
}

CommandLink* TForm1::ButtonOf(HWND control) {
    for (const auto& button : buttons_)
        if (button->Handle() == control)
            return button.get();
    return nullptr;
}

void TForm1::Show(int how) {
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    SetFocus(lastFocus_);
}

void TForm1::CreateControls() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    memo_ = std::make_unique<Memo>(hwnd_, kMemoId);
    for (std::size_t i = 0; i < layout::Buttons.size(); ++i)
        buttons_.push_back(std::make_unique<CommandLink>(
            hwnd_, kFirstButtonId + static_cast<int>(i), layout::Buttons[i]));
    status_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance,
                              nullptr);
}

void TForm1::CreateMenuBar() {
    menu_ = CreateMenu();
    std::vector<ACCEL> shortcuts;
    HMENU popup = nullptr;
    std::u16string_view current;
    for (std::size_t i = 0; i < layout::Menu.size(); ++i) {
        const layout::MenuItem& item = layout::Menu[i];
        // The person reaches the settings file here themselves.
        if (item.shells == layout::Shells::WithoutFiles)
            continue;
        if (!popup || item.menu != current) {
            popup = CreatePopupMenu();
            current = item.menu;
            AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                        ToWide(item.menu).c_str());
        }
        if (item.items == layout::Items::MadeKinds) {
            madePopup_ = popup;
            madePosition_ = GetMenuItemCount(popup);
            continue;
        }
        std::u16string text(item.caption);
        if (item.shortcut == layout::Shortcut::CtrlEnter) {
            text += u'\t';
            text += layout::CtrlEnterText;
            // VK_RETURN is either Enter key, the keypad's too.
            shortcuts.push_back(ACCEL{FCONTROL | FVIRTKEY, VK_RETURN,
                                      static_cast<WORD>(kFirstMenuId + static_cast<int>(i))});
        }
        AppendMenuW(popup, MF_STRING, kFirstMenuId + static_cast<UINT_PTR>(i),
                    ToWide(text).c_str());
    }
    SetMenu(hwnd_, menu_);
    if (!shortcuts.empty())
        accelerators_ =
            CreateAcceleratorTableW(shortcuts.data(), static_cast<int>(shortcuts.size()));
}

void TForm1::OrderForTabbing() {
    // The dialog manager tabs through the children in z-order.
    std::vector<HWND> order;
    for (std::string_view name : layout::TabOrder) {
        if (name == "Memo1") {
            order.push_back(memo_->Label());
            order.push_back(memo_->Handle());
        } else if (const CommandLink* button = Button(name)) {
            order.push_back(button->Handle());
        }
    }
    order.push_back(status_);
    HWND after = HWND_TOP;
    for (HWND control : order) {
        SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = control;
    }
}

SIZE TForm1::LayoutFrameSize() const {
    // The frame's borders, title and menu bar as they are now, and the status bar, which sizes
    // itself to its font: the window grows by it.
    RECT frame{};
    RECT client{};
    RECT bar{};
    GetWindowRect(hwnd_, &frame);
    GetClientRect(hwnd_, &client);
    GetWindowRect(status_, &bar);
    return SIZE{dpi_.Scale(layout::ClientSize.width) + (frame.right - frame.left) -
                    (client.right - client.left),
                dpi_.Scale(layout::ClientSize.height) + (bar.bottom - bar.top) +
                    (frame.bottom - frame.top) - (client.bottom - client.top)};
}

void TForm1::ApplyDpi(bool resize) {
    windowFont_ = Font(layout::WindowFont.family, dpi_.Scale(layout::WindowFont.pixelHeight));
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont_.Handle()), FALSE);
    SendMessageW(status_, WM_SIZE, 0, 0);
    for (const auto& button : buttons_)
        button->Relayout(dpi_, layout::WindowFont.family, layout::WindowFont.pixelHeight);
    if (resize) {
        const SIZE size = LayoutFrameSize();
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Relayout();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TForm1::Relayout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    SendMessageW(status_, WM_SIZE, 0, 0);
    memo_->Relayout(dpi_, RECT{0, 0, client.right, dpi_.Scale(layout::PanelHeight)});
}

bool TForm1::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN)
        return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0 || GetKeyState(VK_SHIFT) < 0)
        return false;
    // Outside a dialog a button ignores Enter; a person on the keyboard expects it to run the
    // command, as Space does.
    if (CommandLink* button = ButtonOf(msg.hwnd)) {
        SendMessageW(button->Handle(), BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

void TForm1::Dispatch(MSG& msg) {
    // The layout's shortcuts, wherever the keyboard is in the window.
    if (accelerators_ && hwnd_ && TranslateAcceleratorW(hwnd_, accelerators_, &msg))
        return;
    if (PreTranslate(msg))
        return;
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

LRESULT CALLBACK TForm1::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TForm1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == NM_CUSTOMDRAW)
            if (const CommandLink* button = ButtonOf(header->hwndFrom))
                return button->CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(lParam));
        break;
    }
    case WM_CTLCOLOREDIT:
        if (memo_ && reinterpret_cast<HWND>(lParam) == memo_->Handle())
            return memo_->Colour(reinterpret_cast<HDC>(wParam));
        break;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && memo_)
            Relayout();
        return 0;
    case WM_GETMINMAXINFO:
        // The window may grow, the text area with it, but never hide part of the layout.
        if (status_) {
            const SIZE least = LayoutFrameSize();
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize.x = least.cx;
            limits->ptMinTrackSize.y = least.cy;
        }
        return 0;
    case WM_DPICHANGED: {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        dpi_ = Dpi(HIWORD(wParam));
        ApplyDpi(true);
        return 0;
    }
    case WM_ACTIVATE:
        // As a dialog does: the control that had the keyboard gets it back.
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else if (lastFocus_ && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (lastFocus_ && IsWindow(lastFocus_))
            SetFocus(lastFocus_);
        return 0;
    case WM_SETCURSOR:
        if (waiting_) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        commands_.FormClose();
        DestroyWindow(hwnd_);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TForm1::OnCommand(int id, int code, HWND control) {
    if (control) {
        CommandLink* button = ButtonOf(control);
        if (!button)
            return;
        switch (code) {
        case BN_CLICKED:
        case BN_DOUBLECLICKED: // a second click, as the button reports it with BS_NOTIFY
            (commands_.*button->Entry().handler)();
            break;
        case BN_SETFOCUS:
            button->SetDefault(true);
            break;
        case BN_KILLFOCUS:
            button->SetDefault(false);
            break;
        default:
            break;
        }
        return;
    }
    if (code == 0 && id >= kFirstMadeKindId && id < kFirstMadeKindId + madeCount_)
        return commands_.MadeKindClick(static_cast<std::size_t>(id - kFirstMadeKindId));
    // 0 from the menu, 1 from a shortcut.
    const int item = id - kFirstMenuId;
    if ((code == 0 || code == 1) && item >= 0 && item < static_cast<int>(layout::Menu.size()))
        (commands_.*layout::Menu[static_cast<std::size_t>(item)].handler)();
}

Rect TForm1::FrameGeometry() {
    RECT frame{};
    GetWindowRect(hwnd_, &frame);
    return Rect{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

void TForm1::MoveFrameTo(Point topLeft) {
    SetWindowPos(hwnd_, nullptr, topLeft.x, topLeft.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Size TForm1::PrimaryScreenSize() {
    return Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<Rect> TForm1::ScreenRects() {
    std::vector<Rect> screens;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&screens));
    return screens;
}

void TForm1::ShowStatus(std::u16string_view message) {
    const std::wstring text = ToWide(message);
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // The bar's accessible name is its text; screen readers hear of the change.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, status_, OBJID_CLIENT, CHILDID_SELF);
}

void TForm1::FocusTextArea() {
    lastFocus_ = memo_->Handle();
    SetFocus(lastFocus_);
}

void TForm1::ShowMadeKinds(const std::vector<std::u16string>& names) {
    for (int k = 0; k < madeCount_; ++k)
        DeleteMenu(madePopup_, static_cast<UINT>(kFirstMadeKindId + k), MF_BYCOMMAND);
    madeCount_ = 0;
    for (const std::u16string& name : names) {
        // A name is the item's text as it is: no letter of it marks a key.
        std::u16string text;
        for (const char16_t c : name)
            text += c == u'&' ? std::u16string(u"&&") : std::u16string(1, c);
        InsertMenuW(madePopup_, static_cast<UINT>(madePosition_ + madeCount_),
                    MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(kFirstMadeKindId + madeCount_),
                    ToWide(text).c_str());
        ++madeCount_;
    }
    DrawMenuBar(hwnd_);
}

void TForm1::BeginWait() {
    waiting_ = true;
    EnableWindow(hwnd_, FALSE);
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void TForm1::EndWait() {
    // Clicks and keys given while the window waited are still queued: they go now, before the
    // window takes input again, so none of them runs a command afterwards.
    MSG dropped;
    while (PeekMessageW(&dropped, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&dropped, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&dropped, nullptr, kNonClientMouseFirst, kNonClientMouseLast, PM_REMOVE)) {
    }
    while (PeekMessageW(&dropped, nullptr, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
    }
    waiting_ = false;
    EnableWindow(hwnd_, TRUE);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

} // namespace kasorel::win
