#include "convert/view.h"

#include "convert/primitives.h"

namespace kasorel {

// The integer parser also takes blanks, signs and hex prefixes (" 123", "-123", "$7E8"), and
// such lines are never years.
bool IsYearLine(std::u16string_view line) {
    if (Length(line) != 4)
        return false;
    for (const char16_t c : line) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

namespace {

// Cuts the joined text s at p, the answer of the tab search. A found tab is a code-unit
// position, so the head ends exactly at that tab: counting characters there instead would
// run past the tab whenever a surrogate pair stands before it (a store name such as
// "𠮷野家"), pulling the next field into the head and shifting the amount column.
// Without a tab the head is the first 11 characters, a pair at the cut being kept whole.
void CutHead(std::u16string& s, int p) {
    if (p == 11)
        s = AnsiLeftStr(s, 11);
    else
        Delete(s, CheckedAdd(p, 1), Length(s));
}

} // namespace

int ConvertView(TextArea& memo, Clipboard& clipboard, bool suica) {
    ResultList list;
    constexpr std::u16string_view tab = u"\t";
    const int n = memo.Count();
    const int last = CheckedSub(n, 4);
    for (int i = 0; i <= last; i = CheckedAdd(i, 1)) {
        // Lines i to i + 3 exist: i is at most Count() - 4.
        const std::u16string& year = memo.Line(i);
        if (!IsYearLine(year))
            continue;
        const std::u16string& date = memo.Line(CheckedAdd(i, 1));
        const std::u16string& amount = memo.Line(CheckedAdd(i, 3));
        // The row is built in place in one buffer: one allocation per row.
        std::u16string row;
        row.reserve(year.size() + date.size() + amount.size() + 16);
        row += year;
        row += u'/';
        row += date;
        Delete(row, 11, 2);
        CutHead(row, MyAnsiPosEx(tab, row, 11));
        row += tab;
        row += tab;
        row += amount;
        if (suica) {
            row += tab;
            row += u"Suica";
        }
        list.Add(row);
    }
    const std::u16string& text = list.Text();
    memo.SetText(text);
    clipboard.SetAsText(text);
    return list.Count();
}

} // namespace kasorel
