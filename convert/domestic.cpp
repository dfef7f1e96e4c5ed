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
std::u16string_view Amount(std::u16string_view line) {
    const std::u16string_view work = line.substr(std::min<std::size_t>(10, line.size()));
    const std::size_t n = work.size();
    const bool pair = n >= 2 && work[n - 1] >= 0xDC00 && work[n - 1] <= 0xDFFF &&
                      work[n - 2] >= 0xD800 && work[n - 2] <= 0xDBFF;
    const std::size_t cut = pair ? 2 : 1;
    return work.substr(0, n > cut ? n - cut : 0);
}

} // namespace

int ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                             const std::function<std::u16string()>& dateText) {
    const auto amount = [](std::u16string_view line, std::u16string& tail) {
        tail += u'-';
        tail += Amount(line);
    };
    const ResultList rows = WalkDividends(memo, kDomesticCategory, amount, dateText);
    const std::u16string& text = rows.Text();
    memo.SetText(text);
    clipboard.SetAsText(text);
    return rows.Count();
}

} // namespace kasorel
