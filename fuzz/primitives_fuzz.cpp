// The text and number primitives against plain references: the integer parser against a
// grammar walk of its own, text to number and back to 15 significant digits, and the search
// and cutting operations against QString's.

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
int HexValue(QChar c) {
    static const QString digits = QStringLiteral("0123456789abcdef");
    return static_cast<int>(digits.indexOf(c, 0, Qt::CaseInsensitive));
}

// Blanks, one sign, then decimal digits within the 32-bit range or a hex prefix and at most
// eight significant hex digits taken as a two's-complement pattern; nothing after.
std::optional<int> ReferenceInt(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    qsizetype prefix = 0;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X'))
        prefix = 1;
    else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X'))
        prefix = 2;
    const QString digits = s.mid(i + prefix);
    if (digits.isEmpty())
        return std::nullopt;
    const int base = prefix ? 16 : 10;
    for (QChar c : digits) {
        const int d = HexValue(c);
        if (d < 0 || d >= base)
            return std::nullopt;
    }
    qsizetype lead = 0;
    while (lead + 1 < digits.size() && digits[lead] == u'0')
        ++lead;
    const QString significant = digits.mid(lead);
    if (significant.size() > (prefix ? 8 : 10))
        return std::nullopt;
    std::int64_t value = 0;
    for (QChar c : significant)
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

void CheckTryStrToInt(const QString& s) {
    int v = 12345;
    const bool ok = TryStrToInt(s, v);
    const std::optional<int> want = ReferenceInt(s);
    Check(ok == want.has_value(), "TryStrToInt accepts exactly the integer texts", s);
    if (ok)
        Check(v == *want, "TryStrToInt reads the value", s);
}

// The number of significant digits of a FloatToStr text.
int SignificantDigits(const QString& t) {
    const qsizetype e = t.indexOf(u'E');
    int count = 0;
    bool started = false;
    for (QChar c : e < 0 ? t : t.left(e)) {
        if (c < u'0' || c > u'9')
            continue;
        started = started || c != u'0';
        count += started;
    }
    return count;
}

void CheckFloatRoundTrip(long double x, const QString& separator) {
    const QString text = FloatToStr(x, separator);
    if (std::isnan(x)) {
        Check(text == QStringLiteral("NAN"), "a NaN is written NAN", text);
        return;
    }
    if (std::isinf(x)) {
        Check(text == (x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF")), "INF", text);
        return;
    }
    Check(SignificantDigits(text) <= 15, "at most 15 significant digits", text);
    Check(!text.contains(u' ') && !text.contains(u'+'), "no blank and no plus sign", text);
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

int Characters(const QString& s) {
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++n)
        i += (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ? 2 : 1;
    return n;
}

void CheckAnsiLeftStr(const QString& s, int n) {
    const QString left = AnsiLeftStr(s, n);
    Check(s.startsWith(left), "AnsiLeftStr gives a prefix", s);
    if (!left.isEmpty() && left.size() < s.size())
        Check(!(left.back().isHighSurrogate() && s[left.size()].isLowSurrogate()),
              "AnsiLeftStr never splits a surrogate pair", s);
    Check(Characters(left) == std::min(std::max(n, 0), Characters(s)),
          "AnsiLeftStr counts characters", s);
}

void CheckTextOperations(const QString& sub, const QString& s, const QString& to, int number) {
    const int pos = AnsiPos(sub, s);
    Check(pos == (sub.isEmpty() ? 0 : static_cast<int>(s.indexOf(sub)) + 1), "AnsiPos", s);

    const QString rest = number <= 0 ? s : s.mid(number);
    const int inRest = sub.isEmpty() ? 0 : static_cast<int>(rest.indexOf(sub)) + 1;
    Check(MyAnsiPosEx(sub, s, number) == number + inRest, "MyAnsiPosEx", s);

    const QString replaced = AnsiReplaceStr(s, sub, to);
    Check(replaced == (sub.isEmpty() ? s : QString(s).replace(sub, to)), "AnsiReplaceStr", s);

    QString deleted = s;
    Delete(deleted, number, to.size() - 1);
    QString wantDeleted = s;
    if (number >= 1 && number <= s.size() && to.size() - 1 > 0)
        wantDeleted.remove(number - 1, to.size() - 1);
    Check(deleted == wantDeleted, "Delete", s);

    QString inserted = s;
    Insert(sub, inserted, number);
    QString wantInserted = s;
    wantInserted.insert(std::clamp<qsizetype>(number - 1, 0, s.size()), sub);
    Check(inserted == wantInserted, "Insert", s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::uint8_t mode = in.Byte();
    try {
        switch (mode % 5) {
        case 0:
            CheckTryStrToInt(in.Text());
            break;
        case 1:
            CheckFloatRoundTrip(in.F64(), mode & 0x80 ? QStringLiteral(",") : QStringLiteral("."));
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
            CheckFloatRoundTrip(x, mode & 0x80 ? QStringLiteral(",") : QStringLiteral("."));
            break;
        }
        case 3: {
            const int n = static_cast<std::int8_t>(in.Byte());
            CheckAnsiLeftStr(in.Text(), n);
            break;
        }
        case 4: {
            const int split = in.Byte();
            const int toSize = in.Byte() % 4;
            const int number = static_cast<std::int8_t>(in.Byte());
            const QString text = in.Text();
            const QString sub = text.left(split % 8);
            const QString s = text.mid(split % 8);
            CheckTextOperations(sub, s, s.left(toSize), number);
            break;
        }
        }
    } catch (const Exception& e) {
        Fail("no primitive raises on these arguments", e.message());
    }
    return 0;
}
