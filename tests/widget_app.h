#pragma once

#include <QApplication>

// The one QApplication of a widget suite, on Qt's offscreen platform unless another is
// asked for. Never destroyed: torn down among the exit handlers, it would outlive parts of
// Qt's own static state and crash.
inline QApplication& TestApp() {
    static int argc = 1;
    static char arg0[] = "kasorel_widget_test";
    static char* argv[] = {arg0, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
