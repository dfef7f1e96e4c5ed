#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <string_view>

namespace kasorel {

// Converts a pasted 楽天カード statement in place. Every line starting with "支払方法" is a
// marker: it and the two lines after it are deleted, and the data line above it is
// rewritten into the spreadsheet's columns (two empty fields after the second field, every
// " 円" removed). The rewritten data lines, in text-area order, go to the clipboard.
//
// A deletion never takes a data line this run has rewritten, and a marker on line 0 (no
// data line) is deleted with its group and yields no row. No line outside a marker group
// changes; a second run on the result finds no marker and puts the empty text on the
// clipboard. Returns the number of rows.
int ConvertRakuten(TextArea& memo, Clipboard& clipboard);

// The payment-method marker whose line ConvertRakuten deletes with its group.
inline constexpr std::u16string_view kRakutenMarker = u"支払方法";

// A data line as ConvertRakuten rewrites it: the second tab becomes three (two empty fields
// after the second field; with fewer tabs, tabs at the start), every " 円" removed.
std::u16string RewriteRakutenDataLine(std::u16string line);

} // namespace kasorel
