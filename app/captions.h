#pragma once

// The window's captions, each written once: the buttons and menu items show them, and the
// status line names the command by them.

#include <QString>

namespace kasorel::caption {

inline const QString Paste = QStringLiteral("貼り付け");
inline const QString Rakuten = QStringLiteral("楽天カード");
inline const QString Domestic = QStringLiteral("国内配当");
inline const QString Foreign = QStringLiteral("国外配当");
inline const QString Sheet = QStringLiteral("スプシ表示");
inline const QString Probe = QStringLiteral("テスト用");
inline const QString View = QStringLiteral("Viewカード");
inline const QString Coop = QStringLiteral("T生協");
inline const QString SheetUrl = QStringLiteral("スプシURL");
inline const QString ApiKey = QStringLiteral("API設定");
inline const QString ViewSetting = QStringLiteral("View設定");
inline const QString CoopSetting = QStringLiteral("生協設定");
inline const QString Guide = QStringLiteral("作者ホームページ");

} // namespace kasorel::caption
