// The View card converter on any pasted text: every row against a plain model of the block
// it comes from, the text area and the clipboard holding the same rows, and nothing made
// from its own output.

#include "convert/errors.h"
#include "convert/view.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

bool IsYear(std::u16string_view line) {
    if (line.size() != 4)
        return false;
    for (char16_t c : line)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The first n characters, a surrogate pair (high, then low) counting as one.
std::u16string LeftCharacters(const std::u16string& s, int n) {
    std::size_t i = 0;
    for (int k = 0; k < n && i < s.size(); ++k)
        i += (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) ? 2 : 1;
    return s.substr(0, i);
}

std::vector<std::u16string> Model(const std::vector<std::u16string>& lines, bool suica) {
    std::vector<std::u16string> rows;
    for (std::size_t i = 0; i + 3 < lines.size(); ++i) {
        if (!IsYear(lines[i]))
            continue;
        std::u16string s = lines[i] + u'/' + lines[i + 1];
        if (s.size() > 10)
            s.erase(10, 2);
        const std::size_t tab = s.find(u'\t', 11);
        std::u16string row =
            tab != std::u16string::npos ? s.substr(0, tab + 1) : LeftCharacters(s, 11);
        row += u"\t\t" + lines[i + 3];
        if (suica)
            row += u"\tSuica";
        rows.push_back(row);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const bool suica = in.Byte() & 1;
    TextArea memo = Memo(in);
    const std::vector<std::u16string> lines = MemoLines(memo);

    KeepingClipboard clip;
    try {
        ConvertView(memo, clip, suica);
    } catch (const Exception& e) {
        Fail("the View card converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const std::u16string text = clip.texts.back();
    Check(memo.Text() == text, "the text area holds the clipboard's rows", memo.Text());
    Check(Rows(text) == Model(lines, suica), "one row per year line, as promised", text);

    KeepingClipboard again;
    ConvertView(memo, again, suica);
    Check(again.texts.back().empty() && memo.Text().empty(),
          "no row from the converter's own output", text);
    return 0;
}
