// The 楽天カード command through the Windows window (load Memo1 into the model, convert,
// write it back as one undoable edit) next to the cost of merely showing the resulting text in
// a bare EDIT control with WM_SETTEXT, in the same run. Google Benchmark does not cross-build
// here, so the program times itself: it prints the median of each and their ratio.
//   win_window_bench [lines (100000)] [runs (5)]
#include "win/form1.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <commctrl.h>
#include <windows.h>

namespace {

// The clipboard the command writes while it is timed: it only keeps the text alive.
class NullClipboard : public kasorel::SystemClipboard {
public:
    void SetAsText(std::u16string_view t) override { size_ += t.size(); }
    std::u16string Text() override { return {}; }
    std::size_t size_ = 0;
};

std::wstring Number(int n, int width) {
    std::wstring digits = std::to_wstring(n);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), L'0');
    return digits;
}

// A statement of about `lines` lines: a heading, then groups of five lines, each giving one
// row, as the Linux window's benchmark makes them.
std::wstring Statement(int lines) {
    std::wstring text = L"明細\r\n";
    for (int i = 0; i < lines / 5; ++i)
        text += L"2024/05/" + Number(i % 28 + 1, 2) + L"\tショップ" + std::to_wstring(i) + L"\t" +
                std::to_wstring(i * 7 % 100000) + L" 円\r\n支払方法\t一括\r\nx\r\ny\r\n";
    return text;
}

std::wstring TextOf(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

template <class F> double Milliseconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char* argv[]) {
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    NullClipboard clipboard;
    kasorel::win::TForm1 form(nullptr, &clipboard);
    const std::wstring statement = Statement(lines);

    // The bare control: a multi-line EDIT with no length limit in a plain window.
    HWND parent = CreateWindowExW(0, WC_STATICW, L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 693, 612,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND edit =
        CreateWindowExW(0, WC_EDITW, L"",
                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                        0, 0, 693, 521, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);

    std::vector<double> command, bare;
    std::wstring result;
    for (int run = 0; run < runs; ++run) {
        SetWindowTextW(form.Memo1(), statement.c_str());
        command.push_back(Milliseconds([&] { form.Button1Click(); }));
        if (run == 0)
            result = TextOf(form.Memo1());
        SetWindowTextW(edit, statement.c_str());
        bare.push_back(Milliseconds([&] { SetWindowTextW(edit, result.c_str()); }));
    }
    if (clipboard.size_ == 0 || result.size() >= statement.size()) {
        std::fprintf(stderr, "win_window_bench: the command converted nothing\n");
        return 1;
    }
    const double c = Median(command), b = Median(bare);
    std::printf("%-36s %7d lines  median %9.1f ms of %d\n", "Button1Click through the window",
                lines, c, runs);
    std::printf("%-36s %7d lines  median %9.1f ms of %d\n", "WM_SETTEXT of the result, bare EDIT",
                lines, b, runs);
    std::printf("ratio %.2f\n", c / b);
    DestroyWindow(parent);
    return 0;
}
