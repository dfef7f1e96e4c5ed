// Program entry: one window, one thread, exit code 0 once the window is closed.
#include "app/form1.h"

#include <QApplication>
#include <csignal>
#include <curl/curl.h>

int main(int argc, char* argv[]) {
    // libcurl's global set-up is not thread-safe; it must run before anything else.
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // A peer closing a socket mid-request must fail that request, not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    QApplication app(argc, argv);
    {
        kasorel::TForm1 form;
        form.show();
        app.exec();
    }
    curl_global_cleanup();
    return 0;
}
