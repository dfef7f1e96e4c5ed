#include "app/startup.h"

#include "app/form1.h"
#include "commands/startup.h"
#include "rates/http.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <iostream>

namespace kasorel {

int RunKasorel(int argc, char* argv[]) {
    // Before Qt, which needs a display: the options are answered without one.
    if (const auto status = AnswerCommandLine(argc, argv, std::cout))
        return *status;
    InitHttpTransport();

    QApplication app(argc, argv);
    InstallQtJapanese(app);
    {
        TForm1 form;
        form.show();
        app.exec();
    }
    return 0;
}

bool InstallQtJapanese(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace kasorel
