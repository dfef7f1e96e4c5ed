#pragma once

// The exchange-rate query as a command step, and the probe that reads a pasted answer.

#include "convert/textarea.h"
#include "rates/json.h"
#include "rates/rest.h"

#include <optional>
#include <string_view>

namespace kasorel {

// The line appended to the text area when the query fails.
inline constexpr std::u16string_view kRateQueryFailed = u"ExchangeRates API の実行に失敗しました";

// The rates object of an answer: EJSONException when answer is not an object or has no
// member "rates" (the first of that name counts) or it is not an object.
const json::Value& RatesOf(const json::Value& answer);

// Yen per US dollar: "JPY" ÷ "USD" of the answer's rates object, both read with
// json::ReadDouble ("JPY" first). A "USD" of zero raises EZeroDivide (EInvalidOp for 0 ÷ 0)
// and a quotient beyond the double range EOverflow, never an infinite rate.
double ReadRate(const json::Value& answer);

// Sends request (its client's "access_key" already set), appends the answer's compact JSON
// text to memo as a line and returns the rate. Any error on the way, of whatever kind, is
// caught: memo gets the kRateQueryFailed line (after the JSON line when that was already
// appended) and the result is empty.
std::optional<double> QueryExchangeRate(RESTRequest& request, TextArea& memo);

// Reads memo's whole text as a rates answer and appends two lines: the name of the first
// member of "rates", then FloatToStr(JPY ÷ USD) with the user's decimal separator. Every
// check comes before the first append, so either both lines are appended or neither. Raises
// EJSONException when the text is no JSON object, "rates" is missing, not an object or
// empty, a member is missing or unreadable; EConvertError for a string that is no number;
// EZeroDivide / EInvalidOp for a zero "USD".
void ProbeRates(TextArea& memo);

} // namespace kasorel
