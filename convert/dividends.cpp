#include "convert/dividends.h"

#include "convert/primitives.h"

#include <algorithm>
#include <optional>

namespace kasorel {

namespace {

// The first columns of a row: date, category, name, and the empty column after it, with
// room left for the amount so that closing the row does not copy it again.
QString RowStart(const QString& date, const QString& category, QStringView name) {
    QString row;
    // Four tabs, and room for the amount.
    row.reserve(date.size() + category.size() + name.size() + 4 + 32);
    row += date;
    row += u'\t';
    row += category;
    row += u'\t';
    row += name;
    row += u'\t';
    row += u'\t';
    return row;
}

} // namespace

ResultList
WalkDividends(const TextArea& memo, const QString& category,
              const std::function<void(const QString& amountLine, QString& tail)>& closing,
              const std::function<QString()>& dateText) {
    ResultList list;
    const QString nameMarker = QStringLiteral("銘柄名");
    const QString amountMarker = QStringLiteral("入金額");
    std::optional<QString> open;
    QString tail;
    const int n = memo.Count();
    for (int i = 0; i < n; i = CheckedAdd(i, 1)) {
        const QString& line = memo.Line(i);
        // Most lines are neither kind; their first code unit already tells, without cutting
        // a head off them.
        if (line.isEmpty() ||
            (line.front() != nameMarker.front() && line.front() != amountMarker.front()))
            continue;
        const QString head = AnsiLeftStr(line, 3);
        if (head == nameMarker) {
            const QString date = dateText();
            // The line without its first ten code units, as Delete(name, 1, 10) leaves it.
            open = RowStart(date, category,
                            QStringView(line).sliced(std::min<qsizetype>(10, line.size())));
        }
        if (head == amountMarker) {
            tail.clear();
            closing(line, tail);
            // An amount with nothing open still gets its date, category and empty name, so it
            // lands in the spreadsheet's amount column like every other amount.
            if (!open)
                open = RowStart(dateText(), category, QString());
            *open += tail;
            list.Add(*open);
            open.reset();
        }
    }
    return list;
}

} // namespace kasorel
