// Program entry: one window, one thread, exit code 0 once the window is closed.
#include "app/form1.h"
#include "rates/transport.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kasorel::InitHttpTransport();

    QApplication app(argc, argv);
    {
        kasorel::TForm1 form;
        form.show();
        app.exec();
    }
    return 0;
}
