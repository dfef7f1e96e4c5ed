#include "convert/errors.h"
#include "convert/primitives.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace kasorel;

namespace {
const QString kTab = QStringLiteral("\t");
// U+1F600, a character outside the basic plane: two code units.
const QString kPair = QString::fromUtf16(u"\U0001F600");
} // namespace

TEST(Positions, AnsiPos) {
    struct Case {
        QString sub, s;
        int expected;
    } cases[] = {
        {"b", "abc", 2},    {"c", "abc", 3},
        {"abc", "abc", 1},  {"abcd", "abc", 0},
        {"", "abc", 0},     {"a", "", 0},
        {"B", "abc", 0},    {kTab, "ab", 0},
        {"bc", "abcbc", 2}, {u"円"_qs, u"420 円"_qs, 5},
        {u"２"_qs, "2", 0}, // full-width and half-width stay distinct
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiPos(c.sub, c.s), c.expected)
            << c.sub.toStdString() << " in " << c.s.toStdString();
}

TEST(Positions, MyAnsiPosExCountsFromTheOffset) {
    const QString line = "abcd\tefghijklmnop";
    struct Case {
        QString s;
        int offset, expected;
    } cases[] = {
        {line, 11, 11}, // the only tab is before the offset: the offset itself
        {line, 0, 5},
        {line, 4, 5},
        {line, 5, 5},
        {"", 7, 7},       // empty line: the offset
        {line, -3, 2},    // offset <= 0 searches all of s and adds the offset
        {line, 100, 100}, // past the end
        {"2024/03/05\tStore A\tmemo", 11, 19},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MyAnsiPosEx(kTab, c.s, c.offset), c.expected) << c.offset;
}

TEST(Text, AnsiLeftStrNeverSplitsASurrogatePair) {
    struct Case {
        QString s;
        int n;
        QString expected;
    } cases[] = {
        {"abc", 4, "abc"},
        {"abc", 2, "ab"},
        {"abc", 0, ""},
        {"abc", -1, ""},
        {"", 3, ""},
        {kPair + "abcd", 4, kPair + "abc"}, // 5 code units for 4 characters
        {"a" + kPair + "b", 2, "a" + kPair},
        {"a" + kPair.left(1) + "b", 2, "a" + kPair.left(1)}, // a lone high surrogate is one
        {kPair.right(1) + kPair.left(1) + "x", 2, kPair.right(1) + kPair.left(1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiLeftStr(c.s, c.n), c.expected) << c.n;
}

TEST(Text, AnsiReplaceStrScansLeftToRightWithoutOverlap) {
    EXPECT_EQ(AnsiReplaceStr("aaa", "aa", "b"), "ba");
    EXPECT_EQ(AnsiReplaceStr("abc", "", "x"), "abc");
    EXPECT_EQ(AnsiReplaceStr("", "a", "x"), "");
    EXPECT_EQ(AnsiReplaceStr(u"1 円2 円"_qs, u" 円"_qs, ""), "12");
    EXPECT_EQ(AnsiReplaceStr("aXa", "a", "aa"), "aaXaa"); // replacement text is not searched
    EXPECT_EQ(AnsiReplaceStr(u"1　円"_qs, u" 円"_qs, ""), u"1　円"_qs);
}

TEST(Text, DeleteAndInsertEdges) {
    struct DeleteCase {
        QString s;
        int index, count;
        QString expected;
    } deletes[] = {
        {"abc", 0, 1, "abc"}, {"abc", 1, 1, "bc"},   {"abc", 3, 5, "ab"},   {"abc", 4, 1, "abc"},
        {"abc", 2, 0, "abc"}, {"abc", 2, -1, "abc"}, {"abc", -1, 2, "abc"},
    };
    for (auto c : deletes) {
        Delete(c.s, c.index, c.count);
        EXPECT_EQ(c.s, c.expected) << c.index << "," << c.count;
    }
    struct InsertCase {
        QString sub, s;
        int index;
        QString expected;
    } inserts[] = {
        {kTab, "ab", 0, "\tab"}, {kTab, "ab", -5, "\tab"}, {kTab, "ab", 1, "\tab"},
        {kTab, "ab", 2, "a\tb"}, {kTab, "ab", 3, "ab\t"},  {kTab, "ab", 9, "ab\t"},
        {"", "ab", 1, "ab"},
    };
    for (auto c : inserts) {
        Insert(c.sub, c.s, c.index);
        EXPECT_EQ(c.s, c.expected) << c.index;
    }
}

TEST(Conversions, TryStrToIntGrammar) {
    struct Case {
        QString s;
        bool ok;
        int value;
    } cases[] = {
        {"2024", true, 2024},
        {"0012", true, 12},
        {"-123", true, -123},
        {"+123", true, 123},
        {" 123", true, 123},
        {"$7E8", true, 0x7E8},
        {"x7E8", true, 0x7E8},
        {"0x1F", true, 0x1F},
        {"X1f", true, 0x1F},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"$FFFFFFFF", true, -1},
        {"-$FFFFFFFF", true, 1},
        {"$000000010", true, 16},
        {"$100000000", false, 0},
        {"-$80000000", true, INT_MIN},
        {u"２０２４"_qs, false, 0},
        {"123 ", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"+-1", false, 0},
        {"\t12", false, 0},
        {"12a", false, 0},
        {"$G", false, 0},
        {"0", true, 0},
        {"00000000000000000001", true, 1},
    };
    for (const auto& c : cases) {
        int v = 12345;
        EXPECT_EQ(TryStrToInt(c.s, v), c.ok) << c.s.toStdString();
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.s.toStdString();
        }
    }
}

TEST(Conversions, StrToFloatAcceptsTheUsersSeparatorOnly) {
    struct Case {
        QString s, separator;
        long double value;
    } cases[] = {
        {"100.00", ".", 100.0L}, {" 2.50 ", ".", 2.5L},   {"-2", ".", -2.0L},   {"+.5", ".", 0.5L},
        {"5.", ".", 5.0L},       {"1e3", ".", 1000.0L},   {"1E-2", ".", 0.01L}, {"2,5", ",", 2.5L},
        {"1.5e+1", ".", 15.0L},  {"1e-99999", ".", 0.0L},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToFloat(c.s, c.separator), c.value) << c.s.toStdString();

    const QString bad[] = {"",    " ",   "1,000.5", "1.5",    "abc",  ".",      "1e",
                           "1e+", "--1", "1 2",     u"１"_qs, "0x10", "1e99999"};
    for (const QString& s : bad) {
        const QString separator = s == "1.5" ? "," : ".";
        try {
            StrToFloat(s, separator);
            ADD_FAILURE() << "accepted " << s.toStdString();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), "'" + s + "' は浮動小数点数ではありません");
        }
    }
}

TEST(Conversions, StrToFloatKeepsA64BitSignificand) {
    // 0.1 in a 64-bit significand differs from the double 0.1.
    EXPECT_NE(StrToFloat("0.1", "."), static_cast<long double>(0.1));
    EXPECT_EQ(StrToFloat("0.1", "."), 0.1L);
}

TEST(Conversions, FloatToStrGeneralForm) {
    struct Case {
        long double x;
        const char* expected;
    } cases[] = {
        {150.3L, "150.3"},
        {150.0L, "150"},
        {0.5L, "0.5"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {1e15L, "1E15"},
        {123456789012345.0L, "123456789012345"},
        {-2.25L, "-2.25"},
        {150.23, "150.23"}, // the double nearest to 150.23
        {0.0L, "0"},
        {-0.0L, "0"},
        {1.5e20L, "1.5E20"},
        {-1.25e-7L, "-1.25E-7"},
        {999999999999999.5L, "1E15"}, // the carry runs through every digit
        {0.001234L, "0.001234"},
        {INFINITY, "INF"},
        {-INFINITY, "-INF"},
        {NAN, "NAN"},
        // An exact tie at the 16th digit rounds up; printf's ties-to-even would keep
        // 1.00000000000000E15 and write "1E15".
        {1000000000000005.0L, "1.00000000000001E15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.x, "."), QString::fromLatin1(c.expected)) << c.expected;
    EXPECT_EQ(FloatToStr(2.5L, ","), "2,5");
}

TEST(Conversions, RoundTiesToEven) {
    struct Case {
        long double x;
        std::int64_t expected;
    } cases[] = {
        {2.5L, 2},
        {3.5L, 4},
        {-2.5L, -2},
        {150.5L, 150},
        {226.5L, 226},
        {-302.6L, -303},
        {0.49999999999999999L, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.x), c.expected) << static_cast<double>(c.x);
    EXPECT_THROW(Round(NAN), EInvalidOp);
    EXPECT_THROW(Round(1e30L), EInvalidOp);
    EXPECT_EQ(Round(-9223372036854775808.0L), INT64_MIN);
}

TEST(Arithmetic, CheckedOperationsRaiseTheNamedKinds) {
    EXPECT_EQ(CheckedAdd(2, 3), 5);
    EXPECT_THROW(CheckedAdd(INT_MAX, 1), EIntOverflow);
    EXPECT_THROW(CheckedSub(INT_MIN, 1), EIntOverflow);
    EXPECT_EQ(RangeCheck(-2147483648LL), INT_MIN);
    EXPECT_THROW(RangeCheck(2147483648LL), ERangeError);
    EXPECT_THROW(FloatDiv(1, 0), EZeroDivide);
    EXPECT_THROW(FloatDiv(0, 0), EInvalidOp);
    EXPECT_THROW(FloatMul(1e4000L, 1e4000L), EOverflow);
    EXPECT_EQ(FloatDiv(151.3L, 1), 151.3L);
}

TEST(Errors, Messages) {
    EXPECT_EQ(ERangeError().message(), u"範囲チェックエラー"_qs);
    EXPECT_EQ(EClipboardException("busy").message(), u"クリップボード busy を開けません"_qs);
    EXPECT_EQ(EConvertError::notAFloat("").message(), u"'' は浮動小数点数ではありません"_qs);
}
