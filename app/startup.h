#pragma once

// The program's start: its options, Qt, and Qt's own texts in Japanese.

class QCoreApplication;

namespace kasorel {

// The whole program: answers the command line, or opens the window and runs until it is
// closed. The exit status.
int RunKasorel(int argc, char* argv[]);

// Installs Qt's own Japanese translation (qtbase_ja from Qt's translations folder) in app,
// whatever the system language, so that the texts Qt draws itself (the text area's context
// menu, for one) are Japanese like the rest. False when it is not installed.
bool InstallQtJapanese(QCoreApplication& app);

} // namespace kasorel
