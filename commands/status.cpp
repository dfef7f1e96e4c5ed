#include "commands/status.h"

#include "convert/unicode.h"

namespace kasorel::status {

namespace {

std::u16string number(int n) {
    return FromAscii(std::to_string(n));
}

// What went wrong with the file of the person's state named what, for a status line's end.
std::u16string ProblemNote(StateProblem problem, std::u16string_view what) {
    const std::u16string file(what);
    switch (problem) {
    case StateProblem::None:
        break;
    case StateProblem::Unreadable:
        return u"(" + file + u"を読めませんでした)";
    case StateProblem::Corrupt:
        return u"(" + file + u"の読めない行を飛ばしました)";
    case StateProblem::Newer:
        return u"(新しい版の" + file + u"のため使いませんでした)";
    }
    return {};
}

} // namespace

std::u16string Line(const Status& status) {
    if (status.command.empty())
        return status.what;
    std::u16string line(status.command);
    line += u": ";
    line += status.what;
    return line;
}

std::u16string AutoDetected(std::u16string_view kind, const Status& status) {
    return u"自動判別: " + std::u16string(kind) + u" として " + status.what;
}

Status Copied(std::u16string_view command, int rows, std::u16string_view notes) {
    return {command, (rows == 0 ? std::u16string(u"変換できる行がありませんでした")
                                : number(rows) + u" 行をクリップボードにコピーしました") +
                         std::u16string(notes)};
}

Status AllSent(std::u16string_view command, int rows, std::u16string_view notes) {
    return {command, number(rows) + u" 行はすべて送信済みのため、クリップボードはそのままです" +
                         std::u16string(notes)};
}

std::u16string SentNote(int sentBefore, int leftOut, StateProblem problem, bool unwritten) {
    std::u16string note;
    if (leftOut > 0)
        note = u"(送信済みの " + number(leftOut) + u" 行は除きました)";
    else if (sentBefore > 0)
        note = u"(うち " + number(sentBefore) + u" 行は送信済み)";
    note += ProblemNote(problem, u"送信履歴");
    if (unwritten)
        note += u"(送信履歴に書き込めませんでした)";
    return note;
}

std::u16string FilledNote(int filled, StateProblem problem) {
    std::u16string note;
    if (filled > 0)
        note = u" (うち " + number(filled) + u" 行に費目を入れました)";
    note += ProblemNote(problem, u"覚えた費目");
    return note;
}

Status Learnt(std::u16string_view command, const Learning& learning) {
    if (learning.shaped == 0)
        return {command,
                u"表の行が見つかりませんでした (日付、内容、費目、費目の横の欄、金額の 5 列"
                u"以上をタブで区切った、シートの行を貼り付けて下さい)"};
    if (learning.taught > 0)
        return {command, number(learning.taught) + u" 行から " + number(learning.descriptions) +
                             u" 件の内容を覚えました"};
    if (learning.known > 0)
        return {command,
                u"新しく覚えた行はありません (" + number(learning.known) + u" 行は覚えています)"};
    return {command, u"費目の入った行がありませんでした (3 列目か 4 列目に費目のある行を貼り付"
                     u"けて下さい)"};
}

Status NotLearnt(std::u16string_view command) {
    return {command, u"覚えた費目のファイルが新しい版か読めないため、書き込みませんでした"};
}

Status CategoriesCleared() {
    return {{}, u"覚えた費目を消去しました"};
}

std::u16string RateNote(std::u16string_view rate, bool typed) {
    return u" (1 USD = " + std::u16string(rate) + (typed ? u" 円、入力したレート)" : u" 円)");
}

Status NotRecognised(std::u16string_view command, const std::vector<std::u16string_view>& kinds) {
    std::u16string known;
    for (const std::u16string_view kind : kinds) {
        if (!known.empty())
            known += u"、";
        known += kind;
    }
    return {command, u"明細の種類を判別できませんでした (わかる種類: " + known + u")"};
}

Status NotConverted(std::u16string_view command) {
    return {command, u"変換しませんでした"};
}

Status HistoryCleared() {
    return {{}, u"送信履歴を消去しました"};
}

Status CopyRefused(std::u16string_view command, int rows) {
    return {command, number(rows) + u" 行を変換しました。クリップボードに書き込めないため、選択した"
                                    u"行を Ctrl+C でコピーしてください"};
}

Status PasteRefused(std::u16string_view command) {
    return {command, u"クリップボードを読めません。テキスト欄で Ctrl+V を押して貼り付けてください"};
}

Status Exported(std::u16string_view name) {
    return {{}, u"設定を書き出しました: " + std::u16string(name)};
}

Status NothingToExport(std::u16string_view command) {
    return {command, u"書き出す設定がまだありません"};
}

Status Imported(std::u16string_view name) {
    return {{}, u"設定を読み込みました: " + std::u16string(name)};
}

Status NoRate(std::u16string_view command) {
    return {command, u"為替レートを取得できませんでした"};
}

Status Aborted(std::u16string_view command) {
    return {command, u"エラーのため中止しました"};
}

Status Saved(std::u16string_view path) {
    return {{}, u"設定を保存しました: " + std::u16string(path)};
}

Status Pasted(std::u16string_view command, int lines) {
    return {command, number(lines) + u" 行を貼り付けました"};
}

Status Made(std::u16string_view command, std::u16string_view name, const Status& converted) {
    return {command, u"「" + std::u16string(name) + u"」を作り、" + converted.what};
}

Status NoExample(std::u16string_view command) {
    return {command, u"選んだ行に日付と金額が見つかりません"};
}

Status ExampleTooLarge(std::u16string_view command, int lines, int fields) {
    return {command, u"選べるのは 1 件の明細です (" + number(lines) + u" 行、1 行に " +
                         number(fields) + u" 項目まで)"};
}

Status TooManyKinds(std::u16string_view command, std::size_t limit) {
    return {command, u"作れる書式は " + number(static_cast<int>(limit)) +
                         u" までです。使わない書式を削除して下さい"};
}

Status KindGone(std::u16string_view name) {
    return {name, u"この書式は設定にありません"};
}

Status BrokenKind(std::u16string_view name, std::u16string_view fault) {
    return {name, u"書式の設定に誤りがあるため変換できません (" + std::u16string(fault) + u")"};
}

std::u16string UnusedKindNote(std::u16string_view name, std::u16string_view fault) {
    return u" (書式「" + std::u16string(name) + u"」は設定に誤りがあるため使いませんでした: " +
           std::u16string(fault) + u")";
}

Status NoKinds(std::u16string_view command) {
    return {command, u"作った書式はありません"};
}

Status NoSuchKind(std::u16string_view command, std::u16string_view name) {
    return {command, u"「" + std::u16string(name) + u"」という書式はありません"};
}

Status KindRemoved(std::u16string_view command, std::u16string_view name) {
    return {command, u"「" + std::u16string(name) + u"」を削除しました"};
}

Status NothingToPaste(std::u16string_view command) {
    return {command, u"クリップボードにテキストがありません"};
}

} // namespace kasorel::status
