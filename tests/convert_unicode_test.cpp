#include "convert/unicode.h"

#include "text_printers.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::u16string text;
    bool valid;
};

class Utf8Decoding : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decoding, EveryMaximalInvalidSubsequenceIsOneReplacement) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(FromUtf8(c.bytes), c.text);
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Decoding,
    testing::Values(
        DecodeCase{"Empty", "", u"", true}, DecodeCase{"Ascii", "a\tb\r\n", u"a\tb\r\n", true},
        DecodeCase{"TwoBytes", "\xC3\xA9", u"é", true},
        DecodeCase{"ThreeBytes", "\xE5\x86\x86", u"円", true},
        DecodeCase{"FourBytesMakeAPair", "\xF0\xA0\xAE\xB7", u"𠮷", true},
        DecodeCase{"LargestScalar", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", true},
        DecodeCase{"Nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3), true},
        DecodeCase{"StrayContinuation", "a\x80z", u"a\uFFFDz", false},
        DecodeCase{"TwoStrayContinuations", "\x80\xBF", u"\uFFFD\uFFFD", false},
        DecodeCase{"TruncatedThreeBytes", "\xE5\x86z", u"\uFFFDz", false},
        DecodeCase{"TruncatedAtTheEnd", "ab\xF0\xA0\xAE", u"ab\uFFFD", false},
        DecodeCase{"OverlongSlash", "\xC0\xAF", u"\uFFFD\uFFFD", false},
        DecodeCase{"OverlongThreeBytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD", false},
        DecodeCase{"OverlongFourBytes", "\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
        DecodeCase{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD", false},
        DecodeCase{"PastTheLastScalar", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD", false},
        DecodeCase{"LeadBytesNeverUsed", "\xF5\xFE\xFF", u"\uFFFD\uFFFD\uFFFD", false},
        DecodeCase{"BadByteDoesNotSwallowTheNext", "\xE5\x86\xE5\x86\x86", u"\uFFFD円", false},
        DecodeCase{"ByteOrderMarkKept",
                   "\xEF\xBB\xBF"
                   "a",
                   u"\uFEFFa", true}),
    [](const testing::TestParamInfo<DecodeCase>& param) { return std::string(param.param.name); });

struct EncodeCase {
    const char* name;
    std::u16string text;
    std::string bytes;
};

class Utf8Encoding : public testing::TestWithParam<EncodeCase> {};

TEST_P(Utf8Encoding, LoneSurrogatesBecomeReplacements) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(ToUtf8(c.text), c.bytes);
    EXPECT_TRUE(IsValidUtf8(ToUtf8(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8Encoding,
    testing::Values(EncodeCase{"Empty", u"", ""}, EncodeCase{"Ascii", u"ab", "ab"},
                    EncodeCase{"Kana", u"あ", "\xE3\x81\x82"},
                    EncodeCase{"Pair", u"𠮷", "\xF0\xA0\xAE\xB7"},
                    EncodeCase{"LoneHigh", std::u16string(1, u'\xD842') + u"x", "\xEF\xBF\xBDx"},
                    EncodeCase{"LoneLow", u"x" + std::u16string(1, u'\xDFB7'), "x\xEF\xBF\xBD"},
                    EncodeCase{"LowThenHigh", std::u16string{u'\xDFB7', u'\xD842'},
                               "\xEF\xBF\xBD\xEF\xBF\xBD"}),
    [](const testing::TestParamInfo<EncodeCase>& param) { return std::string(param.param.name); });

TEST(Utf8, EveryScalarSurvivesTheRoundTrip) {
    for (char32_t c = 0; c <= 0x10FFFF; c += (c < 0x10000 ? 1 : 97)) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        std::u16string text;
        if (c < 0x10000) {
            text += static_cast<char16_t>(c);
        } else {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
        ASSERT_EQ(FromUtf8(ToUtf8(text)), text) << static_cast<unsigned>(c);
    }
}

} // namespace
