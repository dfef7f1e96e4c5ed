#include "convert/domestic.h"

#include "convert/primitives.h"

#include <optional>

namespace kasorel {

namespace {

// The first columns of a row: date, category, name, and the empty column after it, with
// room left for the amount so that closing the row does not copy it again.
QString RowStart(const QString& date, const QString& name) {
    const QString category = QStringLiteral("\t配当国内\t");
    QString row;
    row.reserve(date.size() + category.size() + name.size() + 32);
    row += date;
    row += category;
    row += name;
    row += u'\t';
    row += u'\t';
    return row;
}

// The amount line ends in its unit ("円"), which is cut off. It is one character, two code
// units when it is a surrogate pair; a cut counted in code units but applied as a character
// count would keep the unit whenever a pair stands earlier in the amount.
void DropLastCharacter(QString& s) {
    const int n = Length(s);
    const bool pair = n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate();
    const int width = pair ? 2 : 1;
    Delete(s, CheckedSub(CheckedAdd(n, 1), width), width);
}

} // namespace

void ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                              const std::function<QString()>& dateText) {
    ResultList list;
    const QString nameMarker = QStringLiteral("銘柄名");
    const QString amountMarker = QStringLiteral("入金額");
    std::optional<QString> open;
    const int n = memo.Count();
    for (int i = 0; i < n; i = CheckedAdd(i, 1)) {
        const QString line = memo.Get(i);
        // Most lines are neither kind; their first code unit already tells, without cutting
        // a head off them.
        if (line.isEmpty() ||
            (line.front() != nameMarker.front() && line.front() != amountMarker.front()))
            continue;
        QString work = line;
        const QString head = AnsiLeftStr(line, 3);
        if (head == nameMarker) {
            const QString date = dateText();
            Delete(work, 1, 10);
            open = RowStart(date, work);
        }
        if (head == amountMarker) {
            Delete(work, 1, 10);
            DropLastCharacter(work);
            // An amount with nothing open still gets its date, category and empty name, so it
            // lands in the spreadsheet's amount column like every other amount.
            if (!open)
                open = RowStart(dateText(), QString());
            *open += u'-';
            *open += work;
            list.Add(*open);
            open.reset();
        }
    }
    const QString text = list.Text();
    memo.SetText(text);
    clipboard.SetAsText(text);
}

} // namespace kasorel
