// The US dividend converter on any pasted text, caret, selection and rate: a bad amount or
// an out-of-range yen value is an error of a named kind that leaves text area and clipboard
// alone; otherwise one row per amount line goes in at the selection and on the clipboard.

#include "convert/errors.h"
#include "convert/foreign.h"
#include "fuzz_support.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const std::u16string kDate = u"2024/06/30";

// The field of a row counted from its end: 1 is the last.
std::u16string FieldFromEnd(std::u16string_view row, int k) {
    std::size_t end = row.size();
    for (int i = 1; i < k && end != std::u16string_view::npos; ++i)
        end = end == 0 ? std::u16string_view::npos : row.rfind(u'\t', end - 1);
    if (end == std::u16string_view::npos)
        return std::u16string();
    const std::size_t tab = end == 0 ? std::u16string_view::npos : row.rfind(u'\t', end - 1);
    const std::size_t begin = tab == std::u16string_view::npos ? 0 : tab + 1;
    return std::u16string(row.substr(begin, end - begin));
}

// Whether s is one decimal 64-bit integer, an optional "-" and digits.
bool IsInteger(std::u16string_view s) {
    const std::string ascii = ToUtf8(s);
    long long v = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
    return error == std::errc() && end == ascii.data() + ascii.size();
}

double Rate(Bytes& in) {
    static const double rates[] = {151.3,
                                   151,
                                   1,
                                   0,
                                   -151.3,
                                   0.05,
                                   1e-300,
                                   1e10,
                                   3e9,
                                   1e308,
                                   std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::infinity(),
                                   123.456789};
    const std::uint8_t pick = in.Byte();
    constexpr std::size_t n = sizeof rates / sizeof rates[0];
    return pick < n ? rates[pick] : in.F64();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const double rate = Rate(in);
    TextArea memo = Memo(in);
    const TextArea original = memo;
    int amountLines = 0;
    for (const std::u16string& line : MemoLines(memo))
        amountLines += line.starts_with(u"入金額");

    KeepingClipboard clip;
    try {
        ConvertForeignDividends(memo, clip, rate, [] { return kDate; });
    } catch (const Exception&) {
        // A conversion, range or floating-point error is an answer; it ends the pass before
        // anything is written.
        Check(memo.Text() == original.Text() && memo.Caret() == original.Caret() &&
                  memo.Anchor() == original.Anchor(),
              "an error leaves the text area as it was");
        Check(clip.texts.empty(), "an error leaves the clipboard as it was");
        return 0;
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const std::vector<std::u16string> rows = Rows(clip.texts.back());
    Check(static_cast<int>(rows.size()) == amountLines, "one row per amount line",
          clip.texts.back());
    for (const std::u16string& row : rows) {
        Check(FieldFromEnd(row, 1) == FieldFromEnd(rows.front(), 1),
              "every row shows the same rate", row);
        const std::u16string yen = FieldFromEnd(row, 2);
        Check(IsInteger(yen) && !yen.starts_with(u"--"), "the yen column is one integer", row);
    }

    // The rows replace the selection, after a line break when they would otherwise continue
    // a line already begun.
    TextArea expected = original;
    const bool midLine = !rows.empty() && original.SelectionStart().column > 0;
    expected.SetSelText((midLine ? u"\r\n" : u"") + clip.texts.back());
    Check(memo.Text() == expected.Text(), "the rows go in at the selection", memo.Text());
    return 0;
}
