#include "rates/query.h"

#include "convert/primitives.h"
#include "convert/unicode.h"

namespace kasorel {
namespace {

double rateOf(const json::Value& rates) {
    const double jpy = json::ReadDouble(rates, "JPY");
    const double usd = json::ReadDouble(rates, "USD");
    // The rate is held as a double from here on, as the service's numbers are.
    return StoreDouble(FloatDiv(jpy, usd));
}

} // namespace

const json::Value& RatesOf(const json::Value& answer) {
    if (answer.kind != json::Kind::Object)
        throw EJSONException(u"JSON オブジェクトではありません");
    const json::Value* rates = json::FindMember(answer, "rates");
    if (!rates)
        throw EJSONException::memberNotFound(u"rates");
    if (rates->kind != json::Kind::Object)
        throw EJSONException(u"'rates' はオブジェクトではありません");
    return *rates;
}

double ReadRate(const json::Value& answer) {
    return rateOf(RatesOf(answer));
}

std::optional<double> QueryExchangeRate(RESTRequest& request, TextArea& memo) {
    // The query owns its failures: whatever goes wrong, the user sees the one failure line
    // and the command ends without touching the clipboard.
    try {
        request.Execute();
        const json::Value* answer = request.Response().JSONValue();
        if (!answer)
            throw EJSONException(u"JSON として読めない応答です");
        memo.Add(json::Write(*answer));
        return ReadRate(*answer);
    } catch (...) {
        memo.Add(kRateQueryFailed);
        return std::nullopt;
    }
}

void ProbeRates(TextArea& memo) {
    const std::optional<json::Value> answer = json::Parse(memo.Text());
    if (!answer)
        throw EJSONException(u"JSON オブジェクトではありません");
    const json::Value& rates = RatesOf(*answer);
    if (rates.members.empty())
        throw EJSONException(u"'rates' にメンバーがありません");
    const std::string& first = rates.members.front().name;
    const double rate = rateOf(rates);
    memo.Add(FromUtf8(first));
    memo.Add(FloatToStr(rate));
}

} // namespace kasorel
