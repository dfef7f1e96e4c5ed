#include "convert/domestic.h"

#include "convert/dividends.h"
#include "convert/primitives.h"

#include <algorithm>

namespace kasorel {

namespace {

// The amount: the line without its first ten code units and its last character, the unit
// ("円"). That character is two code units when it is a surrogate pair; a cut counted in code
// units but applied as a character count would keep the unit whenever a pair stands earlier
// in the amount.
QStringView Amount(const QString& line) {
    const QStringView work = QStringView(line).sliced(std::min<qsizetype>(10, line.size()));
    const qsizetype n = work.size();
    const bool pair = n >= 2 && work[n - 1].isLowSurrogate() && work[n - 2].isHighSurrogate();
    return work.first(std::max<qsizetype>(0, n - (pair ? 2 : 1)));
}

} // namespace

int ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                             const std::function<QString()>& dateText) {
    const auto amount = [](const QString& line, QString& tail) {
        tail += u'-';
        tail += Amount(line);
    };
    const ResultList rows = WalkDividends(memo, QStringLiteral("配当国内"), amount, dateText);
    const QString text = rows.Text();
    memo.SetText(text);
    clipboard.SetAsText(text);
    return rows.Count();
}

} // namespace kasorel
