#include "app/status.h"

namespace kasorel::status {

QString Copied(const QString& command, int rows) {
    if (rows == 0)
        return command + QStringLiteral(": 変換できる行がありませんでした");
    return command + QStringLiteral(": %1 行をクリップボードにコピーしました").arg(rows);
}

QString CopiedAtRate(const QString& command, int rows, const QString& rate) {
    return Copied(command, rows) + QStringLiteral(" (1 USD = %1 円)").arg(rate);
}

QString NoRate(const QString& command) {
    return command + QStringLiteral(": 為替レートを取得できませんでした");
}

QString Aborted(const QString& command) {
    return command + QStringLiteral(": エラーのため中止しました");
}

QString Saved(const QString& path) {
    return QStringLiteral("設定を保存しました: ") + path;
}

QString Pasted(const QString& command, int lines) {
    return command + QStringLiteral(": %1 行を貼り付けました").arg(lines);
}

QString NothingToPaste(const QString& command) {
    return command + QStringLiteral(": クリップボードにテキストがありません");
}

} // namespace kasorel::status
