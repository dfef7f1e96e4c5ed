#include "convert/extended.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#if LDBL_MANT_DIG == 64 && !defined(_WIN32)
#include <locale.h>
#endif

namespace kasorel {

namespace {

// GCC and Clang have it on every platform this program is built for (x86-64, WebAssembly).
__extension__ typedef unsigned __int128 u128;

constexpr int kBias = 16383;
constexpr int kInfField = 0x7FFF;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 62;

// std::bit_cast is missing from the WebAssembly toolchain's library.
template <class To, class From> To bitCast(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

int countLeadingZeros(u128 v) {
    const auto high = static_cast<std::uint64_t>(v >> 64);
    return high ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<std::uint64_t>(v));
}

struct Rounded {
    int field;        // biased exponent: 0 for denormals and zero, maxField for infinity
    u128 significand; // with the integer bit, precision bits wide
};

// (wide + a little, when sticky) × 2^exp2, wide > 0, rounded to nearest even in a binary
// format of precision significant bits and this exponent bias, with denormals at field 0.
Rounded roundBinary(u128 wide, bool sticky, int exp2, int precision, int bias, int maxField) {
    const int lz = countLeadingZeros(wide);
    wide <<= lz;
    exp2 -= lz;
    // The leading bit, now bit 127, weighs 2^(exp2 + 127).
    int field = exp2 + 127 + bias;
    int drop = 128 - precision;
    if (field <= 0) {
        // Below the normal range the significand keeps fewer bits: those weighing at least
        // the smallest denormal.
        drop += 1 - field;
        field = 0;
    }
    u128 kept = 0;
    bool half = false;
    if (drop > 128) {
        sticky = true;
    } else {
        kept = drop == 128 ? 0 : wide >> drop;
        half = ((wide >> (drop - 1)) & 1) != 0;
        sticky = sticky || (wide << (129 - drop)) != 0;
    }
    if (half && (sticky || (kept & 1) != 0))
        ++kept;
    if (kept >> precision) {
        kept >>= 1;
        ++field;
    } else if (field == 0 && (kept >> (precision - 1)) != 0) {
        field = 1; // a denormal rounded up to the smallest normal number
    }
    if (field >= maxField)
        return {maxField, 0};
    return {field, kept};
}

SoftExtended makeExtended(bool negative, int field, std::uint64_t significand) {
    const auto sign = static_cast<std::uint16_t>(negative ? 0x8000 : 0);
    return SoftExtended::FromBits({static_cast<std::uint16_t>(sign | field), significand});
}

SoftExtended zero(bool negative) {
    return makeExtended(negative, 0, 0);
}

SoftExtended infinity(bool negative) {
    return makeExtended(negative, kInfField, kIntegerBit);
}

// What the x87 unit gives for an invalid operation: the negative quiet NaN "indefinite".
SoftExtended indefinite() {
    return makeExtended(true, kInfField, kIntegerBit | kQuietBit);
}

SoftExtended quiet(SoftExtended nan) {
    const ExtendedBits b = BitsOf(nan);
    return SoftExtended::FromBits({b.signExponent, b.significand | kQuietBit});
}

SoftExtended roundToExtended(bool negative, u128 wide, bool sticky, int exp2) {
    if (wide == 0)
        return zero(negative);
    const Rounded r = roundBinary(wide, sticky, exp2, 64, kBias, kInfField);
    if (r.field == kInfField)
        return infinity(negative);
    return makeExtended(negative, r.field, static_cast<std::uint64_t>(r.significand));
}

bool isNegative(SoftExtended x) {
    return (BitsOf(x).signExponent & 0x8000) != 0;
}

int fieldOf(SoftExtended x) {
    return BitsOf(x).signExponent & 0x7FFF;
}

// A finite x is significand × 2^exp2 with this exp2.
int exp2Of(SoftExtended x) {
    return std::max(fieldOf(x), 1) - kBias - 63;
}

// An unsigned integer of any size: 32-bit limbs, least significant first, no zero limb at
// the top. Decimal texts and digits need a few thousand of them at the ends of the range.
class Big {
public:
    explicit Big(std::uint64_t v = 0) {
        for (; v; v >>= 32)
            limbs_.push_back(static_cast<std::uint32_t>(v));
    }

    bool isZero() const { return limbs_.empty(); }
    int bitLength() const {
        return limbs_.empty()
                   ? 0
                   : static_cast<int>(limbs_.size()) * 32 - std::countl_zero(limbs_.back());
    }
    u128 low128() const {
        u128 v = 0;
        for (std::size_t i = std::min<std::size_t>(limbs_.size(), 4); i-- > 0;)
            v = (v << 32) | limbs_[i];
        return v;
    }

    // this × m + add.
    void mulAdd(std::uint32_t m, std::uint32_t add) {
        std::uint64_t carry = add;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t t = std::uint64_t{limb} * m + carry;
            limb = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        if (carry)
            limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    void mulPow5(int k) {
        for (; k >= 13; k -= 13)
            mulAdd(1220703125, 0); // 5^13
        std::uint32_t m = 1;
        for (; k > 0; --k)
            m *= 5;
        mulAdd(m, 0);
    }
    void shiftLeft(int bits) {
        if (limbs_.empty() || bits == 0)
            return;
        const int whole = bits / 32, piece = bits % 32;
        if (piece) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t next = limb >> (32 - piece);
                limb = (limb << piece) | carry;
                carry = next;
            }
            if (carry)
                limbs_.push_back(carry);
        }
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(whole), 0);
    }
    // Shifts right; true when a set bit fell off.
    bool shiftRight(int bits) {
        const auto whole = static_cast<std::size_t>(bits / 32);
        const int piece = bits % 32;
        if (whole >= limbs_.size()) {
            const bool lost = !limbs_.empty();
            limbs_.clear();
            return lost;
        }
        bool lost = std::any_of(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole),
                                [](std::uint32_t l) { return l != 0; });
        limbs_.erase(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole));
        if (piece) {
            lost = lost || (limbs_[0] & ((std::uint32_t{1} << piece) - 1)) != 0;
            for (std::size_t i = 0; i < limbs_.size(); ++i) {
                const std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] : 0;
                limbs_[i] = (limbs_[i] >> piece) | (high << (32 - piece));
            }
        }
        trim();
        return lost;
    }
    // Divides by d > 0; gives the remainder.
    std::uint32_t divSmall(std::uint32_t d) {
        std::uint64_t rest = 0;
        for (std::size_t i = limbs_.size(); i-- > 0;) {
            const std::uint64_t t = (rest << 32) | limbs_[i];
            limbs_[i] = static_cast<std::uint32_t>(t / d);
            rest = t % d;
        }
        trim();
        return static_cast<std::uint32_t>(rest);
    }
    int compare(const Big& o) const {
        if (limbs_.size() != o.limbs_.size())
            return limbs_.size() < o.limbs_.size() ? -1 : 1;
        for (std::size_t i = limbs_.size(); i-- > 0;)
            if (limbs_[i] != o.limbs_[i])
                return limbs_[i] < o.limbs_[i] ? -1 : 1;
        return 0;
    }
    // this - o, o <= this.
    void subtract(const Big& o) {
        std::int64_t borrow = 0;
        for (std::size_t i = 0; i < limbs_.size(); ++i) {
            std::int64_t t =
                std::int64_t{limbs_[i]} - borrow - (i < o.limbs_.size() ? o.limbs_[i] : 0);
            borrow = t < 0;
            limbs_[i] = static_cast<std::uint32_t>(t + (borrow << 32));
        }
        trim();
    }
    void setBit(int i) {
        const auto at = static_cast<std::size_t>(i / 32);
        if (limbs_.size() <= at)
            limbs_.resize(at + 1, 0);
        limbs_[at] |= std::uint32_t{1} << (i % 32);
    }
    std::string toDecimal() const {
        Big rest = *this;
        std::vector<std::uint32_t> chunks; // nine digits each, least significant first
        while (!rest.isZero())
            chunks.push_back(rest.divSmall(1000000000));
        std::string out = chunks.empty() ? "0" : std::to_string(chunks.back());
        for (std::size_t i = chunks.size() - (chunks.empty() ? 0 : 1); i-- > 0;) {
            const std::string piece = std::to_string(chunks[i]);
            out.append(9 - piece.size(), '0');
            out += piece;
        }
        return out;
    }

private:
    void trim() {
        while (!limbs_.empty() && limbs_.back() == 0)
            limbs_.pop_back();
    }

    std::vector<std::uint32_t> limbs_;
};

// floor(num ÷ den), den > 0, and whether a remainder was left. The quotients asked for are
// small (below 2^150), so the long division goes bit by bit when den has several limbs.
Big divide(Big num, Big den, bool& inexact) {
    if (den.bitLength() <= 32) {
        inexact = num.divSmall(static_cast<std::uint32_t>(den.low128())) != 0;
        return num;
    }
    Big q;
    const int d = num.bitLength() - den.bitLength();
    if (d >= 0) {
        den.shiftLeft(d);
        for (int i = d; i >= 0; --i) {
            if (num.compare(den) >= 0) {
                num.subtract(den);
                q.setBit(i);
            }
            den.shiftRight(1);
        }
    }
    inexact = !num.isZero();
    return q;
}

// floor(b × log10 2) for the binary exponents of the format, or one less or more.
int floorLog10Pow2(int b) {
    return static_cast<int>((std::int64_t{b} * 1292913986) >> 32);
}

// Halfway points between neighbouring values have at most 11515 significant digits (those
// of (2m + 1) × 5^16446); digits past this many only ever count as "something more".
constexpr std::size_t kMaxDigits = 11600;

} // namespace

SoftExtended::SoftExtended(double d) {
    const auto bits = bitCast<std::uint64_t>(d);
    const bool negative = (bits >> 63) != 0;
    const int f = static_cast<int>(bits >> 52) & 0x7FF;
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (f == 0x7FF)
        *this = fraction
                    ? makeExtended(negative, kInfField, kIntegerBit | kQuietBit | fraction << 11)
                    : infinity(negative);
    else
        *this = roundToExtended(negative, f ? fraction | std::uint64_t{1} << 52 : fraction, false,
                                std::max(f, 1) - 1075);
}

SoftExtended SoftExtended::fromInteger(bool negative, std::uint64_t magnitude) {
    return roundToExtended(negative, magnitude, false, 0);
}

SoftExtended SoftExtended::FromBits(ExtendedBits bits) {
    SoftExtended x;
    x.signExponent_ = bits.signExponent;
    x.significand_ = bits.significand;
    return x;
}

SoftExtended SoftExtended::Parse(std::string_view text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // The value is digits × 10^exp10, digits without leading zeros.
    std::string digits;
    std::int64_t exp10 = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        exp10 -= point;
        if (c != '0' || !digits.empty())
            digits += c;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        // Any exponent past a billion gives the same infinity or zero.
        std::int64_t e = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            e = std::min<std::int64_t>(e * 10 + (text[i] - '0'), 1000000000);
        exp10 += negativeExponent ? -e : e;
    }
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exp10;
    }
    if (digits.empty())
        return zero(negative);
    // The value lies in [10^(n - 1 + exp10), 10^(n + exp10)): the largest value is below
    // 1.19E4932, half the smallest denormal above 1.8E-4951.
    const auto n = static_cast<std::int64_t>(digits.size());
    if (n - 1 + exp10 >= 4933)
        return infinity(negative);
    if (n + exp10 <= -4951)
        return zero(negative);
    if (digits.size() > kMaxDigits) {
        exp10 += n - static_cast<std::int64_t>(kMaxDigits) - 1;
        digits.resize(kMaxDigits);
        digits += '1';
    }

    Big num;
    for (std::size_t at = 0; at < digits.size(); at += 9) {
        const std::size_t len = std::min<std::size_t>(9, digits.size() - at);
        std::uint32_t scale = 1, chunk = 0;
        for (std::size_t k = 0; k < len; ++k) {
            scale *= 10;
            chunk = chunk * 10 + static_cast<std::uint32_t>(digits[at + k] - '0');
        }
        num.mulAdd(scale, chunk);
    }
    // digits × 10^exp10 = num ÷ den × 2^exp10; scaled by 2^s the quotient has 67 or 68 bits,
    // enough for the significand, the rounding bit and more.
    const int e10 = static_cast<int>(exp10);
    Big den(1);
    if (e10 >= 0)
        num.mulPow5(e10);
    else
        den.mulPow5(-e10);
    const int s = 67 - num.bitLength() + den.bitLength();
    bool inexact = false;
    if (s >= 0)
        num.shiftLeft(s);
    else if (e10 >= 0)
        inexact = num.shiftRight(-s);
    else
        den.shiftLeft(-s);
    bool rest = false;
    const Big q = divide(std::move(num), std::move(den), rest);
    return roundToExtended(negative, q.low128(), inexact || rest, e10 - s);
}

SoftExtended::operator double() const {
    const std::uint64_t sign = std::uint64_t{isNegative(*this)} << 63;
    std::uint64_t bits = sign;
    if (IsNaN(*this)) {
        bits |= 0x7FF8000000000000 | (significand_ >> 11 & 0x000FFFFFFFFFFFFF);
    } else if (IsInf(*this)) {
        bits |= 0x7FF0000000000000;
    } else if (significand_ != 0) {
        const Rounded r = roundBinary(significand_, false, exp2Of(*this), 53, 1023, 0x7FF);
        bits |= static_cast<std::uint64_t>(r.field) << 52 |
                (static_cast<std::uint64_t>(r.significand) & 0x000FFFFFFFFFFFFF);
    }
    return bitCast<double>(bits);
}

SoftExtended operator*(SoftExtended a, SoftExtended b) {
    const bool negative = isNegative(a) != isNegative(b);
    if (IsNaN(a) || IsNaN(b))
        return quiet(IsNaN(a) ? a : b);
    if (!IsFinite(a) || !IsFinite(b))
        return a.significand_ == 0 || b.significand_ == 0 ? indefinite() : infinity(negative);
    if (a.significand_ == 0 || b.significand_ == 0)
        return zero(negative);
    return roundToExtended(negative, u128{a.significand_} * b.significand_, false,
                           exp2Of(a) + exp2Of(b));
}

SoftExtended operator/(SoftExtended a, SoftExtended b) {
    const bool negative = isNegative(a) != isNegative(b);
    if (IsNaN(a) || IsNaN(b))
        return quiet(IsNaN(a) ? a : b);
    if (IsInf(a))
        return IsInf(b) ? indefinite() : infinity(negative);
    if (IsInf(b))
        return zero(negative);
    if (b.significand_ == 0)
        return a.significand_ == 0 ? indefinite() : infinity(negative);
    if (a.significand_ == 0)
        return zero(negative);
    const int za = std::countl_zero(a.significand_), zb = std::countl_zero(b.significand_);
    const std::uint64_t ma = a.significand_ << za, mb = b.significand_ << zb;
    // ma × 2^66 ÷ mb in two steps, each within 128 bits: a quotient of 65 to 67 bits and
    // the exact remainder.
    const u128 high = (u128{ma} << 64) / mb;
    const u128 rest = ((u128{ma} << 64) % mb) << 2;
    const u128 q = high << 2 | rest / mb;
    return roundToExtended(negative, q, rest % mb != 0, exp2Of(a) - za - exp2Of(b) + zb - 66);
}

std::partial_ordering operator<=>(SoftExtended a, SoftExtended b) {
    if (IsNaN(a) || IsNaN(b))
        return std::partial_ordering::unordered;
    if (a.significand_ == 0 && b.significand_ == 0)
        return std::partial_ordering::equivalent;
    if (isNegative(a) != isNegative(b))
        return isNegative(a) ? std::partial_ordering::less : std::partial_ordering::greater;
    // Within a sign the encodings order as the magnitudes do.
    const int fa = a.field(), fb = b.field();
    const std::uint64_t ma = a.significand_, mb = b.significand_;
    if (fa == fb && ma == mb)
        return std::partial_ordering::equivalent;
    const bool smaller = fa != fb ? fa < fb : ma < mb;
    return smaller != isNegative(a) ? std::partial_ordering::less : std::partial_ordering::greater;
}

SoftExtended NearbyInt(SoftExtended x) {
    if (!IsFinite(x) || x.significand_ == 0)
        return x;
    const int e = exp2Of(x);
    if (e >= 0)
        return x;
    if (e < -64)
        return zero(isNegative(x)); // below one half
    const int shift = -e;
    const std::uint64_t m = x.significand_;
    std::uint64_t n = shift == 64 ? 0 : m >> shift;
    const bool half = ((m >> (shift - 1)) & 1) != 0;
    const bool more = (m & ((std::uint64_t{1} << (shift - 1)) - 1)) != 0;
    if (half && (more || (n & 1) != 0))
        ++n;
    return SoftExtended::fromInteger(isNegative(x), n);
}

std::int64_t ToInt64(SoftExtended x) {
    const int e = exp2Of(x);
    std::uint64_t magnitude = 0;
    if (e >= 0)
        magnitude = e >= 64 ? 0 : x.significand_ << e;
    else if (e > -64)
        magnitude = x.significand_ >> -e;
    return static_cast<std::int64_t>(isNegative(x) ? 0 - magnitude : magnitude);
}

DecimalDigits ScientificDigits(SoftExtended x) {
    const std::uint64_t m = x.significand_;
    const int e2 = exp2Of(x);
    const int top = e2 + 63 - std::countl_zero(m);
    // |x| × 10^k has 42 or more digits: one past the 41 kept, and whether any more are left.
    for (int k = 41 - floorLog10Pow2(top);; ++k) {
        Big num(m), den(1);
        bool inexact = false;
        const int twoExp = e2 + k;
        if (k >= 0)
            num.mulPow5(k);
        else
            den.mulPow5(-k);
        if (twoExp >= 0)
            num.shiftLeft(twoExp);
        else if (k >= 0)
            inexact = num.shiftRight(-twoExp);
        else
            den.shiftLeft(-twoExp);
        bool rest = false;
        const std::string all = divide(std::move(num), std::move(den), rest).toDecimal();
        if (all.size() < 42)
            continue;
        DecimalDigits out{all.substr(0, 41), static_cast<int>(all.size()) - 1 - k};
        const char next = all[41];
        const bool beyond = inexact || rest || all.find_first_not_of('0', 42) != std::string::npos;
        if (next > '5' || (next == '5' && (beyond || (out.digits[40] - '0') % 2 != 0))) {
            int d = 40;
            while (d >= 0 && out.digits[d] == '9')
                out.digits[d--] = '0';
            if (d < 0) {
                out.digits.insert(out.digits.begin(), '1');
                out.digits.pop_back();
                ++out.exponent;
            } else {
                ++out.digits[d];
            }
        }
        return out;
    }
}

#if LDBL_MANT_DIG == 64

ExtendedBits BitsOf(long double x) {
    // The x87 format's ten bytes, little-endian: the significand, then sign and exponent.
    ExtendedBits b;
    std::memcpy(&b.significand, &x, 8);
    std::memcpy(&b.signExponent, reinterpret_cast<const char*>(&x) + 8, 2);
    return b;
}

Extended ExtendedFromBits(ExtendedBits bits) {
    long double x = 0;
    std::memcpy(&x, &bits.significand, 8);
    std::memcpy(reinterpret_cast<char*>(&x) + 8, &bits.signExponent, 2);
    return x;
}

DecimalDigits ScientificDigits(long double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.40Le", std::fabs(x));
    DecimalDigits out;
    out.digits = buf[0] + std::string(buf + 2, 40);
    out.exponent = std::atoi(buf + 43);
    return out;
}

Extended ParseExtended(const std::string& text) {
#ifdef _WIN32
    // MinGW's strtold misreads texts of some thousands of digits or leading zeros ("0.", 20000
    // zeros, "1E20001" reads as 0.01); the soft reader gives what glibc's strtold gives.
    return ExtendedFromBits(BitsOf(SoftExtended::Parse(text)));
#else
    // Parsed in the "C" locale: strtold follows LC_NUMERIC, which a GUI toolkit sets from the
    // user's environment.
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtold_l(text.c_str(), nullptr, loc);
#endif
}

#else

Extended ExtendedFromBits(ExtendedBits bits) {
    return SoftExtended::FromBits(bits);
}

Extended ParseExtended(const std::string& text) {
    return SoftExtended::Parse(text);
}

#endif

} // namespace kasorel
