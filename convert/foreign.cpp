#include "convert/foreign.h"

#include "convert/primitives.h"

#include <optional>

namespace kasorel {

namespace {

QString RowStart(const QString& date, const QString& name) {
    return date + QStringLiteral("\t配当米国\t") + name + QStringLiteral("\t\t");
}

// The amount column holds the yen paid out as a negative number. A negative dollar amount
// (a correction) gives a negative yen value; putting "-" before it would make "--303",
// which no spreadsheet reads as a number, so its magnitude is written instead.
QString YenColumn(int yen) {
    if (yen < 0)
        return IntToStr(-static_cast<std::int64_t>(yen));
    return u'-' + IntToStr(yen);
}

// r × 10 is exact in long double (53 + 4 significant bits fit the 64-bit significand), so
// the only rounding is Round's own, ties to even; k ÷ 10 in double is the double nearest it.
QString ShownRate(double rate) {
    const std::int64_t tenths = Round(FloatMul(rate, 10));
    return FloatToStr(static_cast<double>(tenths) / 10.0);
}

TextPos SelectionStart(const TextArea& memo) {
    const TextPos a = memo.Anchor();
    const TextPos c = memo.Caret();
    if (a.line != c.line)
        return a.line < c.line ? a : c;
    return a.column < c.column ? a : c;
}

} // namespace

void ConvertForeignDividends(TextArea& memo, Clipboard& clipboard, double rate,
                             const std::function<QString()>& dateText) {
    ResultList list;
    const QString nameMarker = QStringLiteral("銘柄名");
    const QString amountMarker = QStringLiteral("入金額");
    std::optional<QString> open;
    std::optional<QString> shownRate;
    const int n = memo.Count();
    for (int i = 0; i < n; i = CheckedAdd(i, 1)) {
        const QString line = memo.Get(i);
        QString work = line;
        const QString head = AnsiLeftStr(line, 3);
        if (head == nameMarker) {
            const QString date = dateText();
            Delete(work, 1, 10);
            open = RowStart(date, work);
        }
        if (head == amountMarker) {
            const int length = Length(line);
            Delete(work, 1, 10);
            work = AnsiLeftStr(work, CheckedSub(length, 14));
            const long double amount = StrToFloat(work);
            // The product is held as a double, then rounded to whole yen.
            const int yen = RangeCheck(Round(static_cast<double>(FloatMul(amount, rate))));
            if (!shownRate)
                shownRate = ShownRate(rate);
            // An amount with nothing open still gets its date, category and empty name, so it
            // lands in the spreadsheet's amount column like every other amount.
            if (!open)
                open = RowStart(dateText(), QString());
            *open += YenColumn(yen);
            *open += u'\t';
            *open += *shownRate;
            list.Add(*open);
            open.reset();
        }
    }
    const QString rows = list.Text();
    // After the query's append the caret may stand at the end of the JSON line itself (the
    // text had no final line break); the rows must not be glued to it.
    const bool midLine = !rows.isEmpty() && SelectionStart(memo).column > 0;
    memo.SetSelText(midLine ? QStringLiteral("\r\n") + rows : rows);
    clipboard.SetAsText(rows);
}

} // namespace kasorel
