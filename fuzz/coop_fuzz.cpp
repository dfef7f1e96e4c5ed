// The co-op statement converter on any pasted text: no line is ever deleted or added, lines
// that are no entry stay as they were, entry lines are rewritten as promised, and the
// clipboard holds the lines then beginning with "20", in order.

#include "convert/coop.h"
#include "convert/errors.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

bool IsEntry(std::u16string_view line) {
    return line.starts_with(u"20");
}

std::u16string Rewritten(std::u16string s, bool hoken) {
    constexpr auto npos = std::u16string::npos;
    const std::size_t first = s.find(u'\t');
    const std::size_t second = first == npos ? npos : s.find(u'\t', first + 1);
    s.insert(second != npos ? second : (first != npos ? first : 0), u"\t\t");
    const std::size_t yen = s.find(u'円');
    if (yen != npos && yen > 0 && (s[yen - 1] == u' ' || s[yen - 1] == u'\u3000'))
        s.erase(yen - 1, 2);
    else if (yen != npos)
        s.erase(yen, 1);
    if (hoken)
        s += u"\t保険";
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const bool hoken = in.Byte() & 1;
    TextArea memo = Memo(in);
    const std::vector<std::u16string> before = MemoLines(memo);
    const int lineCount = memo.LineCount();

    KeepingClipboard clip;
    try {
        ConvertCoop(memo, clip, hoken);
    } catch (const Exception& e) {
        Fail("the co-op converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    Check(memo.LineCount() == lineCount, "the co-op converter never deletes or adds a line");

    const std::vector<std::u16string> after = MemoLines(memo);
    Check(after.size() == before.size(), "the counted lines stay the same");
    std::vector<std::u16string> collected;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const std::u16string expected =
            IsEntry(before[i]) ? Rewritten(before[i], hoken) : before[i];
        Check(after[i] == expected, "each line stays or is rewritten as promised",
              before[i] + u"\n=> " + after[i]);
        if (IsEntry(after[i]))
            collected.push_back(after[i]);
    }
    Check(Rows(clip.texts.back()) == collected, "the clipboard holds the entry lines",
          clip.texts.back());
    return 0;
}
