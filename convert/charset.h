#pragma once

// Decoding bytes from a named character set. iconv on Linux; on Windows, the code page of
// that name.

#include <optional>
#include <string>
#include <string_view>

namespace kasorel {

// bytes decoded from the character set named charset ("utf-8", "ISO-8859-1",
// "Shift_JIS"..., matched without regard to case). Bytes that do not decode become U+FFFD;
// a leading byte-order mark is kept (the caller decides). Nothing when the name is empty or
// not a character set this system knows.
std::optional<std::u16string> DecodeCharset(std::string_view bytes, std::string_view charset);

// bytes decoded from the system's legacy 8-bit encoding, the one that programs which know no
// Unicode write files in: the ANSI code page on Windows (932 on a Japanese system), UTF-8 on
// Linux. Bytes that do not decode become U+FFFD.
std::u16string DecodeSystemLegacy(std::string_view bytes);

// text in the system's legacy 8-bit encoding; nothing when a character of text has no form
// there (kanji in code page 1252, say). On Linux that encoding is UTF-8, which holds all.
std::optional<std::string> EncodeSystemLegacy(std::u16string_view text);

} // namespace kasorel
