#include "convert/foreign.h"

#include "convert/dividends.h"
#include "convert/primitives.h"

#include <optional>

namespace kasorel {

namespace {

// The amount column holds the yen paid out as a negative number. A negative dollar amount
// (a correction) gives a negative yen value; putting "-" before it would make "--303",
// which no spreadsheet reads as a number, so its magnitude is written instead.
std::u16string YenColumn(int yen) {
    if (yen < 0)
        return IntToStr(-static_cast<std::int64_t>(yen));
    return u"-" + IntToStr(yen);
}

} // namespace

// r × 10 is exact in Extended (53 + 4 significant bits fit the 64-bit significand), so
// the only rounding is Round's own, ties to even; k ÷ 10 in double is the double nearest it.
std::u16string ShownRate(double rate) {
    const std::int64_t tenths = Round(FloatMul(rate, 10));
    return FloatToStr(static_cast<double>(tenths) / 10.0);
}

std::u16string DollarAmountText(std::u16string_view amountLine) {
    // Delete(work, 1, 10) on a copy of the line, without the copy.
    return AnsiLeftStr(amountLine.substr(std::min<std::size_t>(10, amountLine.size())),
                       CheckedSub(Length(amountLine), 14));
}

int ConvertForeignDividends(TextArea& memo, Clipboard& clipboard, double rate,
                            const std::function<std::u16string()>& dateText) {
    std::optional<std::u16string> shownRate;
    const auto yenAndRate = [&](std::u16string_view line, std::u16string& tail) {
        const Extended amount = StrToFloat(DollarAmountText(line));
        // The product is held as a double, then rounded to whole yen.
        const int yen = RangeCheck(Round(static_cast<double>(FloatMul(amount, rate))));
        if (!shownRate)
            shownRate = ShownRate(rate);
        tail += YenColumn(yen);
        tail += u'\t';
        tail += *shownRate;
    };
    const ResultList list = WalkDividends(memo, kForeignCategory, yenAndRate, dateText);
    const std::u16string& rows = list.Text();
    // After the query's append the caret may stand at the end of the JSON line itself (the
    // text had no final line break); the rows must not be glued to it.
    const bool midLine = !rows.empty() && memo.SelectionStart().column > 0;
    if (midLine)
        memo.SetSelText(u"\r\n" + rows);
    else
        memo.SetSelText(rows);
    clipboard.SetAsText(rows);
    return list.Count();
}

} // namespace kasorel
