#pragma once

// Extended, the floating-point type the number primitives compute with: the x87 extended
// format (sign, 15-bit exponent, explicit 64-bit significand, denormals), every operation
// rounded to nearest with ties to even. Where long double is that format (x86-64 Linux and
// Windows) Extended is long double, computed by the hardware; elsewhere (WebAssembly, whose
// long double is a 128-bit type) it is SoftExtended, which gives the same bits, so that a
// statement converts to the same yen amounts and the same digits on every platform.

#include <cfloat>
#include <cmath>
#include <compare>
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

namespace kasorel {

// The bits of an x87 extended value: the sign and 15-bit biased exponent, then the
// significand with its integer bit (set for every normal number, clear for zeros and
// denormals).
struct ExtendedBits {
    std::uint16_t signExponent = 0;
    std::uint64_t significand = 0;
    friend bool operator==(const ExtendedBits&, const ExtendedBits&) = default;
};

// The leading 41 significant decimal digits of a finite non-zero magnitude, as
// printf("%.40Le") gives them: the exact binary value rounded half to even.
struct DecimalDigits {
    std::string digits; // 41 digits, the first not 0
    int exponent = 0;   // the value is digits[0].digits[1..] × 10^exponent
};

// The x87 extended format in standard C++. Values are exact where the hardware's are
// (conversions from double and from 64-bit integers); products, quotients, decimal texts
// and conversions to double round to nearest, ties to even, as the x87 unit does in its
// extended-precision mode, with gradual underflow and overflow to infinity.
class SoftExtended {
public:
    // +0.
    SoftExtended() = default;
    // d exactly; a NaN stays a quiet NaN with the same sign and leading payload bits.
    SoftExtended(double d);
    // v exactly.
    template <std::integral T>
    requires(!std::same_as<T, bool>) SoftExtended(T v) {
        *this = fromInteger(v < 0, v < 0 ? 0 - static_cast<std::uint64_t>(v)
                                         : static_cast<std::uint64_t>(v));
    }

    // The value with these bits; they must be a valid encoding (the integer bit set exactly
    // when the exponent is not 0).
    static SoftExtended FromBits(ExtendedBits bits);
    // The value of a decimal text, as glibc's strtold reads it in the "C" locale: an optional
    // sign, digits with an optional "." and fraction (at least one digit in all), an optional
    // exponent ("E" or "e", optional sign, digits); nothing else. Correctly rounded however
    // many digits there are; ±infinity beyond the range, denormals and ±0 below it.
    static SoftExtended Parse(std::string_view text);

    // The nearest double, ties to even: ±infinity beyond the double range, denormals below
    // it; a NaN gives a quiet NaN.
    explicit operator double() const;

    // The bits, the IEEE classes, and -x (the sign flipped, NaNs included).
    friend ExtendedBits BitsOf(SoftExtended x) { return {x.signExponent_, x.significand_}; }
    friend bool IsNaN(SoftExtended x) {
        return x.field() == kMaxField && (x.significand_ << 1) != 0;
    }
    friend bool IsInf(SoftExtended x) {
        return x.field() == kMaxField && (x.significand_ << 1) == 0;
    }
    friend bool IsFinite(SoftExtended x) { return x.field() != kMaxField; }
    friend SoftExtended operator-(SoftExtended x) {
        x.signExponent_ ^= 0x8000;
        return x;
    }
    // The product and the quotient; 0 × ∞, ∞ ÷ ∞, 0 ÷ 0 and a NaN operand give a NaN, a
    // non-zero value divided by zero an infinity.
    friend SoftExtended operator*(SoftExtended a, SoftExtended b);
    friend SoftExtended operator/(SoftExtended a, SoftExtended b);
    // IEEE comparisons: a NaN is unordered, -0 equals +0.
    friend bool operator==(SoftExtended a, SoftExtended b) {
        return (a <=> b) == std::partial_ordering::equivalent;
    }
    friend std::partial_ordering operator<=>(SoftExtended a, SoftExtended b);
    // The integer nearest to x, ties to even; NaNs, infinities and zeros as they are.
    friend SoftExtended NearbyInt(SoftExtended x);
    // x, an integer in [-2^63, 2^63), as a 64-bit integer.
    friend std::int64_t ToInt64(SoftExtended x);
    // The digits of |x|, which must be finite and not 0.
    friend DecimalDigits ScientificDigits(SoftExtended x);

private:
    static constexpr int kMaxField = 0x7FFF;
    static SoftExtended fromInteger(bool negative, std::uint64_t magnitude);
    int field() const { return signExponent_ & 0x7FFF; }

    std::uint64_t significand_ = 0;
    std::uint16_t signExponent_ = 0;
};

#if LDBL_MANT_DIG == 64
using Extended = long double;

// The same operations on the hardware type, so that code written for Extended compiles with
// either type.
ExtendedBits BitsOf(long double x);
inline bool IsNaN(long double x) {
    return std::isnan(x);
}
inline bool IsInf(long double x) {
    return std::isinf(x);
}
inline bool IsFinite(long double x) {
    return std::isfinite(x);
}
// Rounds in the current rounding mode, which this program leaves at nearest, ties to even.
inline long double NearbyInt(long double x) {
    return std::nearbyint(x);
}
inline std::int64_t ToInt64(long double x) {
    return static_cast<std::int64_t>(x);
}
DecimalDigits ScientificDigits(long double x);
#else
using Extended = SoftExtended;
#endif

// The Extended value with these bits (a valid encoding, as for SoftExtended::FromBits).
Extended ExtendedFromBits(ExtendedBits bits);

// The Extended value of a decimal text of the form SoftExtended::Parse reads, as glibc's
// strtold reads it in the "C" locale: strtold itself on Linux, SoftExtended::Parse elsewhere.
Extended ParseExtended(const std::string& text);

} // namespace kasorel
