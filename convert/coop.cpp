#include "convert/coop.h"

#include "convert/primitives.h"

#include <algorithm>
#include <vector>

namespace kasorel {

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\u3000';
}

// The entry line rewritten into out in one allocation. Step by step it is: two
// tabs inserted in front of the second tab (found as MyAnsiPosEx(tab, s, AnsiPos(tab, s)): the only
// tab when there is one, position 0 and so the start when there is none); then the first "円"
// deleted, together with the code unit in front of it when that is the blank between amount and
// unit. Taking the unit's other neighbour would cut the amount ("420円" must stay 420, not 42). The
// tabs hold no "円", and the code unit in front of a "円" standing right at the insertion point is
// an inserted tab, never a blank; so the deletion is found in the old line, and never straddles the
// insertion.
void RewriteEntry(std::u16string_view s, bool hoken, std::u16string& out) {
    constexpr auto npos = std::u16string_view::npos;
    const std::size_t first = s.find(u'\t');
    const std::size_t second = first == npos ? npos : s.find(u'\t', first + 1);
    const std::size_t insertAt = second != npos ? second : (first != npos ? first : 0);
    // The cut, [cutFrom, cutTo) of the old line; empty when there is no "円".
    const std::size_t yen = s.find(u'円');
    std::size_t cutFrom = yen == npos ? 0 : yen;
    const std::size_t cutTo = yen == npos ? 0 : yen + 1;
    if (yen != npos && yen > 0 && yen != insertAt && IsBlank(s[yen - 1]))
        cutFrom = yen - 1;

    const std::u16string_view remark =
        hoken ? std::u16string_view(u"\t保険") : std::u16string_view();
    out.clear();
    out.reserve(s.size() + 2 - (cutTo - cutFrom) + remark.size());
    const auto copy = [&](std::size_t from, std::size_t end) {
        const std::size_t holeFrom = std::clamp(cutFrom, from, end);
        const std::size_t holeTo = std::clamp(cutTo, from, end);
        out.append(s.substr(from, holeFrom - from));
        out.append(s.substr(holeTo, end - holeTo));
    };
    copy(0, insertAt);
    out += u"\t\t";
    copy(insertAt, s.size());
    out += remark;
}

} // namespace

int ConvertCoop(TextArea& memo, Clipboard& clipboard, bool hoken) {
    // Each entry line is rewritten by itself, so the direction of this pass does not matter.
    // Only rewritten lines can begin with "20" afterwards, so they are collected as they are
    // made, and no second pass reads the text again.
    std::vector<int> collected;
    std::u16string rewritten;
    for (int i = CheckedSub(memo.Count(), 1); i >= 0; i = CheckedSub(i, 1)) {
        const std::u16string& line = memo.Line(i);
        if (!IsCoopEntryLine(line))
            continue;
        RewriteEntry(line, hoken, rewritten);
        if (IsCoopEntryLine(rewritten))
            collected.push_back(i);
        memo.Put(i, std::move(rewritten));
    }

    ResultList list;
    for (auto it = collected.rbegin(); it != collected.rend(); ++it)
        list.Add(memo.Line(*it));
    clipboard.SetAsText(list.Text());
    return list.Count();
}

} // namespace kasorel
