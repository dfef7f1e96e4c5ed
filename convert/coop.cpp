#include "convert/coop.h"

#include "convert/primitives.h"

#include <algorithm>
#include <vector>

namespace kasorel {

namespace {

bool IsEntryLine(QStringView line) {
    return line.startsWith(u"20");
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\u3000';
}

// The entry line rewritten in one allocation. Step by step it is: two tabs inserted in front
// of the second tab (found as MyAnsiPosEx(tab, s, AnsiPos(tab, s)): the only tab when there is
// one, position 0 and so the start when there is none); then the first "円" deleted, together
// with the code unit in front of it when that is the blank between amount and unit. Taking
// the unit's other neighbour would cut the amount ("420円" must stay 420, not 42). The tabs
// hold no "円", and the code unit in front of a "円" standing right at the insertion point
// is an inserted tab, never a blank; so the deletion is found in the old line, and never
// straddles the insertion.
QString RewriteEntry(const QString& s, bool hoken) {
    const qsizetype first = s.indexOf(u'\t');
    const qsizetype second = first < 0 ? -1 : s.indexOf(u'\t', first + 1);
    const qsizetype insertAt = second >= 0 ? second : (first >= 0 ? first : 0);
    // The cut, [cutFrom, cutTo) of the old line; empty when there is no "円".
    const qsizetype yen = s.indexOf(u'円');
    qsizetype cutFrom = std::max<qsizetype>(yen, 0);
    const qsizetype cutTo = yen < 0 ? 0 : yen + 1;
    if (yen > 0 && yen != insertAt && IsBlank(s.at(yen - 1)))
        cutFrom = yen - 1;

    const QStringView remark = hoken ? QStringView(u"\t保険") : QStringView();
    QString out(s.size() + 2 - (cutTo - cutFrom) + remark.size(), Qt::Uninitialized);
    QChar* to = out.data();
    const auto copy = [&](qsizetype from, qsizetype end) {
        const qsizetype holeFrom = std::clamp(cutFrom, from, end);
        const qsizetype holeTo = std::clamp(cutTo, from, end);
        to = std::copy(s.constData() + from, s.constData() + holeFrom, to);
        to = std::copy(s.constData() + holeTo, s.constData() + end, to);
    };
    copy(0, insertAt);
    *to++ = u'\t';
    *to++ = u'\t';
    copy(insertAt, s.size());
    to = std::copy(remark.begin(), remark.end(), to);
    return out;
}

} // namespace

int ConvertCoop(TextArea& memo, Clipboard& clipboard, bool hoken) {
    // Each entry line is rewritten by itself, so the direction of this pass does not matter.
    // Only rewritten lines can begin with "20" afterwards, so they are collected as they are
    // made, and no second pass reads the text again.
    std::vector<int> collected;
    for (int i = CheckedSub(memo.Count(), 1); i >= 0; i = CheckedSub(i, 1)) {
        const QString& line = memo.Line(i);
        if (!IsEntryLine(line))
            continue;
        const QString rewritten = RewriteEntry(line, hoken);
        if (IsEntryLine(rewritten))
            collected.push_back(i);
        memo.Put(i, rewritten);
    }

    ResultList list;
    for (auto it = collected.rbegin(); it != collected.rend(); ++it)
        list.Add(memo.Line(*it));
    clipboard.SetAsText(list.Text());
    return list.Count();
}

} // namespace kasorel
