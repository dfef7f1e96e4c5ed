#include "convert/primitives.h"

#include "convert/errors.h"
#include "convert/locale.h"
#include "convert/unicode.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace kasorel {

namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

int posIn(std::u16string_view sub, std::u16string_view s) {
    if (sub.empty() || s.empty() || sub.size() > s.size())
        return 0;
    const std::size_t p = s.find(sub);
    return p == std::u16string_view::npos ? 0 : RangeCheck(static_cast<std::int64_t>(p) + 1);
}

int hexDigit(char16_t u) {
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

int CheckedAdd(int a, int b) {
    int r = 0;
    if (__builtin_add_overflow(a, b, &r))
        throw EIntOverflow();
    return r;
}

int CheckedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        throw EIntOverflow();
    return r;
}

int RangeCheck(std::int64_t v) {
    if (v < INT_MIN || v > INT_MAX)
        throw ERangeError();
    return static_cast<int>(v);
}

int Length(std::u16string_view s) {
    if (s.size() > static_cast<std::size_t>(INT_MAX))
        throw ERangeError();
    return static_cast<int>(s.size());
}

int AnsiPos(std::u16string_view sub, std::u16string_view s) {
    return posIn(sub, s);
}

int MyAnsiPosEx(std::u16string_view sub, std::u16string_view s, int offset) {
    std::u16string_view rest(s);
    if (offset > 0)
        rest = static_cast<std::size_t>(offset) >= rest.size() ? std::u16string_view()
                                                               : rest.substr(offset);
    return CheckedAdd(posIn(sub, rest), offset);
}

std::u16string AnsiLeftStr(std::u16string_view s, int n) {
    if (n <= 0)
        return std::u16string();
    std::size_t i = 0;
    int characters = 0;
    while (i < s.size() && characters < n) {
        if (isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1]))
            i += 2;
        else
            i += 1;
        ++characters;
    }
    return std::u16string(s.substr(0, i));
}

std::u16string AnsiReplaceStr(std::u16string_view s, std::u16string_view from,
                              std::u16string_view to) {
    if (from.empty() || s.empty())
        return std::u16string(s);
    std::size_t found = s.find(from);
    if (found == std::u16string_view::npos)
        return std::u16string(s);
    std::u16string result;
    result.reserve(s.size());
    std::size_t start = 0;
    while (found != std::u16string_view::npos) {
        result += s.substr(start, found - start);
        result += to;
        start = found + from.size();
        found = s.find(from, start);
    }
    result += s.substr(start);
    return result;
}

void Delete(std::u16string& s, int index, int count) {
    if (index < 1 || static_cast<std::size_t>(index) > s.size() || count <= 0)
        return;
    const std::size_t from = static_cast<std::size_t>(index) - 1;
    s.erase(from, std::min<std::size_t>(static_cast<std::size_t>(count), s.size() - from));
}

void Insert(std::u16string_view sub, std::u16string& s, int index) {
    if (sub.empty())
        return;
    CheckedAdd(Length(s), Length(sub));
    std::size_t at = index < 1 ? 0 : static_cast<std::size_t>(index) - 1;
    if (at > s.size())
        at = s.size();
    s.insert(at, sub);
}

bool TryStrToInt(std::u16string_view s, int& v) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        if (hex) {
            const int d = hexDigit(s[i]);
            if (d < 0)
                return false;
            value = value * 16 + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFu)
                return false;
        } else {
            if (!isDigit(s[i]))
                return false;
            value = value * 10 + static_cast<unsigned>(s[i] - u'0');
            if (value > 2147483648u)
                return false;
        }
    }
    if (hex) {
        // The digits are a 32-bit two's-complement pattern; a "-" negates it (wrapping, so
        // "-$80000000" stays the most negative value).
        std::uint32_t pattern = static_cast<std::uint32_t>(value);
        if (negative)
            pattern = 0u - pattern;
        v = static_cast<std::int32_t>(pattern);
        return true;
    }
    if (negative) {
        v = static_cast<int>(-static_cast<std::int64_t>(value));
        return true;
    }
    if (value > 2147483647u)
        return false;
    v = static_cast<int>(value);
    return true;
}

Extended StrToFloat(std::u16string_view s, std::u16string_view decimalSeparator) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    std::string ascii;
    ascii.reserve(static_cast<size_t>(n) + 1);
    while (i < n && s[i] == u' ')
        ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        ascii += static_cast<char>(s[i]);
        ++i;
    }
    int digits = 0;
    while (i < n && isDigit(s[i])) {
        ascii += static_cast<char>(s[i++]);
        ++digits;
    }
    if (!decimalSeparator.empty() && s.substr(i).starts_with(decimalSeparator)) {
        i += decimalSeparator.size();
        ascii += '.';
        while (i < n && isDigit(s[i])) {
            ascii += static_cast<char>(s[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        throw EConvertError::notAFloat(s);
    if (i < n && (s[i] == u'E' || s[i] == u'e')) {
        ascii += 'E';
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ascii += static_cast<char>(s[i++]);
        int exponentDigits = 0;
        while (i < n && isDigit(s[i])) {
            ascii += static_cast<char>(s[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            throw EConvertError::notAFloat(s);
    }
    while (i < n && s[i] == u' ')
        ++i;
    if (i != n)
        throw EConvertError::notAFloat(s);
    const Extended value = ParseExtended(ascii);
    // A text beyond the range of the type is not a number this program can hold.
    if (IsInf(value))
        throw EConvertError::notAFloat(s);
    return value;
}

Extended StrToFloat(std::u16string_view s) {
    return StrToFloat(s, UserDecimalSeparator());
}

std::u16string FloatToStr(Extended x, std::u16string_view decimalSeparator) {
    if (IsNaN(x))
        return u"NAN";
    if (IsInf(x))
        return x < 0 ? u"-INF" : u"INF";
    if (x == 0)
        return u"0";

    // The leading 41 digits of the exact decimal expansion; rounding them ourselves at the
    // 16th digit gives half-up where printf's own rounding would go to even on an exact tie.
    // 41 digits are far more than a 64-bit significand can bring near a 16-digit boundary.
    const DecimalDigits exact = ScientificDigits(x);
    const std::string& mantissa = exact.digits;
    int e = exact.exponent + 1;

    std::string digits = mantissa.substr(0, 15);
    if (mantissa[15] >= '5') {
        int k = 14;
        while (k >= 0 && digits[k] == '9')
            digits[k--] = '0';
        if (k < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++e;
        } else {
            ++digits[k];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::u16string out;
    if (x < 0)
        out += u'-';
    if (e >= -3 && e <= 15) {
        if (e > 0) {
            if (static_cast<int>(digits.size()) <= e) {
                out += FromAscii(digits);
                out.append(static_cast<std::size_t>(e) - digits.size(), u'0');
            } else {
                out += FromAscii(std::string_view(digits).substr(0, e));
                out += decimalSeparator;
                out += FromAscii(std::string_view(digits).substr(e));
            }
        } else {
            out += u'0';
            out += decimalSeparator;
            out.append(static_cast<std::size_t>(-e), u'0');
            out += FromAscii(digits);
        }
    } else {
        out += static_cast<char16_t>(digits[0]);
        if (digits.size() > 1) {
            out += decimalSeparator;
            out += FromAscii(std::string_view(digits).substr(1));
        }
        out += u'E';
        out += IntToStr(e - 1);
    }
    return out;
}

std::u16string FloatToStr(Extended x) {
    return FloatToStr(x, UserDecimalSeparator());
}

std::u16string IntToStr(std::int64_t n) {
    return FromAscii(std::to_string(n));
}

LocalDate Now() {
    return Today();
}

std::u16string DateToStr(LocalDate date) {
    return UserShortDate(date);
}

std::int64_t Round(Extended x) {
    const Extended limit = 9223372036854775808.0; // 2^63
    if (IsNaN(x) || x >= limit || x < -limit)
        throw EInvalidOp();
    const Extended r = NearbyInt(x);
    if (r >= limit || r < -limit)
        throw EInvalidOp();
    return ToInt64(r);
}

Extended FloatMul(Extended a, Extended b) {
    const Extended r = a * b;
    if (IsNaN(r))
        throw EInvalidOp();
    if (IsInf(r) && IsFinite(a) && IsFinite(b))
        throw EOverflow();
    return r;
}

Extended FloatDiv(Extended a, Extended b) {
    if (b == 0) {
        if (a == 0 || IsNaN(a))
            throw EInvalidOp();
        throw EZeroDivide();
    }
    const Extended r = a / b;
    if (IsNaN(r))
        throw EInvalidOp();
    if (IsInf(r) && IsFinite(a))
        throw EOverflow();
    return r;
}

double StoreDouble(Extended x) {
    const double d = static_cast<double>(x);
    if (std::isinf(d) && IsFinite(x))
        throw EOverflow();
    return d;
}

} // namespace kasorel
