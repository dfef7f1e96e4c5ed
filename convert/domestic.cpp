#include "convert/domestic.h"

#include "convert/dividends.h"
#include "convert/primitives.h"

namespace kasorel {

namespace {

// The amount line ends in its unit ("円"), which is cut off. It is one character, two code
// units when it is a surrogate pair; a cut counted in code units but applied as a character
// count would keep the unit whenever a pair stands earlier in the amount.
void DropLastCharacter(QString& s) {
    const int n = Length(s);
    const bool pair = n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate();
    const int width = pair ? 2 : 1;
    Delete(s, CheckedSub(CheckedAdd(n, 1), width), width);
}

} // namespace

int ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                             const std::function<QString()>& dateText) {
    const auto amount = [](const QString& line) -> QString {
        QString work = line;
        Delete(work, 1, 10);
        DropLastCharacter(work);
        return u'-' + work;
    };
    const ResultList rows = WalkDividends(memo, QStringLiteral("配当国内"), amount, dateText);
    const QString text = rows.Text();
    memo.SetText(text);
    clipboard.SetAsText(text);
    return rows.Count();
}

} // namespace kasorel
