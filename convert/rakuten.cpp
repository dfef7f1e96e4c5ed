#include "convert/rakuten.h"

#include "convert/primitives.h"

#include <climits>
#include <vector>

namespace kasorel {

namespace {

constexpr std::u16string_view kTab = u"\t";
constexpr std::u16string_view kYenSuffix = u" 円";

} // namespace

std::u16string RewriteRakutenDataLine(std::u16string s) {
    const int p1 = AnsiPos(kTab, s);
    Delete(s, p1, 1);
    const int p2 = AnsiPos(kTab, s);
    Insert(kTab, s, p2);
    Insert(kTab, s, p2);
    Insert(kTab, s, p1);
    return AnsiReplaceStr(s, kYenSuffix, std::u16string_view());
}

int ConvertRakuten(TextArea& memo, Clipboard& clipboard) {
    // Each rewritten data line is remembered by the number of lines from it to the end of
    // the text. The pass only ever deletes above the lines it has rewritten, so that number
    // stays true while the indexes above shift, and collecting needs no second search.
    std::vector<int> rewrittenFromEnd;
    const auto nearestRewritten = [&] {
        return rewrittenFromEnd.empty() ? INT_MAX
                                        : CheckedSub(memo.LineCount(), rewrittenFromEnd.back());
    };

    for (int i = memo.Count() - 1; i >= 0; --i) {
        if (AnsiLeftStr(memo.Line(i), 4) != kRakutenMarker)
            continue;
        // The marker and the two lines after it go, but a deletion never reaches a data
        // line this run has already rewritten: when the statement has fewer lines between
        // entries, that line is the next entry's row, not part of this group.
        const int stop = nearestRewritten();
        for (int k = 0; k < 3 && CheckedAdd(i, k) < stop; ++k)
            memo.Delete(i);
        // A marker on the first line has no data line above it.
        if (i == 0)
            continue;
        const int data = i - 1;
        memo.Put(data, RewriteRakutenDataLine(memo.Line(data)));
        rewrittenFromEnd.push_back(CheckedSub(memo.LineCount(), data));
    }

    ResultList result;
    for (auto it = rewrittenFromEnd.rbegin(); it != rewrittenFromEnd.rend(); ++it)
        result.Add(memo.Line(CheckedSub(memo.LineCount(), *it)));
    clipboard.SetAsText(result.Text());
    return result.Count();
}

} // namespace kasorel
