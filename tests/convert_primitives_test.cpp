#include "convert/errors.h"
#include "convert/primitives.h"
#include "convert/unicode.h"

#include "text_printers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace kasorel;

namespace {
const std::u16string kTab = u"\t";
// U+1F600, a character outside the basic plane: two code units.
const std::u16string kEmojiPair = std::u16string(u"\U0001F600");
} // namespace

TEST(Positions, AnsiPos) {
    struct Case {
        std::u16string sub, s;
        int expected;
    } cases[] = {
        {u"b", u"abc", 2},    {u"c", u"abc", 3},     {u"abc", u"abc", 1}, {u"abcd", u"abc", 0},
        {u"", u"abc", 0},     {u"a", u"", 0},        {u"B", u"abc", 0},   {kTab, u"ab", 0},
        {u"bc", u"abcbc", 2}, {u"円", u"420 円", 5}, {u"２", u"2", 0}, // full-width and half-width
                                                                       // stay distinct
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiPos(c.sub, c.s), c.expected) << ToUtf8(c.sub) << " in " << ToUtf8(c.s);
}

TEST(Positions, MyAnsiPosExCountsFromTheOffset) {
    const std::u16string line = u"abcd\tefghijklmnop";
    struct Case {
        std::u16string s;
        int offset, expected;
    } cases[] = {
        {line, 11, 11}, // the only tab is before the offset: the offset itself
        {line, 0, 5},
        {line, 4, 5},
        {line, 5, 5},
        {u"", 7, 7},      // empty line: the offset
        {line, -3, 2},    // offset <= 0 searches all of s and adds the offset
        {line, 100, 100}, // past the end
        {u"2024/03/05\tStore A\tmemo", 11, 19},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MyAnsiPosEx(kTab, c.s, c.offset), c.expected) << c.offset;
}

TEST(Text, AnsiLeftStrNeverSplitsASurrogatePair) {
    struct Case {
        std::u16string s;
        int n;
        std::u16string expected;
    } cases[] = {
        {u"abc", 4, u"abc"},
        {u"abc", 2, u"ab"},
        {u"abc", 0, u""},
        {u"abc", -1, u""},
        {u"", 3, u""},
        {kEmojiPair + u"abcd", 4, kEmojiPair + u"abc"}, // 5 code units for 4 characters
        {u"a" + kEmojiPair + u"b", 2, u"a" + kEmojiPair},
        {u"a" + kEmojiPair.substr(0, 1) + u"b", 2,
         u"a" + kEmojiPair.substr(0, 1)}, // a lone high surrogate is one
        {kEmojiPair.substr(1) + kEmojiPair.substr(0, 1) + u"x", 2,
         kEmojiPair.substr(1) + kEmojiPair.substr(0, 1)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnsiLeftStr(c.s, c.n), c.expected) << c.n;
}

TEST(Text, AnsiReplaceStrScansLeftToRightWithoutOverlap) {
    EXPECT_EQ(AnsiReplaceStr(u"aaa", u"aa", u"b"), u"ba");
    EXPECT_EQ(AnsiReplaceStr(u"abc", u"", u"x"), u"abc");
    EXPECT_EQ(AnsiReplaceStr(u"", u"a", u"x"), u"");
    EXPECT_EQ(AnsiReplaceStr(u"1 円2 円", u" 円", u""), u"12");
    EXPECT_EQ(AnsiReplaceStr(u"aXa", u"a", u"aa"), u"aaXaa"); // replacement text is not searched
    EXPECT_EQ(AnsiReplaceStr(u"1　円", u" 円", u""), u"1　円");
}

TEST(Text, DeleteAndInsertEdges) {
    struct DeleteCase {
        std::u16string s;
        int index, count;
        std::u16string expected;
    } deletes[] = {
        {u"abc", 0, 1, u"abc"},  {u"abc", 1, 1, u"bc"},  {u"abc", 3, 5, u"ab"},
        {u"abc", 4, 1, u"abc"},  {u"abc", 2, 0, u"abc"}, {u"abc", 2, -1, u"abc"},
        {u"abc", -1, 2, u"abc"},
    };
    for (auto c : deletes) {
        Delete(c.s, c.index, c.count);
        EXPECT_EQ(c.s, c.expected) << c.index << "," << c.count;
    }
    struct InsertCase {
        std::u16string sub, s;
        int index;
        std::u16string expected;
    } inserts[] = {
        {kTab, u"ab", 0, u"\tab"}, {kTab, u"ab", -5, u"\tab"}, {kTab, u"ab", 1, u"\tab"},
        {kTab, u"ab", 2, u"a\tb"}, {kTab, u"ab", 3, u"ab\t"},  {kTab, u"ab", 9, u"ab\t"},
        {u"", u"ab", 1, u"ab"},
    };
    for (auto c : inserts) {
        Insert(c.sub, c.s, c.index);
        EXPECT_EQ(c.s, c.expected) << c.index;
    }
}

TEST(Conversions, TryStrToIntGrammar) {
    struct Case {
        std::u16string s;
        bool ok;
        int value;
    } cases[] = {
        {u"2024", true, 2024},
        {u"0012", true, 12},
        {u"-123", true, -123},
        {u"+123", true, 123},
        {u" 123", true, 123},
        {u"$7E8", true, 0x7E8},
        {u"x7E8", true, 0x7E8},
        {u"0x1F", true, 0x1F},
        {u"X1f", true, 0x1F},
        {u"2147483647", true, INT_MAX},
        {u"-2147483648", true, INT_MIN},
        {u"2147483648", false, 0},
        {u"-2147483649", false, 0},
        {u"$FFFFFFFF", true, -1},
        {u"-$FFFFFFFF", true, 1},
        {u"$000000010", true, 16},
        {u"$100000000", false, 0},
        {u"-$80000000", true, INT_MIN},
        {u"２０２４", false, 0},
        {u"123 ", false, 0},
        {u"", false, 0},
        {u"   ", false, 0},
        {u"-", false, 0},
        {u"$", false, 0},
        {u"0x", false, 0},
        {u"+-1", false, 0},
        {u"\t12", false, 0},
        {u"12a", false, 0},
        {u"$G", false, 0},
        {u"0", true, 0},
        {u"00000000000000000001", true, 1},
    };
    for (const auto& c : cases) {
        int v = 12345;
        EXPECT_EQ(TryStrToInt(c.s, v), c.ok) << ToUtf8(c.s);
        if (c.ok) {
            EXPECT_EQ(v, c.value) << ToUtf8(c.s);
        }
    }
}

TEST(Conversions, StrToFloatAcceptsTheUsersSeparatorOnly) {
    struct Case {
        std::u16string s, separator;
        Extended value;
    } cases[] = {
        {u"100.00", u".", 100.0},
        {u" 2.50 ", u".", 2.5},
        {u"-2", u".", -2.0},
        {u"+.5", u".", 0.5},
        {u"5.", u".", 5.0},
        {u"1e3", u".", 1000.0},
        {u"1E-2", u".", Extended(1) / 100},
        {u"2,5", u",", 2.5},
        {u"1.5e+1", u".", 15.0},
        {u"1e-99999", u".", 0.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StrToFloat(c.s, c.separator), c.value) << ToUtf8(c.s);

    const std::u16string bad[] = {u"",    u" ",   u"1,000.5", u"1.5", u"abc",  u".",      u"1e",
                                  u"1e+", u"--1", u"1 2",     u"１",  u"0x10", u"1e99999"};
    for (const std::u16string& s : bad) {
        const std::u16string separator = s == u"1.5" ? u"," : u".";
        try {
            StrToFloat(s, separator);
            ADD_FAILURE() << "accepted " << ToUtf8(s);
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), u"'" + s + u"' は浮動小数点数ではありません");
        }
    }
}

TEST(Conversions, StrToFloatKeepsA64BitSignificand) {
    // 0.1 in a 64-bit significand differs from the double 0.1.
    EXPECT_NE(StrToFloat(u"0.1", u"."), Extended(0.1));
    EXPECT_EQ(StrToFloat(u"0.1", u"."), Extended(1) / 10);
}

TEST(Conversions, FloatToStrGeneralForm) {
    struct Case {
        Extended x;
        const char16_t* expected;
    } cases[] = {
        {Extended(1503) / 10, u"150.3"},
        {150.0, u"150"},
        {0.5, u"0.5"},
        {Extended(1) / 3, u"0.333333333333333"},
        {Extended(2) / 3, u"0.666666666666667"},
        {Extended(1) / 10000, u"0.0001"},
        {Extended(1) / 100000, u"1E-5"},
        {1e15, u"1E15"},
        {123456789012345.0, u"123456789012345"},
        {-2.25, u"-2.25"},
        {150.23, u"150.23"}, // the double nearest to 150.23
        {0.0, u"0"},
        {-0.0, u"0"},
        {1.5e20, u"1.5E20"},
        {Extended(-125) / 1000000000, u"-1.25E-7"},
        {999999999999999.5, u"1E15"}, // the carry runs through every digit
        {Extended(1234) / 1000000, u"0.001234"},
        {INFINITY, u"INF"},
        {-INFINITY, u"-INF"},
        {NAN, u"NAN"},
        // An exact tie at the 16th digit rounds up; printf's ties-to-even would keep
        // 1.00000000000000E15 and write "1E15".
        {1000000000000005.0, u"1.00000000000001E15"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToStr(c.x, u"."), c.expected) << ToUtf8(c.expected);
    EXPECT_EQ(FloatToStr(2.5, u","), u"2,5");
}

TEST(Conversions, RoundTiesToEven) {
    struct Case {
        Extended x;
        std::int64_t expected;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {150.5, 150},
        {226.5, 226},
        {-302.6, -303},
        {Extended(49999999999999999) / 100000000000000000, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.x), c.expected) << static_cast<double>(c.x);
    EXPECT_THROW(Round(NAN), EInvalidOp);
    EXPECT_THROW(Round(1e30), EInvalidOp);
    EXPECT_EQ(Round(-9223372036854775808.0), INT64_MIN);
}

TEST(Arithmetic, CheckedOperationsRaiseTheNamedKinds) {
    EXPECT_EQ(CheckedAdd(2, 3), 5);
    EXPECT_THROW(CheckedAdd(INT_MAX, 1), EIntOverflow);
    EXPECT_THROW(CheckedSub(INT_MIN, 1), EIntOverflow);
    EXPECT_EQ(RangeCheck(-2147483648LL), INT_MIN);
    EXPECT_THROW(RangeCheck(2147483648LL), ERangeError);
    EXPECT_THROW(FloatDiv(1, 0), EZeroDivide);
    EXPECT_THROW(FloatDiv(0, 0), EInvalidOp);
    const Extended huge = StrToFloat(u"1e4000", u".");
    EXPECT_THROW(FloatMul(huge, huge), EOverflow);
    EXPECT_EQ(FloatDiv(Extended(1513) / 10, 1), Extended(1513) / 10);
}

TEST(Errors, Messages) {
    EXPECT_EQ(ERangeError().message(), u"範囲チェックエラー");
    EXPECT_EQ(EClipboardException(u"busy").message(), u"クリップボード busy を開けません");
    EXPECT_EQ(EConvertError::notAFloat(u"").message(), u"'' は浮動小数点数ではありません");
}
