#pragma once

// What the status line under the buttons says after each command. A command names itself
// by its caption; counts are ASCII digits; every colon is followed by one blank.

#include "settings/history.h"

#include <string>
#include <string_view>
#include <vector>

namespace kasorel::status {

// "<command>: <rows> 行をクリップボードにコピーしました" and note, or with no row
// "<command>: 変換できる行がありませんでした".
std::u16string Copied(std::u16string_view command, int rows, std::u16string_view note = {});

// The foreign dividend command's Copied message followed by " (1 USD = <rate> 円)", rate
// being the text of the rows' rate column.
std::u16string CopiedAtRate(std::u16string_view command, int rows, std::u16string_view rate,
                            std::u16string_view note = {});

// What the history of rows sent adds after the count, each in its parentheses: "(うち <n> 行は
// 送信済み)", or with the switch on "(送信済みの <n> 行は除きました)"; then the trouble with the
// history file, once: "(送信履歴を読めませんでした)", "(送信履歴の読めない行を飛ばしました)",
// "(新しい版の送信履歴のため使いませんでした)", "(送信履歴に書き込めませんでした)". Nothing when
// no row had been sent and the history was sound.
std::u16string SentNote(int sentBefore, int leftOut, HistoryProblem problem, bool unwritten);

// "<command>: <rows> 行はすべて送信済みのため、クリップボードはそのままです" and note: with the
// switch on, every row had been sent before.
std::u16string AllSent(std::u16string_view command, int rows, std::u16string_view note = {});

// message, a command's status line, as the kind 自動判別 chose says it:
// "自動判別: <kind> として <what message says after "<kind>: ">".
std::u16string AutoDetected(std::u16string_view message, std::u16string_view kind);

// "<command>: 明細の種類を判別できませんでした (わかる種類: <kinds, joined by 、>)".
std::u16string NotRecognised(std::u16string_view command,
                             const std::vector<std::u16string_view>& kinds);

// "<command>: 変換しませんでした": the person said no.
std::u16string NotConverted(std::u16string_view command);

// "送信履歴を消去しました".
std::u16string HistoryCleared();

// "<command>: 為替レートを取得できませんでした": the rate query failed, nothing was converted.
std::u16string NoRate(std::u16string_view command);

// "<command>: エラーのため中止しました": an error box ended the command.
std::u16string Aborted(std::u16string_view command);

// "設定を保存しました: <path>", path being the settings file's full path.
std::u16string Saved(std::u16string_view path);

// The foreign dividend command's Copied message at a rate the person typed:
// " (1 USD = <rate> 円、入力したレート)" after it.
std::u16string CopiedAtTypedRate(std::u16string_view command, int rows, std::u16string_view rate,
                                 std::u16string_view note = {});

// "<command>: <rows> 行を変換しました。クリップボードに書き込めないため、選択した行を Ctrl+C で
// コピーしてください": the system refused the clipboard, the rows are selected instead.
std::u16string CopyRefused(std::u16string_view command, int rows);

// "<command>: クリップボードを読めません。テキスト欄で Ctrl+V を押して貼り付けてください".
std::u16string PasteRefused(std::u16string_view command);

// "設定を書き出しました: <name>", "<command>: 書き出す設定がまだありません" and
// "設定を読み込みました: <name>", name being the file's name without its folder.
std::u16string Exported(std::u16string_view name);
std::u16string NothingToExport(std::u16string_view command);
std::u16string Imported(std::u16string_view name);

// "<command>: <lines> 行を貼り付けました", or with no text on the clipboard
// "<command>: クリップボードにテキストがありません".
std::u16string Pasted(std::u16string_view command, int lines);
std::u16string NothingToPaste(std::u16string_view command);

} // namespace kasorel::status
