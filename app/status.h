#pragma once

// What the status line under the buttons says after each command. A command names itself
// by its caption; counts are ASCII digits; every colon is followed by one blank.

#include <QString>

namespace kasorel::status {

// "<command>: <rows> 行をクリップボードにコピーしました", or with no row
// "<command>: 変換できる行がありませんでした".
QString Copied(const QString& command, int rows);

// The foreign dividend command's Copied message followed by " (1 USD = <rate> 円)", rate
// being the text of the rows' rate column.
QString CopiedAtRate(const QString& command, int rows, const QString& rate);

// "<command>: 為替レートを取得できませんでした": the rate query failed, nothing was converted.
QString NoRate(const QString& command);

// "<command>: エラーのため中止しました": an error box ended the command.
QString Aborted(const QString& command);

// "設定を保存しました: <path>", path being the settings file's full path.
QString Saved(const QString& path);

// "<command>: <lines> 行を貼り付けました", or with no text on the clipboard
// "<command>: クリップボードにテキストがありません".
QString Pasted(const QString& command, int lines);
QString NothingToPaste(const QString& command);

} // namespace kasorel::status
