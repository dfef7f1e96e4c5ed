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
    if (std::optional<std::u16string> text = DecodeUnicodeBytes(bytes, lower))
        return text; // the browser knows no UTF-32
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
