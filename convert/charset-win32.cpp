#include "convert/charset.h"

#include "convert/unicode.h"

#include <windows.h>

#include <algorithm>
#include <charconv>

namespace kasorel {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr UINT kUtf16LE = 1200;
constexpr UINT kUtf16BE = 1201;
constexpr UINT kAscii = 20127;
// Windows' numbers for UTF-32, which MultiByteToWideChar does not decode: done here.
constexpr UINT kUtf32LE = 12000;
constexpr UINT kUtf32BE = 12001;
// "utf-16" and "utf-32" take the byte order from a byte-order mark, little-endian without one.
constexpr UINT kUtf16ByMark = 0x10000 + 1200;
constexpr UINT kUtf32ByMark = 0x10000 + 12000;

// NNN of a name "<prefix>NNN"; nothing for any other name.
std::optional<UINT> numberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix) || name.size() == prefix.size())
        return std::nullopt;
    const std::string_view digits = name.substr(prefix.size());
    UINT value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

bool isDecodedHere(UINT codePage) {
    switch (codePage) {
    case CP_UTF8:
    case kUtf16LE:
    case kUtf16BE:
    case kUtf16ByMark:
    case kUtf32LE:
    case kUtf32BE:
    case kUtf32ByMark:
    case kAscii:
        return true;
    default:
        return false;
    }
}

bool isUsableCodePage(UINT codePage) {
    CPINFOEXW info{};
    return GetCPInfoExW(codePage, 0, &info) != 0;
}

// The code page of a character set name as the web and mail name them (IANA names and the
// common aliases), or "cpNNN" / "windows-NNN" / "ibmNNN" for any code page the system has.
std::optional<UINT> codePageOf(std::string_view charset) {
    const std::string name = AsciiLowerCase(charset);
    struct Alias {
        std::string_view name;
        UINT codePage;
    };
    static constexpr Alias kAliases[] = {
        {"utf-8", CP_UTF8},       {"utf8", CP_UTF8},
        {"utf-16", kUtf16ByMark}, {"utf16", kUtf16ByMark},
        {"utf-32", kUtf32ByMark}, {"utf32", kUtf32ByMark},
        {"utf-32le", kUtf32LE},   {"utf-32be", kUtf32BE},
        {"utf-16le", kUtf16LE},   {"utf-16be", kUtf16BE},
        {"ucs-2", kUtf16LE},      {"iso-10646-ucs-2", kUtf16LE},
        {"us-ascii", kAscii},     {"ascii", kAscii},
        {"iso-8859-1", 28591},    {"iso8859-1", 28591},
        {"iso_8859-1", 28591},    {"latin1", 28591},
        {"latin-1", 28591},       {"l1", 28591},
        {"iso-8859-2", 28592},    {"iso-8859-3", 28593},
        {"iso-8859-4", 28594},    {"iso-8859-5", 28595},
        {"iso-8859-6", 28596},    {"iso-8859-7", 28597},
        {"iso-8859-8", 28598},    {"iso-8859-9", 28599},
        {"iso-8859-13", 28603},   {"iso-8859-15", 28605},
        {"latin-9", 28605},       {"shift_jis", 932},
        {"shift-jis", 932},       {"sjis", 932},
        {"ms_kanji", 932},        {"x-sjis", 932},
        {"windows-31j", 932},     {"csshiftjis", 932},
        {"ms932", 932},           {"euc-jp", 20932},
        {"eucjp", 20932},         {"iso-2022-jp", 50220},
        {"gb2312", 936},          {"gbk", 936},
        {"gb18030", 54936},       {"big5", 950},
        {"euc-kr", 949},          {"ks_c_5601-1987", 949},
        {"koi8-r", 20866},        {"koi8-u", 21866},
    };
    for (const Alias& alias : kAliases)
        if (alias.name == name)
            return alias.codePage;
    for (std::string_view prefix : {"windows-", "cp", "ibm"})
        if (const auto number = numberAfter(name, prefix))
            return *number;
    return std::nullopt;
}

bool startsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

// Windows maps the bytes above 0x7F of its ASCII code page to letters ("\xE9" to "i");
// they are no ASCII.
std::u16string decodeAscii(std::string_view bytes) {
    std::u16string text(bytes.size(), kReplacement);
    for (size_t i = 0; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) < 0x80)
            text[i] = static_cast<char16_t>(bytes[i]);
    return text;
}

// One call of MultiByteToWideChar; -1 when the bytes do not decode.
int convert(UINT codePage, DWORD flags, const char* bytes, int count, wchar_t* out, int room) {
    const int n = MultiByteToWideChar(codePage, flags, bytes, count, out, room);
    return n > 0 ? n : -1;
}

void append(std::u16string& text, const wchar_t* units, int count) {
    text.append(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(count));
}

std::u16string decodeCodePage(std::string_view bytes, UINT codePage) {
    if (bytes.empty())
        return {};
    if (codePage == CP_UTF8)
        return FromUtf8(bytes);
    if (codePage == kUtf16ByMark)
        return DecodeUtf16Bytes(bytes, startsWith(bytes, "\xFE\xFF"));
    if (codePage == kUtf32ByMark)
        return DecodeUtf32Bytes(bytes, startsWith(bytes, std::string_view("\0\0\xFE\xFF", 4)));
    if (codePage == kUtf16LE || codePage == kUtf16BE)
        return DecodeUtf16Bytes(bytes, codePage == kUtf16BE);
    if (codePage == kUtf32LE || codePage == kUtf32BE)
        return DecodeUtf32Bytes(bytes, codePage == kUtf32BE);
    if (codePage == kAscii)
        return decodeAscii(bytes);
    std::u16string text;
    std::wstring buffer;
    constexpr size_t kWhole = 1 << 28; // MultiByteToWideChar counts in int
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (bytes.size() <= kWhole) {
        const int count = static_cast<int>(bytes.size());
        int need = convert(codePage, flags, bytes.data(), count, nullptr, 0);
        // Some code pages (ISO-2022 and the like) refuse the check: they decode without
        // it, as well as they can.
        if (need < 0 && GetLastError() == ERROR_INVALID_FLAGS) {
            flags = 0;
            need = convert(codePage, flags, bytes.data(), count, nullptr, 0);
        }
        if (need > 0) {
            buffer.resize(static_cast<size_t>(need));
            const int n = convert(codePage, flags, bytes.data(), count, buffer.data(), need);
            if (n > 0) {
                append(text, buffer.data(), n);
                return text;
            }
        }
    }
    // Some byte does not decode: stretches that do decode go in one call each, growing while
    // they succeed; at a byte that fails, the shortest sequence that decodes is taken, or the
    // byte becomes one U+FFFD, so the characters around it are kept.
    CPINFO info{};
    const size_t longest = GetCPInfo(codePage, &info) && info.MaxCharSize > 0
                               ? static_cast<size_t>(info.MaxCharSize)
                               : 4;
    text.reserve(bytes.size());
    size_t i = 0;
    size_t stretch = 64;
    wchar_t units[8];
    while (i < bytes.size()) {
        const size_t left = bytes.size() - i;
        if (stretch > longest && left > longest) {
            const size_t run = std::min(stretch, left);
            buffer.resize(run);
            const int n = convert(codePage, flags, bytes.data() + i, static_cast<int>(run),
                                  buffer.data(), static_cast<int>(run));
            if (n > 0) {
                append(text, buffer.data(), n);
                i += run;
                stretch = std::min(stretch * 2, static_cast<size_t>(1) << 20);
            } else {
                stretch /= 4;
            }
            continue;
        }
        int n = -1;
        size_t length = 1;
        for (; length <= longest && length <= left; ++length) {
            n = convert(codePage, flags, bytes.data() + i, static_cast<int>(length), units, 8);
            if (n > 0)
                break;
        }
        if (n > 0) {
            append(text, units, n);
            i += length;
        } else {
            text.push_back(kReplacement);
            ++i;
        }
        stretch = 16;
    }
    return text;
}

} // namespace

std::optional<std::u16string> DecodeCharset(std::string_view bytes, std::string_view charset) {
    if (charset.empty())
        return std::nullopt;
    const auto codePage = codePageOf(charset);
    if (!codePage)
        return std::nullopt;
    if (!isDecodedHere(*codePage) && !isUsableCodePage(*codePage))
        return std::nullopt;
    return decodeCodePage(bytes, *codePage);
}

std::u16string DecodeSystemLegacy(std::string_view bytes) {
    return decodeCodePage(bytes, GetACP());
}

std::optional<std::string> EncodeSystemLegacy(std::u16string_view text) {
    const UINT codePage = GetACP();
    // A system that speaks UTF-8 as its "ANSI" code page holds every character.
    if (codePage == CP_UTF8)
        return ToUtf8(text);
    if (text.empty())
        return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int units = static_cast<int>(text.size());
    BOOL lossy = FALSE;
    // No best fit: a character the code page lacks must not quietly become a look-alike.
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, units, nullptr, 0,
                                         nullptr, &lossy);
    if (size <= 0 || lossy)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, units, bytes.data(), size, nullptr,
                        &lossy);
    if (lossy)
        return std::nullopt;
    return bytes;
}

} // namespace kasorel
