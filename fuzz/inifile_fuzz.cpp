// The settings reader and writer on any file content: one write, after which the value reads
// back as written, every other setting reads as before, and the bytes the write replaced lie
// within the one line it rewrote.

#include "convert/errors.h"
#include "convert/unicode.h"
#include "fuzz_support.h"
#include "settings/inifile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

using namespace kasorel;
using namespace kasorel::fuzz;

namespace {

const std::pair<std::u16string_view, std::u16string_view> kSettings[] = {
    {u"Ap", u"MainForm_left"},        {u"Ap", u"MainForm_top"}, {u"Spsheet", u"URL"},
    {u"exchangeratesapi", u"APIKey"}, {u"View", u"Suica"},      {u"seikyo", u"hoken"},
};
constexpr int kSettingCount = sizeof kSettings / sizeof kSettings[0];

constexpr std::u16string_view kAbsent = u"\x01"
                                        u"absent";

bool HasLoneSurrogate(std::u16string_view s) {
    const auto high = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (high(s[i]) && i + 1 < s.size() && low(s[i + 1]))
            ++i;
        else if (high(s[i]) || low(s[i]))
            return true;
    }
    return false;
}

std::u16string Upper(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t& c : out) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - 0x20);
    }
    return out;
}

std::u16string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::u16string out;
    for (const char b : bytes) {
        const auto c = static_cast<unsigned char>(b);
        out += static_cast<char16_t>(kDigits[c >> 4]);
        out += static_cast<char16_t>(kDigits[c & 15]);
    }
    return out;
}

// The old bytes a write replaced (what lies between the common start and the common end of
// old and new) hold no line break: one line at most was rewritten, the rest only moved.
void CheckOneLineTouched(std::string_view before, std::string_view after) {
    const bool utf16 = before.starts_with("\xFF\xFE") || before.starts_with("\xFE\xFF");
    const bool bigEndian = before.starts_with("\xFE\xFF");
    std::size_t prefix = 0;
    const std::size_t shorter = std::min(before.size(), after.size());
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    std::size_t from = prefix;
    std::size_t to = before.size() - suffix;
    if (from >= to)
        return; // nothing replaced, only inserted
    if (utf16) {
        // Whole code units from the mark on.
        from -= from % 2;
        to += to % 2;
        to = std::min(to, before.size() - before.size() % 2);
    }
    const std::size_t step = utf16 ? 2 : 1;
    for (std::size_t i = from; i + step <= to; i += step) {
        const unsigned char lo = before[bigEndian ? i + 1 : i];
        const unsigned char hi = utf16 ? before[bigEndian ? i : i + 1] : 0;
        Check(!(hi == 0 && (lo == '\r' || lo == '\n')), "a write touches one line only",
              Hex(before));
    }
}

std::string Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kasorel-inifile-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "the fuzz folder is made");
    return pattern;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string dir = Folder();
    const std::u16string stem = FromUtf8(dir + "/kasorel");
    const std::string path = dir + "/kasorel.ini";

    Bytes in(data, size);
    const std::uint8_t pick = in.Byte();
    const int valueBytes = in.Byte();
    const int intValue = static_cast<int>(in.U64());
    Bytes valuePart = in.Take(static_cast<std::size_t>(valueBytes));
    const std::u16string value = valuePart.Text();
    const std::string before = in.Raw();

    const int target = pick % kSettingCount;
    // Names match whatever their case; the writer is given them in upper case at times.
    std::u16string section(kSettings[target].first);
    std::u16string key(kSettings[target].second);
    if (pick & 0x40) {
        section = Upper(section);
        key = Upper(key);
    }
    const bool asInteger = pick & 0x80;

    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f << before;
        Check(static_cast<bool>(f), "the seed file is written");
    }
    std::u16string old[kSettingCount];
    for (int i = 0; i < kSettingCount; ++i) {
        old[i] = ReadIniString(stem, kSettings[i].first, kSettings[i].second, kAbsent);
        ReadIniBoolean(stem, kSettings[i].first, kSettings[i].second, false);
    }

    try {
        if (asInteger)
            WriteIniInteger(stem, section, key, intValue);
        else
            WriteIniString(stem, section, key, value);
    } catch (const Exception& e) {
        Fail("a write to a writable folder succeeds", e.message());
    }

    std::string after;
    {
        std::ifstream f(path, std::ios::binary);
        Check(static_cast<bool>(f), "the written file is there");
        after.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    CheckOneLineTouched(before, after);

    if (asInteger) {
        Check(ReadIniInteger(stem, section, key, ~intValue) == intValue,
              "an integer reads back as written", Hex(after));
    } else if (!HasLoneSurrogate(value)) {
        // A line break cannot stand in a line; it is kept as a blank.
        std::u16string expected = value;
        std::replace(expected.begin(), expected.end(), u'\r', u' ');
        std::replace(expected.begin(), expected.end(), u'\n', u' ');
        const std::u16string got = ReadIniString(stem, section, key, kAbsent);
        Check(got == expected, "a value reads back as written",
              value + u"\n=> " + got + u"\nfile " + Hex(after));
    }
    for (int i = 0; i < kSettingCount; ++i) {
        if (i == target)
            continue;
        Check(ReadIniString(stem, kSettings[i].first, kSettings[i].second, kAbsent) == old[i],
              "every other setting reads as before", Hex(after));
    }
    return 0;
}
