#include "convert/charset.h"

#include "convert/interop-web.h"
#include "convert/unicode.h"

#include <cstdint>
#include <cstdlib>
#include <emscripten.h>

// clang-format off
// The browser's decoder for a WHATWG label: the text as UTF-16 code units after a 32-bit
// count, or null when the label names no encoding. A byte-order mark stays in the text.
EM_JS(char16_t*, kasorel_decode, (const char* label, const char* bytes, int size), {
    let text;
    try {
        text = new TextDecoder(UTF8ToString(label), {ignoreBOM : true})
                   .decode(HEAPU8.subarray(bytes, bytes + size));
    } catch (e) {
        return 0;
    }
    return kasorelUtf16(text);
});

// The browser's language, where the settings files people bring along were written: code
// page 932 on a Japanese system, 1252 on most others.
EM_JS(int, kasorel_japanese_language, (), {
    const language = (typeof navigator !== "undefined" && navigator.language) ||
                     Intl.DateTimeFormat().resolvedOptions().locale;
    return /^ja([-_]|$)/i.test(language) ? 1 : 0;
});
// clang-format on

namespace kasorel {

namespace {

std::optional<std::u16string> decodeWith(const char* label, std::string_view bytes) {
    return web::TakeUtf16(kasorel_decode(label, bytes.data(), static_cast<int>(bytes.size())));
}

// The byte order a UTF-16 or UTF-32 body's mark names, little-endian without one; the mark
// is kept as U+FEFF.
bool bigEndian(std::string_view bytes, std::size_t width) {
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    if (width == 2)
        return bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF;
    return bytes.size() >= 4 && at(0) == 0 && at(1) == 0 && at(2) == 0xFE && at(3) == 0xFF;
}

// The browser knows no UTF-32.
std::u16string fromUtf32(std::string_view bytes) {
    const bool big = bigEndian(bytes, 4);
    std::u16string text;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        std::uint32_t c = 0;
        for (std::size_t k = 0; k < 4; ++k)
            c |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i + k]))
                 << (8 * (big ? 3 - k : k));
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (c >> 10));
            text += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            text +=
                c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? u'\uFFFD' : static_cast<char16_t>(c);
        }
    }
    return text;
}

bool plainName(std::string_view name) {
    if (name.empty() || name.size() > 64)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':' ||
                        c == '+';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::optional<std::u16string> DecodeCharset(std::string_view bytes, std::string_view charset) {
    if (!plainName(charset))
        return std::nullopt;
    const std::string lower = AsciiLowerCase(charset);
    if (lower == "utf-8" || lower == "utf8")
        return FromUtf8(bytes);
    if (lower == "utf-16" || lower == "utf16")
        return FromUtf16Bytes(bytes, bigEndian(bytes, 2));
    if (lower == "utf-32" || lower == "utf32")
        return fromUtf32(bytes);
    return decodeWith(lower.c_str(), bytes);
}

std::u16string DecodeSystemLegacy(std::string_view bytes) {
    if (std::optional<std::u16string> text =
            decodeWith(kasorel_japanese_language() ? "shift_jis" : "windows-1252", bytes))
        return *std::move(text);
    return FromUtf8(bytes);
}

std::optional<std::string> EncodeSystemLegacy(std::u16string_view text) {
    // The browser has no encoder but UTF-8's; ASCII is the same in either code page, and any
    // other text makes the caller keep the file in UTF-8.
    for (const char16_t c : text) {
        if (c > 0x7F)
            return std::nullopt;
    }
    return ToUtf8(text);
}

} // namespace kasorel
