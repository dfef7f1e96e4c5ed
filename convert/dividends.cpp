#include "convert/dividends.h"

#include "convert/primitives.h"

#include <algorithm>
#include <optional>

namespace kasorel {

namespace {

// The first columns of a row: date, category, name, and the empty column after it, with
// room left for the amount so that closing the row does not copy it again.
std::u16string RowStart(std::u16string_view date, std::u16string_view category,
                        std::u16string_view name) {
    std::u16string row;
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

ResultList WalkDividends(
    const TextArea& memo, std::u16string_view category,
    const std::function<void(std::u16string_view amountLine, std::u16string& tail)>& closing,
    const std::function<std::u16string()>& dateText) {
    ResultList list;
    std::optional<std::u16string> open;
    std::u16string tail;
    const int n = memo.Count();
    for (int i = 0; i < n; i = CheckedAdd(i, 1)) {
        const std::u16string& line = memo.Line(i);
        // Most lines are neither kind; their first code unit already tells, without cutting
        // a head off them.
        if (line.empty() || (line.front() != kDividendNameMarker.front() &&
                             line.front() != kDividendAmountMarker.front()))
            continue;
        const std::u16string head = AnsiLeftStr(line, 3);
        if (head == kDividendNameMarker) {
            const std::u16string date = dateText();
            // The line without its first ten code units, as Delete(name, 1, 10) leaves it.
            open =
                RowStart(date, category,
                         std::u16string_view(line).substr(std::min<std::size_t>(10, line.size())));
        }
        if (head == kDividendAmountMarker) {
            tail.clear();
            closing(line, tail);
            // An amount with nothing open still gets its date, category and empty name, so it
            // lands in the spreadsheet's amount column like every other amount.
            if (!open)
                open = RowStart(dateText(), category, std::u16string_view());
            *open += tail;
            list.Add(*open);
            open.reset();
        }
    }
    return list;
}

} // namespace kasorel
