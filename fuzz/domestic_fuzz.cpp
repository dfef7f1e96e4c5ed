// The domestic dividend converter on any pasted text: rows against a plain model of the
// forward pass, the text area and the clipboard holding the same rows, and nothing made from
// its own output.

#include "convert/domestic.h"
#include "convert/errors.h"
#include "fuzz_support.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const QString kDate = QStringLiteral("2024/06/30");

QString RowStart(const QString& name) {
    return kDate + QStringLiteral("\t配当国内\t") + name + QStringLiteral("\t\t");
}

QStringList Model(const QStringList& lines) {
    QStringList rows;
    QString open;
    bool isOpen = false;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("銘柄名"))) {
            open = RowStart(line.mid(10));
            isOpen = true;
        } else if (line.startsWith(QStringLiteral("入金額"))) {
            QString amount = line.mid(10);
            const qsizetype n = amount.size();
            const bool pair =
                n >= 2 && amount[n - 1].isLowSurrogate() && amount[n - 2].isHighSurrogate();
            amount.chop(pair ? 2 : (n > 0 ? 1 : 0));
            rows.append((isOpen ? open : RowStart(QString())) + u'-' + amount);
            isOpen = false;
        }
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    TextArea memo = Memo(in);
    const QStringList lines = MemoLines(memo);

    KeepingClipboard clip;
    const auto date = [] { return kDate; };
    try {
        ConvertDomesticDividends(memo, clip, date);
    } catch (const Exception& e) {
        Fail("the domestic dividend converter raises nothing on any text", e.message());
    }
    Check(clip.texts.size() == 1, "one clipboard write per run");
    const QString text = clip.texts.back();
    Check(memo.Text() == text, "the text area holds the clipboard's rows", memo.Text());
    Check(Rows(text) == Model(lines), "one row per amount line, as promised", text);

    KeepingClipboard again;
    ConvertDomesticDividends(memo, again, date);
    Check(again.texts.back().isEmpty() && memo.Text().isEmpty(),
          "no row from the converter's own output", text);
    return 0;
}
