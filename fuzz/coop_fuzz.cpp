// The co-op statement converter on any pasted text: no line is ever deleted or added, lines
// that are no entry stay as they were, entry lines are rewritten as promised, and the
// clipboard holds the lines then beginning with "20", in order.

#include "convert/coop.h"
#include "convert/errors.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

bool IsEntry(const QString& line) {
    return line.startsWith(QStringLiteral("20"));
}

QString Rewritten(QString s, bool hoken) {
    const qsizetype first = s.indexOf(u'\t');
    const qsizetype second = first < 0 ? -1 : s.indexOf(u'\t', first + 1);
    s.insert(second >= 0 ? second : (first >= 0 ? first : 0), QStringLiteral("\t\t"));
    const qsizetype yen = s.indexOf(u'円');
    if (yen > 0 && (s[yen - 1] == u' ' || s[yen - 1] == QChar(0x3000)))
        s.remove(yen - 1, 2);
    else if (yen >= 0)
        s.remove(yen, 1);
    if (hoken)
        s += QStringLiteral("\t保険");
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const bool hoken = in.Byte() & 1;
    TextArea memo = Memo(in);
    const QStringList before = MemoLines(memo);
    const int lineCount = memo.LineCount();

    KeepingClipboard clip;
    try {
        ConvertCoop(memo, clip, hoken);
    } catch (const Exception& e) {
        Fail("the co-op converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    Check(memo.LineCount() == lineCount, "the co-op converter never deletes or adds a line");

    const QStringList after = MemoLines(memo);
    Check(after.size() == before.size(), "the counted lines stay the same");
    QStringList collected;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QString expected = IsEntry(before[i]) ? Rewritten(before[i], hoken) : before[i];
        Check(after[i] == expected, "each line stays or is rewritten as promised",
              before[i] + QStringLiteral("\n=> ") + after[i]);
        if (IsEntry(after[i]))
            collected.append(after[i]);
    }
    Check(Rows(clip.texts.back()) == collected, "the clipboard holds the entry lines",
          clip.texts.back());
    return 0;
}
