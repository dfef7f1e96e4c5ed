#include "convert/unicode.h"

#include <cstdint>

namespace kasorel {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
}

// Decodes one sequence at bytes[i], advancing i past it. An invalid sequence gives U+FFFD
// and advances past its maximal subpart (Unicode's "substitution of maximal subparts", which
// browsers and most decoders follow), so one bad byte never swallows a good one after it.
char32_t decodeOne(std::string_view bytes, std::size_t& i, bool& valid) {
    const auto at = [&](std::size_t k) { return static_cast<std::uint8_t>(bytes[k]); };
    const std::uint8_t b0 = at(i++);
    valid = true;
    if (b0 < 0x80)
        return b0;
    int need = 0;
    char32_t c = 0;
    std::uint8_t lo = 0x80;
    std::uint8_t hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        c = b0 & 0x0F;
        // Overlong forms and encoded surrogates are cut off at the second byte.
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        c = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        valid = false;
        return kReplacement;
    }
    for (int k = 0; k < need; ++k) {
        if (i >= bytes.size() || at(i) < lo || at(i) > hi) {
            valid = false;
            return kReplacement;
        }
        c = (c << 6) | (at(i++) & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return c;
}

} // namespace

std::string ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                                (static_cast<char32_t>(s[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, u);
        }
    }
    return out;
}

std::u16string FromUtf8(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    bool valid = true;
    while (i < bytes.size()) {
        // ASCII runs are the common case; copy them without the decoder.
        if (static_cast<std::uint8_t>(bytes[i]) < 0x80) {
            out += static_cast<char16_t>(bytes[i++]);
            continue;
        }
        appendUtf16(out, decodeOne(bytes, i, valid));
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    bool valid = true;
    while (i < bytes.size()) {
        decodeOne(bytes, i, valid);
        if (!valid)
            return false;
    }
    return true;
}

std::u16string FromAscii(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string FromUtf16Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<std::uint8_t>(bytes[i]);
        const auto b = static_cast<std::uint8_t>(bytes[i + 1]);
        units += static_cast<char16_t>(bigEndian ? (a << 8) | b : a | (b << 8));
    }
    return units;
}

std::u16string DecodeUtf16Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string units = FromUtf16Bytes(bytes, bigEndian);
    if (bytes.size() % 2 != 0)
        units.push_back(u'\uFFFD'); // a lone last byte is half a code unit
    // A surrogate without its partner encodes no character.
    for (std::size_t k = 0; k < units.size(); ++k) {
        const char16_t c = units[k];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (k + 1 < units.size() && units[k + 1] >= 0xDC00 && units[k + 1] <= 0xDFFF)
                ++k;
            else
                units[k] = u'\uFFFD';
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            units[k] = u'\uFFFD';
        }
    }
    return units;
}

std::u16string DecodeUtf32Bytes(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2 + 1);
    const auto byteAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]));
    };
    std::size_t i = 0;
    for (; i + 3 < bytes.size(); i += 4) {
        const char32_t c =
            bigEndian ? byteAt(i) << 24 | byteAt(i + 1) << 16 | byteAt(i + 2) << 8 | byteAt(i + 3)
                      : byteAt(i + 3) << 24 | byteAt(i + 2) << 16 | byteAt(i + 1) << 8 | byteAt(i);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            units.push_back(u'\uFFFD');
        } else if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    if (i < bytes.size())
        units.push_back(u'\uFFFD');
    return units;
}

std::optional<std::u16string> DecodeUnicodeBytes(std::string_view bytes,
                                                 std::string_view lowerName) {
    const auto marked = [&](std::string_view mark) { return bytes.starts_with(mark); };
    if (lowerName == "utf-8" || lowerName == "utf8")
        return FromUtf8(bytes);
    if (lowerName == "utf-16" || lowerName == "utf16")
        return DecodeUtf16Bytes(bytes, marked("\xFE\xFF"));
    if (lowerName == "utf-16le" || lowerName == "utf-16be")
        return DecodeUtf16Bytes(bytes, lowerName == "utf-16be");
    if (lowerName == "utf-32" || lowerName == "utf32")
        return DecodeUtf32Bytes(bytes, marked(std::string_view("\0\0\xFE\xFF", 4)));
    if (lowerName == "utf-32le" || lowerName == "utf-32be")
        return DecodeUtf32Bytes(bytes, lowerName == "utf-32be");
    return std::nullopt;
}

char16_t SimpleLowerCase(char16_t c) {
    const auto shifted = [c](int by) { return static_cast<char16_t>(c + by); };
    if (c >= u'A' && c <= u'Z')
        return shifted(0x20);
    if (c < 0x80)
        return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
        return shifted(0x20);
    if (c >= 0x400 && c <= 0x40F)
        return shifted(0x50);
    return c;
}

char16_t CaseFolded(char16_t c) {
    if (c == 0x212A) // KELVIN SIGN
        return u'k';
    if (c == 0x17F) // LATIN SMALL LETTER LONG S
        return u's';
    return SimpleLowerCase(c);
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (CaseFolded(a[i]) != CaseFolded(b[i]))
            return false;
    }
    return true;
}

std::string AsciiLowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view TrimAsciiSpace(std::string_view s) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace kasorel
