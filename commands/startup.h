#pragma once

// What happens before the window: the program's version, where this build keeps its
// settings, and the two command-line options.

#include <optional>
#include <ostream>

namespace kasorel {

// The program's version, the project's.
const char* Version();

// Whether the program keeps its settings in the user's own folder only, never beside the
// executable, as the program the system package installs does; false until
// KeepSettingsPerUserOnly.
bool SettingsPerUserOnly();
// Makes SettingsPerUserOnly true for the rest of the run: the first thing the packaged
// program's main does.
void KeepSettingsPerUserOnly();

// Answers "--version" ("kasorel <version>") and "--help" (a few lines of usage, in
// Japanese, UTF-8) on out, and gives the exit status 0 the program then ends with; the
// first of the two in argv counts. Any other argument is ignored: nothing is returned and
// the window opens. Reads argv only, so it works with no display.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

} // namespace kasorel
