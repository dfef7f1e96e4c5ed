#pragma once

// Qt's own texts in Japanese.

class QCoreApplication;

namespace kasorel {

// Installs Qt's own Japanese translation (qtbase_ja from Qt's translations folder) in app,
// whatever the system language, so that the texts Qt draws itself (the text area's context
// menu, for one) are Japanese like the rest. False when it is not installed.
bool InstallQtJapanese(QCoreApplication& app);

} // namespace kasorel
