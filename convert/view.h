#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

namespace kasorel {

// Converts a pasted View card statement into spreadsheet rows. A line of exactly four ASCII
// digits ("2024") at an index of at most Count() - 4 opens an entry block of four lines: the
// next line holds the date and description, the one after it is never read, and the fourth
// is copied unchanged as the amount. Each block gives the row
//   year "/" date-line (its 6th and 7th code units dropped), cut just after the first tab
//   at or after position 12 of that joined text, or after its 11th character (a surrogate
//   pair being one) when there is no such tab; then two tabs, the amount line, and with
//   suica a tab and "Suica".
// Lines used by one block are tested as year lines in their own turn, so consecutive year
// lines give overlapping blocks. A four-digit amount without grouping (1980) is a year line
// too. Blanks, signs and hex prefixes never make a year line.
//
// The rows' text form (each row and CR LF; empty when no row was made) replaces the whole
// text of memo and then goes to clipboard, so a clipboard failure leaves the rows in memo.
// Returns the number of rows. A second run on the output makes no row.
int ConvertView(TextArea& memo, Clipboard& clipboard, bool suica);

// Whether line opens a block: exactly four ASCII digits, a year such as 2024.
bool IsYearLine(std::u16string_view line);

} // namespace kasorel
