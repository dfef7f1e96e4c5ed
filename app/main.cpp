// Program entry: one window, one thread, exit code 0 once the window is closed.
#include "app/form1.h"
#include "app/startup.h"
#include "commands/startup.h"
#include "rates/http.h"

#include <QApplication>
#include <iostream>

int main(int argc, char* argv[]) {
    // Before Qt, which needs a display: the options are answered without one.
    if (const auto status = kasorel::AnswerCommandLine(argc, argv, std::cout))
        return *status;
    kasorel::InitHttpTransport();

    QApplication app(argc, argv);
    kasorel::InstallQtJapanese(app);
    {
        kasorel::TForm1 form;
        form.show();
        app.exec();
    }
    return 0;
}
