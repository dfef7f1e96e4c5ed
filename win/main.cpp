// Program entry: one window, one thread, exit code 0 once the window is closed.
#include "commands/startup.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "win/form1.h"
#include "win/wide.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace {

// The command line as UTF-8 arguments, for the options every build answers.
std::optional<int> AnswerOptions() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return std::nullopt;
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(kasorel::ToUtf8(kasorel::win::FromWide(wide[i])));
    LocalFree(wide);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    return kasorel::AnswerCommandLine(count, argv.data(), std::cout);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    // Before any window: the options are answered without one.
    if (const auto status = AnswerOptions()) {
        std::cout.flush();
        return *status;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The shell's "open" may hand the address to a COM component.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    kasorel::InitHttpTransport();
    {
        kasorel::win::TForm1 form;
        if (!form.Handle())
            return 1;
        form.Show(show);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0)
            form.Dispatch(msg);
    }
    CoUninitialize();
    return 0;
}
