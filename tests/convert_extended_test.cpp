// SoftExtended against the x87 unit it stands in for: the same bits from every operation the
// primitives use, on edge values and on seeded random ones.

#include "convert/extended.h"
#include "convert/primitives.h"

#include <bit>
#include <cstdio>
#include <gtest/gtest.h>
#include <ostream>
#include <random>

namespace kasorel {
void PrintTo(const ExtendedBits& b, std::ostream* os) {
    char text[32];
    std::snprintf(text, sizeof text, "%04x:%016llx", b.signExponent,
                  static_cast<unsigned long long>(b.significand));
    *os << text;
}
} // namespace kasorel

using namespace kasorel;

// MinGW's own strtold read this as 0.01.
TEST(SoftExtended, ManyLeadingZeros) {
    EXPECT_EQ(StrToFloat(u"0." + std::u16string(20000, u'0') + u"1e20001", u"."), 1);
}

#if LDBL_MANT_DIG == 64

namespace {

__extension__ typedef unsigned __int128 u128;

SoftExtended Soft(long double x) {
    return SoftExtended::FromBits(BitsOf(x));
}

// The hardware's NaNs keep payloads by rules the primitives never look at: any NaN will do.
void ExpectSame(SoftExtended soft, long double hard, const char* what) {
    if (IsNaN(hard)) {
        EXPECT_TRUE(IsNaN(soft)) << what;
    } else {
        EXPECT_EQ(BitsOf(soft), BitsOf(hard)) << what;
    }
}

void CheckOne(long double a) {
    const SoftExtended s = Soft(a);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(static_cast<double>(s)),
              std::bit_cast<std::uint64_t>(static_cast<double>(a)));
    ExpectSame(NearbyInt(s), std::nearbyint(a), "nearbyint");
    // The rounded value must fit, not only a: just below 2^63 rounds to 2^63.
    if (std::fabs(std::nearbyint(a)) < 0x1p63L) {
        EXPECT_EQ(ToInt64(NearbyInt(s)), static_cast<std::int64_t>(std::nearbyint(a)));
    }
    if (std::isfinite(a) && a != 0) {
        const DecimalDigits soft = ScientificDigits(s), hard = ScientificDigits(a);
        EXPECT_EQ(soft.digits, hard.digits);
        EXPECT_EQ(soft.exponent, hard.exponent);
    }
}

void CheckPair(long double a, long double b) {
    const SoftExtended x = Soft(a), y = Soft(b);
    ExpectSame(x * y, a * b, "product");
    ExpectSame(x / y, a / b, "quotient");
    EXPECT_EQ(x < y, a < b);
    EXPECT_EQ(x == y, a == b);
    EXPECT_EQ(x > y, a > b);
}

void CheckParse(const std::string& text) {
    EXPECT_EQ(BitsOf(SoftExtended::Parse(text)), BitsOf(ParseExtended(text))) << text;
}

// Ordinary values, integers near 2^63, the ends of the range, double's edges, non-numbers.
const long double kEdges[][7] = {
    {0.0L, -0.0L, 1.0L, -2.5L, 0.5L, 151.3L, 0.1L},
    {0x1p63L, -0x1p63L, 0x1p63L - 0.5L, 0x1p64L - 1, 1.5L, 0x1p-60L, 1 + 0x1p-53L + 0x1p-63L},
    {LDBL_MAX, -LDBL_MAX, LDBL_MIN, LDBL_TRUE_MIN, -LDBL_TRUE_MIN, LDBL_MIN - LDBL_TRUE_MIN,
     0x1p-16444L * 3},
    {DBL_MAX, (1 + 0x1p-54L) * DBL_MAX, DBL_TRUE_MIN, DBL_TRUE_MIN / 2, DBL_TRUE_MIN * 1.5L,
     (1 - 0x1p-60L) * DBL_MIN, 1 + 0x1p-53L},
    {HUGE_VALL, -HUGE_VALL, -NAN, __builtin_nanl("1"), 0, 0, 0}};

TEST(SoftExtended, EdgeValues) {
    for (const auto& row : kEdges) {
        for (long double a : row) {
            CheckOne(a);
            for (const auto& other : kEdges)
                for (long double b : other)
                    CheckPair(a, b);
        }
    }
    for (const char* t : {"0", "-0", "1.18973149535723176502e4932", "1.18973149535723176508e4932",
                          "3.6e-4951", "1.8225e-4951", "1.8226e-4951", "1e-99999", "1e99999",
                          "000.000123e-0002", "18446744073709551617", "18446744073709551619",
                          "9223372036854775808.5", "1.5", "00", ".5e1"})
        CheckParse(t);
    CheckParse("0." + std::string(20000, '0') + "1e20000");
    CheckParse("1" + std::string(600, '0') + "." + std::string(600, '9'));
}

TEST(SoftExtended, SeededValues) {
    std::mt19937_64 rng(20240501);
    const auto value = [&] {
        const int kind = static_cast<int>(rng() % 8);
        std::uint16_t e = static_cast<std::uint16_t>(rng() % 0x7FFF);
        if (kind == 0)
            e = static_cast<std::uint16_t>(rng() % 3); // denormals and the smallest normals
        else if (kind == 1)
            e = static_cast<std::uint16_t>(0x3FFF + rng() % 80); // integers near 2^63
        else if (kind == 2)
            e = static_cast<std::uint16_t>(0x7FFE - rng() % 2);
        std::uint64_t m = kind == 3 ? ~std::uint64_t{0} << (rng() % 64) : rng();
        m = e == 0 ? m >> 1 : m | std::uint64_t{1} << 63;
        return ExtendedFromBits({static_cast<std::uint16_t>(e | (rng() & 0x8000)), m});
    };
    // Values at the range's ends are slow to check under the sanitizers; fewer do there.
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kValues = 2000;
#else
    constexpr int kValues = 20000;
#endif
    for (int i = 0; i < kValues; ++i) {
        const long double a = value();
        CheckOne(a);
        CheckPair(a, value());
        CheckPair(a, static_cast<long double>(std::bit_cast<double>(rng())));
        const std::int64_t n = static_cast<std::int64_t>(rng() >> (rng() % 64));
        EXPECT_EQ(BitsOf(SoftExtended(n)), BitsOf(static_cast<long double>(n)));
        const double d = std::bit_cast<double>(rng());
        EXPECT_EQ(BitsOf(SoftExtended(d)), BitsOf(static_cast<long double>(d)));
        // The exact halfway point of two neighbours (odd 65-bit m), scaled by 2^-k, or one unit
        // of the last digit beside it; and the value's own leading digits.
        const u128 m = (u128{rng()} << 1 | 1) | u128{1} << 64;
        const int k = static_cast<int>(rng() % 28);
        u128 scaled = m;
        for (int j = 0; j < k; ++j)
            scaled *= 5;
        std::string t;
        for (; scaled; scaled /= 10)
            t.insert(t.begin(), static_cast<char>('0' + static_cast<int>(scaled % 10)));
        t.back() = static_cast<char>(t.back() - static_cast<int>(rng() % 2));
        CheckParse(t.insert(t.size() - static_cast<std::size_t>(k), "."));
        char digits[64];
        std::snprintf(digits, sizeof digits, "%.*Le", static_cast<int>(rng() % 25), a);
        CheckParse(digits);
    }
}

} // namespace

#endif
