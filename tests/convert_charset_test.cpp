#include "convert/charset.h"

#include "text_printers.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

struct CharsetCase {
    const char* name;
    std::string charset;
    std::string bytes;
    std::u16string text;
};

class Charsets : public testing::TestWithParam<CharsetCase> {};

TEST_P(Charsets, DecodeByName) {
    const CharsetCase& c = GetParam();
#ifdef __EMSCRIPTEN__
    if (c.charset == "windows-1252")
        GTEST_SKIP() << "Node reads windows-1252 as Latin-1; the browsers, as the page, do not";
#endif
    const std::optional<std::u16string> text = DecodeCharset(c.bytes, c.charset);
    ASSERT_TRUE(text.has_value()) << c.charset;
    EXPECT_EQ(*text, c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Names, Charsets,
    testing::Values(
        CharsetCase{"Utf8", "utf-8", "{\"JPY\":151.3} 円", u"{\"JPY\":151.3} 円"},
        CharsetCase{"Utf8UpperCase", "UTF-8", "\xE5\x86\x86", u"円"},
        CharsetCase{"Utf8WithoutDash", "utf8", "a", u"a"},
        CharsetCase{"Utf8Invalid", "utf-8", "a\xFFz", u"a\uFFFDz"},
        CharsetCase{"Utf8ByteOrderMarkKept", "utf-8", "\xEF\xBB\xBF{}", u"\uFEFF{}"},
        CharsetCase{"Utf16LittleEndian", "utf-16le", std::string("{\0\x86\x51", 4), u"{円"},
        CharsetCase{"Utf16BigEndian", "UTF-16BE", std::string("\0{\x51\x86", 4), u"{円"},
        CharsetCase{"Utf16WithoutMarkIsLittleEndian", "utf-16", std::string("{\0}\0", 4), u"{}"},
        CharsetCase{"Utf16MarkBigEndian", "utf-16", std::string("\xFE\xFF\0{", 4), u"\uFEFF{"},
        CharsetCase{"Utf16MarkLittleEndian", "utf-16", std::string("\xFF\xFE{\0", 4), u"\uFEFF{"},
        CharsetCase{"Utf16OddByteAtTheEnd", "utf-16le", std::string("{\0}", 3), u"{\uFFFD"},
        CharsetCase{"Utf16LoneSurrogateAndOddByte", "utf-16", std::string("\0\xD8{\0}", 5),
                    u"\uFFFD{\uFFFD"},
        CharsetCase{"Latin1", "iso-8859-1", "caf\xE9 \xFF", u"café ÿ"},
        CharsetCase{"Latin1Alias", "latin1", "\xE9", u"é"},
        CharsetCase{"Latin1MixedCase", "ISO-8859-1", "\xA5", u"¥"},
        // Backslash and tilde stay ASCII, or a JSON escape would break.
        CharsetCase{"ShiftJis", "shift_jis", "\x82\xA0\\~\x89\x7E", u"あ\\~円"},
        CharsetCase{"ShiftJisMixedCase", "Shift_JIS", "\x83\x65", u"テ"},
        CharsetCase{"ShiftJisHalfWidthKana", "sjis", "\xB1", u"ｱ"},
        CharsetCase{"ShiftJisInvalidByte", "shift_jis",
                    "a\xFF"
                    "b",
                    u"a\uFFFDb"},
        CharsetCase{"ShiftJisCutAtTheEnd", "shift_jis", "a\x82", u"a\uFFFD"},
        CharsetCase{"EucJp", "euc-jp", "\xA4\xA2\\", u"あ\\"},
        CharsetCase{"EucJpUpperCase", "EUC-JP", "\xB1\xDF", u"円"},
        CharsetCase{"Windows1252", "windows-1252", "\x80", u"€"},
        CharsetCase{"Empty", "utf-16", "", u""}),
    [](const testing::TestParamInfo<CharsetCase>& param) { return std::string(param.param.name); });

TEST(Charsets, UnknownNamesGiveNothing) {
    for (const char* name : {"", "no-such-charset", "utf-8//TRANSLIT", "utf-8,latin1", " utf-8"})
        EXPECT_FALSE(DecodeCharset("abc", name).has_value()) << '"' << name << '"';
}

TEST(Charsets, LongBodiesDecodeWhole) {
    std::string bytes;
    std::u16string text;
    for (int i = 0; i < 20000; ++i) {
        bytes += "\x82\xA0\xFF";
        text += u"あ\uFFFD";
    }
    EXPECT_EQ(DecodeCharset(bytes, "shift_jis"), text);
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Programs that know no Unicode write UTF-8 here; Windows has its ANSI code page instead, the
// page that of its browser's language.
TEST(Charsets, SystemLegacyIsUtf8) {
    EXPECT_EQ(DecodeSystemLegacy("\xE5\x86\x86\xFF"), u"円\uFFFD");
}
#endif

} // namespace
