// The Win32 window, made for real (under Wine in CI) and examined through Win32: what the
// edit does with the commands' model, the keyboard, the layout at two DPIs, the captions,
// the clipboard, the wait and the dialogs. Only the person answering dialogs in the command
// suites is scripted; the dialogs themselves are driven here through a hook.

#include "commands/captions.h"
#include "commands/layout.h"
#include "commands/status.h"
#include "convert/errors.h"
#include "win/clipboard.h"
#include "win/desktop.h"
#include "win/fonts.h"
#include "win/form1.h"
#include "win/wide.h"

#include "commands_seams.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

#include <commctrl.h>
#include <oleacc.h>
#include <windows.h>

using kasorel::TextArea;
using kasorel::TextPos;
namespace layout = kasorel::layout;
namespace win = kasorel::win;

namespace {

std::u16string WindowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return win::FromWide(text);
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void SetEditText(HWND edit, const std::u16string& text) {
    SetWindowTextW(edit, win::Wide(text));
}

// Runs what is queued for the thread's windows, as the message loop would.
void Pump(win::TForm1& form) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        form.Dispatch(msg);
}

MSG KeyDown(HWND target, WPARAM key) {
    MSG msg{};
    msg.hwnd = target;
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    return msg;
}

// Holds Ctrl down for the thread's idea of the keyboard while it lives.
class CtrlHeld {
public:
    CtrlHeld() {
        GetKeyboardState(saved_);
        BYTE held[256];
        std::copy(std::begin(saved_), std::end(saved_), held);
        held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
        SetKeyboardState(held);
    }
    ~CtrlHeld() { SetKeyboardState(saved_); }

private:
    BYTE saved_[256];
};

std::u16string AccessibleName(HWND hwnd) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        return u"<no object>";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::u16string result = u"<no name>";
    if (object->get_accName(self, &name) == S_OK && name)
        result = win::FromWide(std::wstring_view(name, SysStringLen(name)));
    SysFreeString(name);
    object->Release();
    return result;
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(form.Handle());
        ASSERT_TRUE(folder.IsValid());
        form.Handlers().SetIniFileName(folder.File("kasorel"));
        form.Handlers().SetHistoryFileName(folder.File("kasorel.history"));
        form.Show(SW_SHOWNORMAL);
        Pump(form);
        memo = form.Memo1();
    }

    // Sends WM_DPICHANGED as the system does when the window moves to a monitor of dpi.
    void MoveToDpi(UINT dpi) {
        RECT frame{};
        GetWindowRect(form.Handle(), &frame);
        SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&frame));
        Pump(form);
    }

    TemporaryFolder folder;
    ScriptedDesktop desktop;
    win::TForm1 form{&desktop};
    HWND memo = nullptr;
};

// The edit and the model.

struct StoreCase {
    std::string name;
    std::u16string before;
    std::u16string after;
    TextPos anchor, caret;
    DWORD selStart, selEnd;
};

void PrintTo(const StoreCase& c, std::ostream* os) {
    *os << c.name;
}

class StoreTest : public WindowTest, public testing::WithParamInterface<StoreCase> {};

TEST_P(StoreTest, ShowsTheModelAndOneUndoTakesItBack) {
    const StoreCase& c = GetParam();
    SetEditText(memo, c.before);
    // Something typed before the command, which must not be undone with it.
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"T"));
    const std::u16string typed = u"T" + c.before;

    TextArea model(c.after);
    model.SetSelection(c.anchor, c.caret);
    form.Memo1Seam().Store(model);
    EXPECT_EQ(WindowText(memo), c.after);
    EXPECT_EQ(Selection(memo), std::make_pair(c.selStart, c.selEnd));

    SendMessageW(memo, EM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(memo), typed);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, StoreTest,
    testing::Values(
        StoreCase{"line_rewritten", u"a\r\nb\r\nc", u"a\r\nB2\r\nc", {1, 2}, {1, 2}, 5, 5},
        StoreCase{
            "both_ends_changed", u"x1\r\nmid\r\ny1", u"x2\r\nmid\r\ny2", {0, 0}, {2, 2}, 0, 11},
        StoreCase{"cleared", u"abc\r\ndef", u"", {0, 0}, {0, 0}, 0, 0},
        StoreCase{"rows_into_empty", u"", u"r1\r\nr2\r\n", {2, 0}, {2, 0}, 8, 8}),
    ByCaseName());

TEST_F(WindowTest, TypingRightBeforeTheCommandIsNotUndoneWithIt) {
    SetEditText(memo, u"a");
    SendMessageW(memo, EM_SETSEL, 1, 1);
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    // The command's rows go in right where the typing stopped.
    TextArea model = form.Memo1Seam().Load();
    model.Add(u"row");
    form.Memo1Seam().Store(model);
    EXPECT_EQ(WindowText(memo), u"ax\r\nrow");
    SendMessageW(memo, EM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(memo), u"ax");
}

TEST_F(WindowTest, TakesAStatementOfAnyLength) {
    // Far past the 30,000 characters an EDIT takes by default.
    std::u16string rows;
    for (int i = 0; i < 5000; ++i)
        rows += u"2024/05/01\t店\t1,000\r\n";
    form.Memo1Seam().Store(TextArea(rows));
    EXPECT_EQ(WindowText(memo).size(), rows.size());
}

TEST_F(WindowTest, StoringTheSameTextKeepsWhatTypingCanUndo) {
    SetEditText(memo, u"ab\r\ncd");
    SendMessageW(memo, EM_SETSEL, 6, 6);
    SendMessageW(memo, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"x"));
    TextArea model = form.Memo1Seam().Load();
    model.SetCaret({0, 1});
    form.Memo1Seam().Store(model);
    EXPECT_EQ(Selection(memo), std::make_pair(DWORD{1}, DWORD{1}));
    SendMessageW(memo, EM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(memo), u"ab\r\ncd");
}

TEST_F(WindowTest, LoadReadsLinesCaretAndTheSelectionsDirection) {
    SetEditText(memo, u"ab\r\ncd\r\nef");
    SendMessageW(memo, EM_SETSEL, 5, 8);
    TextArea forward = form.Memo1Seam().Load();
    EXPECT_EQ(forward.Count(), 3);
    EXPECT_EQ(forward.Anchor(), (TextPos{1, 1}));
    EXPECT_EQ(forward.Caret(), (TextPos{2, 0}));
    EXPECT_EQ(forward.SelText(), u"d\r\n");

    // Selected backwards with the keyboard in the edit: a menu command finds it so, and so does
    // a button's, though the click took the keyboard away.
    SetFocus(memo);
    SendMessageW(memo, EM_SETSEL, 8, 5);
    const TextArea fromMenu = form.Memo1Seam().Load();
    EXPECT_EQ(fromMenu.Anchor(), (TextPos{2, 0}));
    EXPECT_EQ(fromMenu.Caret(), (TextPos{1, 1}));
    SetFocus(form.Button("Button1")->Handle());
    const TextArea fromButton = form.Memo1Seam().Load();
    EXPECT_EQ(fromButton.Anchor(), (TextPos{2, 0}));
    EXPECT_EQ(fromButton.Caret(), (TextPos{1, 1}));
}

TEST_F(WindowTest, PasteIsOneUndoStep) {
    win::Win32Clipboard clipboard(form.Handle());
    clipboard.SetAsText(u"明細1\r\n明細2");
    SetEditText(memo, u"前\r\n");
    SendMessageW(memo, EM_SETSEL, 3, 3);
    form.Button3Click();
    EXPECT_EQ(WindowText(memo), u"前\r\n明細1\r\n明細2");
    EXPECT_EQ(GetFocus(), memo);
    SendMessageW(memo, EM_UNDO, 0, 0);
    EXPECT_EQ(WindowText(memo), u"前\r\n");
}

// The keyboard.

TEST_F(WindowTest, CtrlASelectsTheWholeText) {
    SetEditText(memo, u"one\r\ntwo");
    SendMessageW(memo, EM_SETSEL, 2, 2);
    SendMessageW(memo, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Selection(memo), std::make_pair(DWORD{2}, DWORD{2})) << "A alone selects nothing";
    const CtrlHeld ctrl;
    SendMessageW(memo, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Selection(memo), std::make_pair(DWORD{0}, DWORD{8}));
}

TEST_F(WindowTest, TabRunsThroughTheLayoutsOrderAndLeavesTheTextArea) {
    std::vector<std::string> visited;
    SetFocus(memo);
    for (int i = 0; i < 6; ++i) {
        MSG tab = KeyDown(GetFocus(), VK_TAB);
        form.Dispatch(tab);
        HWND focus = GetFocus();
        if (focus == memo) {
            visited.push_back("Memo1");
            continue;
        }
        std::string name = "?";
        for (const layout::Button& entry : layout::Buttons)
            if (form.Button(entry.name)->Handle() == focus)
                name = entry.name;
        visited.push_back(name);
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Button1", "Button3", "Button4", "Button6",
                                                 "Button7", "Memo1"}));
}

TEST_F(WindowTest, EscapeInTheTextAreaLeavesTheWindowOpen) {
    SetFocus(memo);
    MSG escape = KeyDown(memo, VK_ESCAPE);
    form.Dispatch(escape);
    Pump(form);
    EXPECT_TRUE(IsWindow(form.Handle()));
    EXPECT_TRUE(IsWindowVisible(memo));
}

TEST_F(WindowTest, EnterRunsTheFocusedButton) {
    win::Win32Clipboard clipboard(form.Handle());
    clipboard.SetAsText(u"貼った");
    SetEditText(memo, u"");
    HWND paste = form.Button("Button3")->Handle();
    SetFocus(paste);
    MSG enter = KeyDown(paste, VK_RETURN);
    form.Dispatch(enter);
    Pump(form);
    EXPECT_EQ(WindowText(memo), u"貼った");
    EXPECT_EQ(GetFocus(), memo);
}

// The status line and the names screen readers read.

TEST_F(WindowTest, StatusAndTextAreaAreNamedForScreenReaders) {
    EXPECT_EQ(AccessibleName(memo), layout::MemoAccessibleName);
    win::Win32Clipboard clipboard(form.Handle());
    clipboard.SetAsText(u"");
    form.Button3Click();
    const std::u16string expected =
        kasorel::status::Line(kasorel::status::NothingToPaste(kasorel::caption::Paste));
    EXPECT_EQ(WindowText(form.StatusBar()), expected);
    EXPECT_EQ(AccessibleName(form.StatusBar()), expected);
}

// The layout at two DPIs, and the captions at four.

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string DpiName(const testing::TestParamInfo<UINT>& dpi) {
    return "dpi" + std::to_string(dpi.param);
}

class LayoutTest : public WindowTest, public testing::WithParamInterface<UINT> {};

TEST_P(LayoutTest, PlacesEveryControlAtTheScaledLayout) {
    MoveToDpi(GetParam());
    const win::Dpi dpi(GetParam());
    RECT client{};
    GetClientRect(form.Handle(), &client);
    const RECT bar = ChildRect(form.StatusBar());
    EXPECT_EQ(client.right, dpi.Scale(layout::ClientSize.width));
    EXPECT_EQ(bar.top, dpi.Scale(layout::ClientSize.height)) << "the bar is below the layout";
    EXPECT_EQ(bar.bottom, client.bottom);
    const RECT text = ChildRect(memo);
    EXPECT_EQ(text.left, 0);
    EXPECT_EQ(text.top, 0);
    EXPECT_EQ(text.right, client.right);
    EXPECT_EQ(text.bottom, dpi.Scale(layout::PanelHeight));
    for (const layout::Button& entry : layout::Buttons) {
        SCOPED_TRACE(entry.name);
        HWND button = form.Button(entry.name)->Handle();
        const RECT expected = dpi.Scale(entry.geometry);
        const RECT actual = ChildRect(button);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        EXPECT_EQ(actual.right, expected.right);
        EXPECT_EQ(actual.bottom, expected.bottom);
        EXPECT_EQ(IsWindowVisible(button) != FALSE, entry.visible);
        EXPECT_EQ(WindowText(button), entry.caption);
    }
}

TEST_F(WindowTest, GrowsButNeverShrinksBelowTheLayout) {
    const win::Dpi& dpi = form.CurrentDpi();
    SetWindowPos(form.Handle(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, dpi.Scale(layout::ClientSize.width));
    EXPECT_EQ(ChildRect(form.StatusBar()).top, dpi.Scale(layout::ClientSize.height));
    SetWindowPos(form.Handle(), nullptr, 0, 0, dpi.Scale(900), dpi.Scale(800),
                 SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(ChildRect(memo).right, client.right) << "the text area takes the width";
    EXPECT_EQ(ChildRect(memo).bottom, dpi.Scale(layout::PanelHeight));
    EXPECT_EQ(ChildRect(form.StatusBar()).bottom, client.bottom);
}

// At 200 % the window is taller than the test screen, which would clip it; its captions
// are checked all the same.
INSTANTIATE_TEST_SUITE_P(Dpis, LayoutTest, testing::Values(96u, 144u), DpiName);

class CaptionTest : public WindowTest, public testing::WithParamInterface<UINT> {};

TEST_P(CaptionTest, DrawsEveryCaptionWholeAndNoSmallerThanItMust) {
    MoveToDpi(GetParam());
    const win::Dpi dpi(GetParam());
    for (const layout::Button& entry : layout::Buttons) {
        SCOPED_TRACE(entry.name);
        const win::CommandLink& button = *form.Button(entry.name);
        const RECT room = button.CaptionRect();
        const SIZE drawn = win::MeasureText(button.CaptionFont(), entry.caption);
        EXPECT_LE(drawn.cx, room.right - room.left);
        EXPECT_LE(drawn.cy, room.bottom - room.top);
        const int wanted =
            dpi.Scale(entry.ownFont ? entry.font.pixelHeight : layout::WindowFont.pixelHeight);
        ASSERT_LE(button.CaptionPixels(), wanted);
        if (button.CaptionPixels() < wanted) {
            const std::u16string_view family =
                entry.ownFont ? entry.font.family : layout::WindowFont.family;
            const win::Font larger(family, button.CaptionPixels() + 1);
            EXPECT_GT(win::MeasureText(larger.Handle(), entry.caption).cx, room.right - room.left)
                << "shrunk although one pixel more fits";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dpis, CaptionTest, testing::Values(96u, 120u, 144u, 168u, 192u), DpiName);

TEST(FontTest, AMissingFaceFallsBackToTheFirstInstalledFallback) {
    // No system has this face unless it was installed or mapped on purpose.
    ASSERT_FALSE(win::FaceExists(u"AR P丸ゴシック体E"));
    std::u16string expected;
    for (std::u16string_view fallback : layout::FallbackFamilies) {
        if (win::FaceExists(fallback)) {
            expected = fallback;
            break;
        }
    }
    ASSERT_FALSE(expected.empty()) << "the test system has none of the fallback faces";
    EXPECT_EQ(win::ResolveFace(u"AR P丸ゴシック体E"), expected);
    EXPECT_EQ(win::ResolveFace(expected), expected);
}

// The clipboard.

// A window of no use but to own the clipboard, which takes no text from a program without one.
class ClipboardOwner {
public:
    ClipboardOwner()
        : hwnd_(CreateWindowExW(0, WC_STATICW, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleHandleW(nullptr), nullptr)) {}
    ~ClipboardOwner() { DestroyWindow(hwnd_); }
    HWND Handle() const { return hwnd_; }

private:
    HWND hwnd_;
};

TEST(ClipboardTest, CarriesUnicodeTextBothWays) {
    const ClipboardOwner owner;
    win::Win32Clipboard clipboard(owner.Handle());
    clipboard.SetAsText(u"行1\t𠮷\r\n");
    EXPECT_EQ(clipboard.Text(), u"行1\t𠮷\r\n");
    clipboard.SetAsText(u"");
    EXPECT_EQ(clipboard.Text(), u"");
    ASSERT_TRUE(OpenClipboard(owner.Handle()));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(clipboard.Text(), u"") << "no text at all reads as the empty text";
}

TEST(ClipboardTest, HeldByAnotherProgramItFailsWithTheSystemsReasonAndKeepsItsText) {
    const ClipboardOwner owner;
    win::Win32Clipboard clipboard(owner.Handle());
    clipboard.SetAsText(u"earlier");
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        OpenClipboard(nullptr);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        CloseClipboard();
    });
    WaitForSingleObject(held, INFINITE);
    std::u16string message;
    try {
        clipboard.SetAsText(u"later");
    } catch (const kasorel::EClipboardException& e) {
        message = e.message();
    }
    SetEvent(release);
    other.join();
    CloseHandle(held);
    CloseHandle(release);

    const std::u16string head = u"クリップボード ";
    const std::u16string tail = u" を開けません";
    ASSERT_GT(message.size(), head.size() + tail.size()) << "no error, or no reason in it";
    EXPECT_EQ(message.substr(0, head.size()), head);
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
    const std::u16string reason =
        message.substr(head.size(), message.size() - head.size() - tail.size());
    EXPECT_EQ(reason.find_first_of(u"\r\n"), std::u16string::npos);
    EXPECT_EQ(clipboard.Text(), u"earlier");
}

// The wait of the rate query.

TEST_F(WindowTest, InputGivenDuringTheWaitIsDropped) {
    win::Win32Clipboard clipboard(form.Handle());
    clipboard.SetAsText(u"貼り付けられてはいけない");
    SetEditText(memo, u"");
    HWND paste = form.Button("Button3")->Handle();
    form.Window().BeginWait();
    EXPECT_FALSE(IsWindowEnabled(form.Handle()));
    PostMessageW(memo, WM_CHAR, 'x', 0);
    PostMessageW(paste, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(paste, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(paste), BN_CLICKED),
                 reinterpret_cast<LPARAM>(paste));
    form.Window().EndWait();
    Pump(form);
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    EXPECT_EQ(WindowText(memo), u"");
}

// Closing.

TEST_F(WindowTest, ClosingSavesThePositionAndEndsTheLoop) {
    RECT frame{};
    GetWindowRect(form.Handle(), &frame);
    SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form.Handle()));
    const std::string ini = FileBytes(folder.File("kasorel.ini"));
    EXPECT_NE(ini.find("MainForm_left=" + std::to_string(frame.left)), std::string::npos) << ini;
    EXPECT_NE(ini.find("MainForm_top=" + std::to_string(frame.top)), std::string::npos) << ini;
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The dialogs, answered through a hook on this thread as a person would answer them.

struct Seen {
    std::u16string title;
    std::vector<std::u16string> texts; // the children's texts, in order
    HICON icon = nullptr;
    RECT frame{};
};

class DialogDriver {
public:
    // answer: given the dialog, does what the person does (type, then press a button).
    explicit DialogDriver(std::function<void(HWND)> answer) : answer_(std::move(answer)) {
        current_ = this;
        hook_ = SetWindowsHookExW(WH_CBT, Hook, nullptr, GetCurrentThreadId());
    }
    ~DialogDriver() {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    Seen seen;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        DialogDriver* self = current_;
        if (code == HCBT_ACTIVATE && self && !self->done_) {
            self->done_ = true;
            HWND dialog = reinterpret_cast<HWND>(wParam);
            // Read and answered once the dialog runs, filled by then.
            SetTimer(dialog, 1, 0, [](HWND hwnd, UINT, UINT_PTR id, DWORD) {
                KillTimer(hwnd, id);
                DialogDriver* driver = current_;
                driver->seen.title = WindowText(hwnd);
                GetWindowRect(hwnd, &driver->seen.frame);
                for (HWND child = GetWindow(hwnd, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    if (const auto icon =
                            reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
                        icon && !driver->seen.icon)
                        driver->seen.icon = icon;
                    driver->seen.texts.push_back(WindowText(child));
                }
                driver->answer_(hwnd);
            });
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline DialogDriver* current_ = nullptr;
    std::function<void(HWND)> answer_;
    HHOOK hook_ = nullptr;
    bool done_ = false;
};

HWND ChildOfClass(HWND dialog, const wchar_t* className) {
    return FindWindowExW(dialog, nullptr, className, nullptr);
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

TEST(DesktopTest, InputBoxShowsTitlePromptAndTextAndGivesBackWhatWasTyped) {
    win::Win32Desktop desktop;
    DialogDriver typed([](HWND dialog) {
        SetWindowTextW(ChildOfClass(dialog, WC_EDITW), L"http://example.com/シート");
        Press(dialog, IDOK);
    });
    EXPECT_EQ(desktop.InputBox(u"スプシURLを入力して下さい", u"スプシURL", u"前の値"),
              u"http://example.com/シート");
    EXPECT_EQ(typed.seen.title, u"スプシURLを入力して下さい");
    EXPECT_EQ(typed.seen.texts,
              (std::vector<std::u16string>{u"スプシURL", u"前の値", u"OK", u"キャンセル"}));
}

TEST(DesktopTest, InputBoxCancelledGivesBackTheDefault) {
    win::Win32Desktop desktop;
    DialogDriver cancelled([](HWND dialog) {
        SetWindowTextW(ChildOfClass(dialog, WC_EDITW), L"捨てる");
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(desktop.InputBox(u"API Keyを入力して下さい", u"API Key", u"key-1"), u"key-1");
}

TEST_F(WindowTest, InputBoxOpensOverTheWindow) {
    win::Win32Desktop owned(form.Handle());
    DialogDriver driver([](HWND dialog) { Press(dialog, IDOK); });
    owned.InputBox(u"スプシURLを入力して下さい", u"スプシURL", u"");
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    const RECT& box = driver.seen.frame;
    EXPECT_NEAR((box.left + box.right) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (window.top + window.bottom) / 2, 1);
}

struct BoxCase {
    std::string name;
    std::function<bool(win::Win32Desktop&)> show; // the answer, where there is one
    int press;
    std::u16string caption;
    std::vector<std::u16string> buttons;
    LPCWSTR icon;
    bool answer;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

class MessageBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, HasItsCaptionButtonsAndIcon) {
    const BoxCase& c = GetParam();
    win::Win32Desktop desktop;
    DialogDriver driver([&](HWND box) { Press(box, c.press); });
    EXPECT_EQ(c.show(desktop), c.answer);
    EXPECT_EQ(driver.seen.title, c.caption);
    for (const std::u16string& button : c.buttons)
        EXPECT_NE(std::find(driver.seen.texts.begin(), driver.seen.texts.end(), button),
                  driver.seen.texts.end())
            << testing::PrintToString(button);
    EXPECT_EQ(driver.seen.icon, LoadIconW(nullptr, c.icon));
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxTest,
                         testing::Values(BoxCase{"confirmed",
                                                 [](win::Win32Desktop& d) {
                                                     return d.Confirm(u"ViewはSuica限定ですか?");
                                                 },
                                                 IDYES,
                                                 u"確認",
                                                 {u"はい(&Y)", u"いいえ(&N)"},
                                                 IDI_QUESTION,
                                                 true},
                                         BoxCase{"declined",
                                                 [](win::Win32Desktop& d) {
                                                     return d.Confirm(u"生協は保険限定ですか?");
                                                 },
                                                 IDNO,
                                                 u"確認",
                                                 {u"はい(&Y)", u"いいえ(&N)"},
                                                 IDI_QUESTION,
                                                 false},
                                         BoxCase{"information",
                                                 [](win::Win32Desktop& d) {
                                                     d.Inform(u"備考欄にSuicaと出力します");
                                                     return false;
                                                 },
                                                 IDOK,
                                                 u"情報",
                                                 {u"OK"},
                                                 IDI_INFORMATION,
                                                 false},
                                         BoxCase{"error",
                                                 [](win::Win32Desktop& d) {
                                                     d.ShowError(u"kasorel",
                                                                 u"範囲チェックエラー.");
                                                     return false;
                                                 },
                                                 IDOK,
                                                 u"kasorel",
                                                 {u"OK", u"範囲チェックエラー."},
                                                 IDI_HAND,
                                                 false}),
                         ByCaseName());

} // namespace
