#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <functional>
#include <string>
#include <string_view>

namespace kasorel {

// The categories the dividend rows carry in their second field.
inline constexpr std::u16string_view kDomesticCategory = u"配当国内";
inline constexpr std::u16string_view kForeignCategory = u"配当米国";

// The first three characters of a dividend statement's name line and of its amount line.
inline constexpr std::u16string_view kDividendNameMarker = u"銘柄名";
inline constexpr std::u16string_view kDividendAmountMarker = u"入金額";

// The walk both dividend statements share, forward over memo's lines. Only the first three
// characters of a line decide its kind:
//   "銘柄名" opens a row (dropping any row still open): dateText(), category, the line
//            without its first ten code units as the name, and an empty column;
//   "入金額" closes it with what closing(line, tail) writes into tail (given empty, its
//            room kept from line to line), line being the whole amount line, and adds it
//            to the result. An amount line with no open row first opens one with an empty
//            name, so the amount stays in its column.
// Every row reads: date \t category \t name \t \t tail. A name line never closed gives no
// row; other lines are skipped.
//
// closing is called before dateText at an amount line that finds no open row; dateText is
// called once at each name line and at each such amount line. Whatever either throws ends
// the walk and goes to the caller.
ResultList WalkDividends(
    const TextArea& memo, std::u16string_view category,
    const std::function<void(std::u16string_view amountLine, std::u16string& tail)>& closing,
    const std::function<std::u16string()>& dateText);

} // namespace kasorel
