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

std::u16string Copied(std::u16string_view command, int rows) {
    if (rows == 0)
        return join(command, u": 変換できる行がありませんでした");
    return join(command, u": " + number(rows) + u" 行をクリップボードにコピーしました");
}

std::u16string CopiedAtRate(std::u16string_view command, int rows, std::u16string_view rate) {
    return Copied(command, rows) + u" (1 USD = " + std::u16string(rate) + u" 円)";
}

std::u16string CopiedAtTypedRate(std::u16string_view command, int rows, std::u16string_view rate) {
    return Copied(command, rows) + u" (1 USD = " + std::u16string(rate) + u" 円、入力したレート)";
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
