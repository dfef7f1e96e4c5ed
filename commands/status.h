#pragma once

// What the status line under the buttons says after each command. A command names itself
// by its caption; counts are ASCII digits; every colon is followed by one blank.

#include <string>
#include <string_view>

namespace kasorel::status {

// "<command>: <rows> 行をクリップボードにコピーしました", or with no row
// "<command>: 変換できる行がありませんでした".
std::u16string Copied(std::u16string_view command, int rows);

// The foreign dividend command's Copied message followed by " (1 USD = <rate> 円)", rate
// being the text of the rows' rate column.
std::u16string CopiedAtRate(std::u16string_view command, int rows, std::u16string_view rate);

// "<command>: 為替レートを取得できませんでした": the rate query failed, nothing was converted.
std::u16string NoRate(std::u16string_view command);

// "<command>: エラーのため中止しました": an error box ended the command.
std::u16string Aborted(std::u16string_view command);

// "設定を保存しました: <path>", path being the settings file's full path.
std::u16string Saved(std::u16string_view path);

// "<command>: <lines> 行を貼り付けました", or with no text on the clipboard
// "<command>: クリップボードにテキストがありません".
std::u16string Pasted(std::u16string_view command, int lines);
std::u16string NothingToPaste(std::u16string_view command);

} // namespace kasorel::status
