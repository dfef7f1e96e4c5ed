#include "commands/status.h"

#include "convert/unicode.h"

namespace kasorel::status {

namespace {

std::u16string number(int n) {
    return FromAscii(std::to_string(n));
}

std::u16string join(std::u16string_view a, std::u16string_view b) {
    std::u16string s;
    s.reserve(a.size() + b.size());
    s += a;
    s += b;
    return s;
}

} // namespace

std::u16string Copied(std::u16string_view command, int rows, std::u16string_view note) {
    if (rows == 0)
        return join(command, u": 変換できる行がありませんでした");
    return join(command, u": " + number(rows) + u" 行をクリップボードにコピーしました") +
           std::u16string(note);
}

std::u16string CopiedAtRate(std::u16string_view command, int rows, std::u16string_view rate,
                            std::u16string_view note) {
    return Copied(command, rows, note) + u" (1 USD = " + std::u16string(rate) + u" 円)";
}

std::u16string CopiedAtTypedRate(std::u16string_view command, int rows, std::u16string_view rate,
                                 std::u16string_view note) {
    return Copied(command, rows, note) + u" (1 USD = " + std::u16string(rate) +
           u" 円、入力したレート)";
}

std::u16string SentNote(int sentBefore, int leftOut, HistoryProblem problem, bool unwritten) {
    std::u16string note;
    if (leftOut > 0)
        note = u"(送信済みの " + number(leftOut) + u" 行は除きました)";
    else if (sentBefore > 0)
        note = u"(うち " + number(sentBefore) + u" 行は送信済み)";
    switch (problem) {
    case HistoryProblem::None:
        break;
    case HistoryProblem::Unreadable:
        note += u"(送信履歴を読めませんでした)";
        break;
    case HistoryProblem::Corrupt:
        note += u"(送信履歴の読めない行を飛ばしました)";
        break;
    case HistoryProblem::Newer:
        note += u"(新しい版の送信履歴のため使いませんでした)";
        break;
    }
    if (unwritten)
        note += u"(送信履歴に書き込めませんでした)";
    return note;
}

std::u16string AllSent(std::u16string_view command, int rows, std::u16string_view note) {
    return join(command,
                u": " + number(rows) + u" 行はすべて送信済みのため、クリップボードはそのままです") +
           std::u16string(note);
}

std::u16string AutoDetected(std::u16string_view message, std::u16string_view kind) {
    const std::u16string named = std::u16string(kind) + u": ";
    const std::u16string_view what =
        message.starts_with(named) ? message.substr(named.size()) : message;
    return u"自動判別: " + std::u16string(kind) + u" として " + std::u16string(what);
}

std::u16string NotRecognised(std::u16string_view command,
                             const std::vector<std::u16string_view>& kinds) {
    std::u16string known;
    for (const std::u16string_view kind : kinds) {
        if (!known.empty())
            known += u"、";
        known += kind;
    }
    return join(command, u": 明細の種類を判別できませんでした (わかる種類: " + known + u")");
}

std::u16string NotConverted(std::u16string_view command) {
    return join(command, u": 変換しませんでした");
}

std::u16string HistoryCleared() {
    return u"送信履歴を消去しました";
}

std::u16string CopyRefused(std::u16string_view command, int rows) {
    return join(command, u": " + number(rows) +
                             u" 行を変換しました。クリップボードに書き込めないため、選択した行を "
                             u"Ctrl+C でコピーしてください");
}

std::u16string PasteRefused(std::u16string_view command) {
    return join(command,
                u": クリップボードを読めません。テキスト欄で Ctrl+V を押して貼り付けてください");
}

std::u16string Exported(std::u16string_view name) {
    return join(u"設定を書き出しました: ", name);
}

std::u16string NothingToExport(std::u16string_view command) {
    return join(command, u": 書き出す設定がまだありません");
}

std::u16string Imported(std::u16string_view name) {
    return join(u"設定を読み込みました: ", name);
}

std::u16string NoRate(std::u16string_view command) {
    return join(command, u": 為替レートを取得できませんでした");
}

std::u16string Aborted(std::u16string_view command) {
    return join(command, u": エラーのため中止しました");
}

std::u16string Saved(std::u16string_view path) {
    return join(u"設定を保存しました: ", path);
}

std::u16string Pasted(std::u16string_view command, int lines) {
    return join(command, u": " + number(lines) + u" 行を貼り付けました");
}

std::u16string NothingToPaste(std::u16string_view command) {
    return join(command, u": クリップボードにテキストがありません");
}

} // namespace kasorel::status
