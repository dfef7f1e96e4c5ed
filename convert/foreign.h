#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <functional>
#include <string>

namespace kasorel {

// Converts a pasted US dividend statement into spreadsheet rows by the dividend walk
// (WalkDividends in dividends.h) with the category "配当米国", each dollar amount converted
// into yen at rate (yen per dollar, unrounded). An amount line closes its row:
//   - the amount text is the line without its first ten code units, cut to (line length -
//     14) characters (a surrogate pair counting as one), so the unit " USD" goes; read with
//     StrToFloat and the user's decimal separator;
//   - the yen amount is Round(amount × rate) in extended precision, stored as a 32-bit
//     integer; it is written as "-" and the yen for a dividend (a zero gives "-0") and as
//     the bare positive yen for a negative amount (a refund), never "--";
//   - the last column is FloatToStr(Round(rate × 10) ÷ 10).
// Every row reads:
//   date \t 配当米国 \t name \t \t yen \t shown rate
//
// dateText gives the date column; it is called once at each name line and at each amount
// line that finds no open row. The rows' text form (each row and CR LF; empty when no row
// was made) replaces memo's selection, or goes in at the caret, and then goes to clipboard.
// When rows go in where a line has already begun (the caret after a JSON line without a line
// break), a CR LF goes first so the first row starts a line of its own; the clipboard gets
// the rows alone. Returns the number of rows.
//
// Errors end the pass before memo or clipboard change: EConvertError for an amount text
// StrToFloat refuses (empty, letters, another separator), ERangeError for a yen amount
// outside the 32-bit range, EInvalidOp beyond the 64-bit range.
// The rate as the rows' last column shows it: FloatToStr(Round(rate × 10) ÷ 10), the
// product exact and rounded ties to even ("151.3", "151" for 151.04). EInvalidOp for a rate
// whose tenths leave the 64-bit range.
std::u16string ShownRate(double rate);

// The dollar amount ConvertForeignDividends reads off an amount line: the line without its
// first ten and last four code units ("入金額    12.34 USD" gives "12.34").
std::u16string DollarAmountText(std::u16string_view amountLine);

int ConvertForeignDividends(TextArea& memo, Clipboard& clipboard, double rate,
                            const std::function<std::u16string()>& dateText);

} // namespace kasorel
