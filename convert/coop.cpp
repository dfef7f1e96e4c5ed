#include "convert/coop.h"

#include "convert/primitives.h"

namespace kasorel {

namespace {

bool IsEntryLine(const QString& line) {
    return AnsiPos(QStringLiteral("20"), line) == 1;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\u3000';
}

// Removes the first "円". The code unit in front of it goes too only when it is the blank
// between amount and unit: where "円" follows the last digit directly, taking the unit's
// neighbour would cut the amount ("420円" must stay 420, not 42).
void RemoveFirstYen(QString& s) {
    const int q = AnsiPos(QStringLiteral("円"), s);
    if (q == 0)
        return;
    if (q > 1 && IsBlank(s.at(CheckedSub(q, 2))))
        Delete(s, CheckedSub(q, 1), 2);
    else
        Delete(s, q, 1);
}

} // namespace

int ConvertCoop(TextArea& memo, Clipboard& clipboard, bool hoken) {
    const QString tab = QStringLiteral("\t");
    // Each entry line is rewritten by itself, so the direction of this pass does not matter.
    for (int i = CheckedSub(memo.Count(), 1); i >= 0; i = CheckedSub(i, 1)) {
        QString s = memo.Get(i);
        if (!IsEntryLine(s))
            continue;
        // Room for the two tabs and the remark, so the line is copied once.
        s.reserve(s.size() + 8);
        int p = AnsiPos(tab, s);
        p = MyAnsiPosEx(tab, s, p);
        Insert(tab, s, p);
        Insert(tab, s, p);
        RemoveFirstYen(s);
        if (hoken) {
            s += tab;
            s += QStringLiteral("保険");
        }
        memo.Put(i, s);
    }

    ResultList list;
    const int n = memo.Count();
    for (int i = 0; i < n; i = CheckedAdd(i, 1)) {
        const QString line = memo.Get(i);
        if (IsEntryLine(line))
            list.Add(line);
    }
    clipboard.SetAsText(list.Text());
    return list.Count();
}

} // namespace kasorel
