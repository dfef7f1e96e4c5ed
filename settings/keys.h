#pragma once

// Every section and key of the settings file, with the default a reader passes, in one
// place. Names are matched without regard to case in the file, but are always written in
// this spelling.

#include <QString>

namespace kasorel::ini {

// The main window's position: prefix + "_left" and prefix + "_top", integers whose default
// is the window's current edge.
inline const QString ApSection = QStringLiteral("Ap");
inline const QString MainFormPrefix = QStringLiteral("MainForm");

// The spreadsheet's web address, opened by "スプシ表示".
inline const QString SpsheetSection = QStringLiteral("Spsheet");
inline const QString UrlKey = QStringLiteral("URL");
inline const QString UrlDefault;

// The exchange-rate service's access key.
inline const QString ExchangeRatesApiSection = QStringLiteral("exchangeratesapi");
inline const QString ApiKeyKey = QStringLiteral("APIKey");
inline const QString ApiKeyDefault;

// Whether View card rows get "Suica" as their remark.
inline const QString ViewSection = QStringLiteral("View");
inline const QString SuicaKey = QStringLiteral("Suica");
inline constexpr bool SuicaDefault = false;

// Whether co-op rows get "保険" as their remark.
inline const QString SeikyoSection = QStringLiteral("seikyo");
inline const QString HokenKey = QStringLiteral("hoken");
inline constexpr bool HokenDefault = false;

} // namespace kasorel::ini
