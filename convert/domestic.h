#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <functional>
#include <string>

namespace kasorel {

// Converts a pasted domestic dividend statement into spreadsheet rows by the dividend walk
// (WalkDividends in dividends.h) with the category "配当国内". An amount line closes its row
// with "-" and the amount: the line without its first ten code units and its last character
// (the unit "円"), a surrogate pair counting as one, copied as text, unparsed; empty for a
// line of eleven code units or fewer. Every row reads:
//   date \t 配当国内 \t name \t \t -amount
//
// dateText gives the date column, as the walk calls it. The rows' text form (each row and
// CR LF; empty when no row was made) replaces the whole text of memo and then goes to
// clipboard. Returns the number of rows. A second run on the output makes no row.
int ConvertDomesticDividends(TextArea& memo, Clipboard& clipboard,
                             const std::function<std::u16string()>& dateText);

} // namespace kasorel
