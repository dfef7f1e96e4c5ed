#pragma once

// What happens before the window: the two command-line options, and Qt's own texts in
// Japanese.

#include <optional>
#include <ostream>

class QCoreApplication;

namespace kasorel {

// The program's version, the project's.
const char* Version();

// Whether this build always keeps its settings in the user's own folder, as the program
// built for the system package does, never beside the executable.
bool SettingsPerUserOnly();

// Answers "--version" ("kasorel <version>") and "--help" (a few lines of usage, in
// Japanese, UTF-8) on out, and gives the exit status 0 the program then ends with; the
// first of the two in argv counts. Any other argument is ignored: nothing is returned and
// the window opens. Reads argv only, so it works with no display.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

// Installs Qt's own Japanese translation (qtbase_ja from Qt's translations folder) in app,
// whatever the system language, so that the texts Qt draws itself (the text area's context
// menu, for one) are Japanese like the rest. False when it is not installed.
bool InstallQtJapanese(QCoreApplication& app);

} // namespace kasorel
