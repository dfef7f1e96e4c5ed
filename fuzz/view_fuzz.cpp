// The View card converter on any pasted text: every row against a plain model of the block
// it comes from, the text area and the clipboard holding the same rows, and nothing made
// from its own output.

#include "convert/errors.h"
#include "convert/view.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

bool IsYear(const QString& line) {
    if (line.size() != 4)
        return false;
    for (QChar c : line)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The first n characters, a surrogate pair (high, then low) counting as one.
QString LeftCharacters(const QString& s, int n) {
    qsizetype i = 0;
    for (int k = 0; k < n && i < s.size(); ++k)
        i += (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ? 2 : 1;
    return s.left(i);
}

QStringList Model(const QStringList& lines, bool suica) {
    QStringList rows;
    for (qsizetype i = 0; i + 3 < lines.size(); ++i) {
        if (!IsYear(lines[i]))
            continue;
        QString s = lines[i] + u'/' + lines[i + 1];
        s.remove(10, 2);
        const qsizetype tab = s.indexOf(u'\t', 11);
        QString row = tab >= 0 ? s.left(tab + 1) : LeftCharacters(s, 11);
        row += QStringLiteral("\t\t") + lines[i + 3];
        if (suica)
            row += QStringLiteral("\tSuica");
        rows.append(row);
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const bool suica = in.Byte() & 1;
    TextArea memo = Memo(in);
    const QStringList lines = MemoLines(memo);

    KeepingClipboard clip;
    try {
        ConvertView(memo, clip, suica);
    } catch (const Exception& e) {
        Fail("the View card converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const QString text = clip.texts.back();
    Check(memo.Text() == text, "the text area holds the clipboard's rows", memo.Text());
    Check(Rows(text) == Model(lines, suica), "one row per year line, as promised", text);

    KeepingClipboard again;
    ConvertView(memo, again, suica);
    Check(again.texts.back().isEmpty() && memo.Text().isEmpty(),
          "no row from the converter's own output", text);
    return 0;
}
