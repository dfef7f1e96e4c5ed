#pragma once

// What the status line under the buttons says after each command. A line is made of its
// parts, once: the command it names by its caption, and what it says of it, to which the
// notes of a conversion (what the history found, the rate) are added. Counts are ASCII
// digits; every colon is followed by one blank.

#include "state/categories.h"
#include "state/statefile.h"

#include <string>
#include <string_view>
#include <vector>

namespace kasorel::status {

// A status line in its parts. Empty what: nothing to say, the line stays as it was.
struct Status {
    std::u16string_view command; // the caption it names; empty for a line that names none
    std::u16string what;
};

// The line shown: "<command>: <what>", or what alone.
std::u16string Line(const Status& status);

// The line of a kind's command that 自動判別 ran: "自動判別: <kind> として <what>".
std::u16string AutoDetected(std::u16string_view kind, const Status& status);

// "<rows> 行をクリップボードにコピーしました", or with no row "変換できる行がありませんでした",
// and notes.
Status Copied(std::u16string_view command, int rows, std::u16string_view notes = {});

// "<rows> 行はすべて送信済みのため、クリップボードはそのままです" and notes: with the switch
// on, every row had been sent before.
Status AllSent(std::u16string_view command, int rows, std::u16string_view notes = {});

// The notes of a conversion, each in its parentheses.
// What the history of rows sent adds: "(うち <n> 行は送信済み)", or with the switch on
// "(送信済みの <n> 行は除きました)"; then the trouble with the history file, once:
// "(送信履歴を読めませんでした)", "(送信履歴の読めない行を飛ばしました)",
// "(新しい版の送信履歴のため使いませんでした)", "(送信履歴に書き込めませんでした)". Nothing when
// no row had been sent and the history was sound.
std::u16string SentNote(int sentBefore, int leftOut, StateProblem problem, bool unwritten);
// What the learnt categories add: " (うち <n> 行に費目を入れました)" (nothing for none), then the
// trouble with their file: "(覚えた費目を読めませんでした)", "(覚えた費目の読めない行を飛ばしまし
// た)", "(新しい版の覚えた費目のため使いませんでした)".
std::u16string FilledNote(int filled, StateProblem problem);
// The foreign dividend rows' rate, rate being the text of their rate column:
// " (1 USD = <rate> 円)", or for a rate the person typed " (1 USD = <rate> 円、入力したレート)".
std::u16string RateNote(std::u16string_view rate, bool typed);

// "明細の種類を判別できませんでした (わかる種類: <kinds, joined by 、>)".
Status NotRecognised(std::u16string_view command, const std::vector<std::u16string_view>& kinds);

// "変換しませんでした": the person said no.
Status NotConverted(std::u16string_view command);

// "送信履歴を消去しました".
Status HistoryCleared();

// "為替レートを取得できませんでした": the rate query failed, nothing was converted.
Status NoRate(std::u16string_view command);

// "エラーのため中止しました": an error box ended the command.
Status Aborted(std::u16string_view command);

// "設定を保存しました: <path>", path being the settings file's full path.
Status Saved(std::u16string_view path);

// "<rows> 行を変換しました。クリップボードに書き込めないため、選択した行を Ctrl+C でコピーして
// ください": the system refused the clipboard, the rows are selected instead.
Status CopyRefused(std::u16string_view command, int rows);

// "クリップボードを読めません。テキスト欄で Ctrl+V を押して貼り付けてください".
Status PasteRefused(std::u16string_view command);

// "設定を書き出しました: <name>", "書き出す設定がまだありません" and "設定を読み込みました:
// <name>", name being the file's name without its folder.
Status Exported(std::u16string_view name);
Status NothingToExport(std::u16string_view command);
Status Imported(std::u16string_view name);

// A kind made from an example (書式を作る) and run at once: "「<name>」を作り、" and what its
// conversion's line says.
Status Made(std::u16string_view command, std::u16string_view name, const Status& converted);
// "選んだ行に日付と金額が見つかりません": the example gives no shape.
Status NoExample(std::u16string_view command);
// "選べるのは 1 件の明細です (<lines> 行、1 行に <fields> 項目まで)".
Status ExampleTooLarge(std::u16string_view command, int lines, int fields);
// "作れる書式は <limit> までです。使わない書式を削除して下さい".
Status TooManyKinds(std::u16string_view command, std::size_t limit);
// A made kind that cannot convert: "この書式は設定にありません", or with rules that make no
// shape "書式の設定に誤りがあるため変換できません (<fault>)".
Status KindGone(std::u16string_view name);
Status BrokenKind(std::u16string_view name, std::u16string_view fault);
// What 自動判別's line adds, once, of a made kind it could not use:
// " (書式「<name>」は設定に誤りがあるため使いませんでした: <fault>)".
std::u16string UnusedKindNote(std::u16string_view name, std::u16string_view fault);
// 書式を削除: "作った書式はありません", "「<name>」という書式はありません", "「<name>」を削除しま
// した".
Status NoKinds(std::u16string_view command);
Status NoSuchKind(std::u16string_view command, std::u16string_view name);
Status KindRemoved(std::u16string_view command, std::u16string_view name);

// 費目を覚える: "<taught> 行から <descriptions> 件の内容を覚えました"; with no new row "新しく
// 覚えた行はありません (<known> 行は覚えています)"; with rows of the shape but no category
// "費目の入った行がありませんでした (…)"; with no row of the shape "表の行が見つかりませんでした
// (…)", which names the shape expected; "覚えた費目のファイルが新しい版か読めないため、書き込み
// ませんでした".
Status Learnt(std::u16string_view command, const Learning& learning);
Status NotLearnt(std::u16string_view command);
// "覚えた費目を消去しました".
Status CategoriesCleared();

// "<lines> 行を貼り付けました", or with no text on the clipboard "クリップボードにテキストが
// ありません".
Status Pasted(std::u16string_view command, int lines);
Status NothingToPaste(std::u16string_view command);

} // namespace kasorel::status
