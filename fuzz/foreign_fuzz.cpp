// The US dividend converter on any pasted text, caret, selection and rate: a bad amount or
// an out-of-range yen value is an error of a named kind that leaves text area and clipboard
// alone; otherwise one row per amount line goes in at the selection and on the clipboard.

#include "convert/errors.h"
#include "convert/foreign.h"
#include "fuzz_support.h"

#include <cmath>
#include <limits>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const QString kDate = QStringLiteral("2024/06/30");

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
    for (const QString& line : MemoLines(memo))
        amountLines += line.startsWith(QStringLiteral("入金額"));

    KeepingClipboard clip;
    try {
        ConvertForeignDividends(memo, clip, rate, [] { return kDate; });
    } catch (const Exception&) {
        // A conversion, range or floating-point error is an answer; it ends the pass before
        // anything is written.
        Check(memo.Text() == original.Text() && memo.Caret() == original.Caret() &&
                  memo.Anchor() == original.Anchor(),
              "an error leaves the text area as it was");
        Check(clip.texts.isEmpty(), "an error leaves the clipboard as it was");
        return 0;
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const QStringList rows = Rows(clip.texts.back());
    Check(rows.size() == amountLines, "one row per amount line", clip.texts.back());
    for (const QString& row : rows) {
        Check(row.section(u'\t', -1) == rows.front().section(u'\t', -1),
              "every row shows the same rate", row);
        const QString yen = row.section(u'\t', -2, -2);
        bool ok = false;
        yen.toLongLong(&ok);
        Check(ok && !yen.startsWith(QStringLiteral("--")), "the yen column is one integer", row);
    }

    // The rows replace the selection, after a line break when they would otherwise continue
    // a line already begun.
    TextArea expected = original;
    const bool midLine = !rows.isEmpty() && original.SelectionStart().column > 0;
    expected.SetSelText((midLine ? QStringLiteral("\r\n") : QString()) + clip.texts.back());
    Check(memo.Text() == expected.Text(), "the rows go in at the selection", memo.Text());
    return 0;
}
