// The JSON reader and writer on any text: parsing fails cleanly or gives a value whose
// compact text parses again to the same text; reading rates from it and the probe either
// answer or raise an error of a named kind.

#include "convert/errors.h"
#include "convert/textarea.h"
#include "fuzz_support.h"
#include "rates/json.h"
#include "rates/query.h"

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

void ReadEverything(const json::Value& v) {
    try {
        ReadRate(v);
    } catch (const Exception&) {
    }
    for (const json::Member& m : v.members) {
        try {
            json::AsDouble(m.value);
        } catch (const Exception&) {
        }
        json::FindMember(v, m.name);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::u16string text = in.Text();

    if (const std::optional<json::Value> value = json::Parse(text)) {
        ReadEverything(*value);
        std::u16string once;
        try {
            once = json::Write(*value);
        } catch (const EJSONException&) {
            // A string that is no UTF-8 (an escaped lone low surrogate) cannot be written.
            return 0;
        }
        Check(once.find_first_of(u"\r\n\u2028\u2029") == std::u16string::npos,
              "the written text is one line", once);
        const std::optional<json::Value> again = json::Parse(once);
        Check(again.has_value(), "written JSON parses", text + u"\n=> " + once);
        std::u16string twice;
        try {
            twice = json::Write(*again);
        } catch (const Exception&) {
            Fail("written JSON can be written again", once);
        }
        Check(twice == once, "parse and write again gives the same text", once + u"\n=> " + twice);
    }

    // The probe reads the text area's text: either both lines go in or neither.
    TextArea memo(text);
    const std::u16string before = memo.Text();
    const int count = memo.Count();
    try {
        ProbeRates(memo);
    } catch (const Exception&) {
        Check(memo.Text() == before, "a refused probe appends nothing");
        return 0;
    }
    Check(memo.Count() == count + 2, "the probe appends two lines");
    return 0;
}
