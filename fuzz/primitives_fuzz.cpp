// The text and number primitives against plain references: the integer parser against a
// grammar walk of its own, text to number and back to 15 significant digits, and the search
// and cutting operations against the standard library's.

#include "convert/errors.h"
#include "convert/primitives.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <optional>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

// Written apart from the parser it checks: the digit's place in a table is its value.
int HexValue(char16_t c) {
    static constexpr std::u16string_view digits = u"0123456789abcdef";
    if (c >= u'A' && c <= u'F')
        c = static_cast<char16_t>(c - u'A' + u'a');
    const std::size_t at = digits.find(c);
    return at == std::u16string_view::npos ? -1 : static_cast<int>(at);
}

// Blanks, one sign, then decimal digits within the 32-bit range or a hex prefix and at most
// eight significant hex digits taken as a two's-complement pattern; nothing after.
std::optional<int> ReferenceInt(const std::u16string& s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    std::size_t prefix = 0;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X'))
        prefix = 1;
    else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X'))
        prefix = 2;
    const std::u16string digits = Mid(s, i + prefix);
    if (digits.empty())
        return std::nullopt;
    const int base = prefix ? 16 : 10;
    for (char16_t c : digits) {
        const int d = HexValue(c);
        if (d < 0 || d >= base)
            return std::nullopt;
    }
    std::size_t lead = 0;
    while (lead + 1 < digits.size() && digits[lead] == u'0')
        ++lead;
    const std::u16string significant = digits.substr(lead);
    if (significant.size() > (prefix ? 8u : 10u))
        return std::nullopt;
    std::int64_t value = 0;
    for (char16_t c : significant)
        value = value * base + HexValue(c);
    if (prefix) {
        std::uint32_t pattern = static_cast<std::uint32_t>(value);
        if (negative)
            pattern = 0u - pattern;
        return static_cast<std::int32_t>(pattern);
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

void CheckTryStrToInt(const std::u16string& s) {
    int v = 12345;
    const bool ok = TryStrToInt(s, v);
    const std::optional<int> want = ReferenceInt(s);
    Check(ok == want.has_value(), "TryStrToInt accepts exactly the integer texts", s);
    if (ok)
        Check(v == *want, "TryStrToInt reads the value", s);
}

// The number of significant digits of a FloatToStr text.
int SignificantDigits(std::u16string_view t) {
    const std::size_t e = t.find(u'E');
    int count = 0;
    bool started = false;
    for (char16_t c : t.substr(0, e)) {
        if (c < u'0' || c > u'9')
            continue;
        started = started || c != u'0';
        count += started;
    }
    return count;
}

// The soft type stands in for this hardware where long double is another format: the same
// digits, the same bits read back from the text, the same product, quotient and double.
void CheckSoftExtended(long double x, const std::u16string& text) {
    const SoftExtended s = SoftExtended::FromBits(BitsOf(x));
    if (IsFinite(x) && x != 0) {
        const DecimalDigits soft = ScientificDigits(s), hard = ScientificDigits(x);
        Check(soft.digits == hard.digits && soft.exponent == hard.exponent, "soft digits", text);
        const std::string ascii = ToUtf8(FloatToStr(x, u"."));
        Check(BitsOf(SoftExtended::Parse(ascii)) == BitsOf(ParseExtended(ascii)), "soft parse",
              text);
    }
    Check(IsNaN(x) || BitsOf(s * s) == BitsOf(x * x), "soft product", text);
    Check(IsNaN(x) || BitsOf(3 / s) == BitsOf(3 / x), "soft quotient", text);
    const double soft = static_cast<double>(s), hard = static_cast<double>(x);
    Check(IsNaN(x) || std::memcmp(&soft, &hard, sizeof soft) == 0, "soft double", text);
}

void CheckFloatRoundTrip(Extended x, std::u16string_view separator) {
    const std::u16string text = FloatToStr(x, separator);
    CheckSoftExtended(x, text);
    if (std::isnan(x)) {
        Check(text == u"NAN", "a NaN is written NAN", text);
        return;
    }
    if (std::isinf(x)) {
        Check(text == (x < 0 ? u"-INF" : u"INF"), "INF", text);
        return;
    }
    Check(SignificantDigits(text) <= 15, "at most 15 significant digits", text);
    Check(!Contains(text, u" ") && !Contains(text, u"+"), "no blank and no plus sign", text);
    // Near the top of the range the rounding up to 15 digits may pass it, and below the
    // normal range the digits are no longer all held; neither is a round trip's concern.
    if (std::fabs(x) < LDBL_MIN || std::fabs(x) > 1e4931L)
        return;
    long double y = 0;
    try {
        y = StrToFloat(text, separator);
    } catch (const EConvertError&) {
        Fail("StrToFloat reads what FloatToStr wrote", text);
    }
    Check(FloatToStr(y, separator) == text, "back to the same 15 digits", text);
    // The text is x to 15 digits; reading it back rounds once more, by up to one unit in the
    // last place of y, so an exact tie may land that much beyond half a unit of the 15th digit.
    const long double readBack = std::fabs(std::nextafter(y, y < 0 ? -LDBL_MAX : LDBL_MAX) - y);
    Check(std::fabs(y - x) <= std::fabs(x) * 5.000001e-15L + readBack,
          "equal to 15 significant digits", text);
}

int Characters(std::u16string_view s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size(); ++n)
        i += (IsHighSurrogate(s[i]) && i + 1 < s.size() && IsLowSurrogate(s[i + 1])) ? 2 : 1;
    return n;
}

void CheckAnsiLeftStr(const std::u16string& s, int n) {
    const std::u16string left = AnsiLeftStr(s, n);
    Check(s.starts_with(left), "AnsiLeftStr gives a prefix", s);
    if (!left.empty() && left.size() < s.size())
        Check(!(IsHighSurrogate(left.back()) && IsLowSurrogate(s[left.size()])),
              "AnsiLeftStr never splits a surrogate pair", s);
    Check(Characters(left) == std::min(std::max(n, 0), Characters(s)),
          "AnsiLeftStr counts characters", s);
}

// Every occurrence of from replaced, left to right, the scan going on behind each.
std::u16string ReplaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
    for (std::size_t at = s.find(from); at != std::u16string::npos;
         at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

int PositionIn(std::u16string_view s, std::u16string_view sub) {
    const std::size_t at = s.find(sub);
    return sub.empty() || at == std::u16string_view::npos ? 0 : static_cast<int>(at) + 1;
}

void CheckTextOperations(const std::u16string& sub, const std::u16string& s,
                         const std::u16string& to, int number) {
    Check(AnsiPos(sub, s) == PositionIn(s, sub), "AnsiPos", s);

    const std::u16string rest = number <= 0 ? s : Mid(s, static_cast<std::size_t>(number));
    Check(MyAnsiPosEx(sub, s, number) == number + PositionIn(rest, sub), "MyAnsiPosEx", s);

    const std::u16string replaced = AnsiReplaceStr(s, sub, to);
    Check(replaced == (sub.empty() ? s : ReplaceAll(s, sub, to)), "AnsiReplaceStr", s);

    const int count = static_cast<int>(to.size()) - 1;
    std::u16string deleted = s;
    Delete(deleted, number, count);
    std::u16string wantDeleted = s;
    if (number >= 1 && static_cast<std::size_t>(number) <= s.size() && count > 0)
        wantDeleted.erase(static_cast<std::size_t>(number) - 1, static_cast<std::size_t>(count));
    Check(deleted == wantDeleted, "Delete", s);

    std::u16string inserted = s;
    Insert(sub, inserted, number);
    std::u16string wantInserted = s;
    wantInserted.insert(
        static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(number - 1, 0, std::ssize(s))), sub);
    Check(inserted == wantInserted, "Insert", s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t mode = in.Byte();
    const std::u16string_view separator = mode & 0x80 ? u"," : u".";
    try {
        switch (mode % 5) {
        case 0:
            CheckTryStrToInt(in.Text());
            break;
        case 1:
            CheckFloatRoundTrip(in.F64(), separator);
            break;
        case 2: {
            // Any value of the 80-bit extended type. Its integer bit is explicit; it is set
            // to match the exponent, since the other patterns are no numbers at all.
            long double x = 0;
            std::uint8_t raw[10];
            for (auto& b : raw)
                b = in.Byte();
            const bool denormal = (raw[8] | (raw[9] & 0x7F)) == 0;
            raw[7] = denormal ? (raw[7] & 0x7F) : (raw[7] | 0x80);
            std::memcpy(&x, raw, sizeof raw);
            CheckFloatRoundTrip(x, separator);
            break;
        }
        case 3: {
            const int n = static_cast<std::int8_t>(in.Byte());
            CheckAnsiLeftStr(in.Text(), n);
            break;
        }
        case 4: {
            const int split = in.Byte();
            const std::size_t toSize = in.Byte() % 4;
            const int number = static_cast<std::int8_t>(in.Byte());
            const std::u16string text = in.Text();
            const std::u16string sub = Mid(text, 0, static_cast<std::size_t>(split % 8));
            const std::u16string s = Mid(text, static_cast<std::size_t>(split % 8));
            CheckTextOperations(sub, s, s.substr(0, toSize), number);
            break;
        }
        }
    } catch (const Exception& e) {
        Fail("no primitive raises on these arguments", e.message());
    }
    return 0;
}
