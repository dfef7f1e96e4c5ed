#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <QString>
#include <functional>

namespace kasorel {

// Converts a pasted domestic dividend statement into spreadsheet rows, walking the lines
// forward. Only the first three characters of a line decide its kind:
//   "銘柄名" opens a row (dropping any row still open): date, "配当国内", the line without
//            its first ten code units as the name, and an empty column;
//   "入金額" closes it: the amount is the line without its first ten code units and its
//            last character, a surrogate pair counting as one (empty for a line of eleven
//            code units or fewer), written after a "-". It is copied as text, unparsed.
// An amount line with no open row still gives a full five-column row with an empty name, so
// the amount stays in the amount column. A name line never closed gives no row. Every row
// reads: date \t 配当国内 \t name \t \t -amount.
//
// dateText gives the date column; it is called once at each name line and at each amount
// line that finds no open row. The rows' text form (each row and CR LF; empty when no row
// was made) replaces the whole text of memo and then goes to clipboard. A second run on the
// output makes no row.
void ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                              const std::function<QString()>& dateText);

} // namespace kasorel
