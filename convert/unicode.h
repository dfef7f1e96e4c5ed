#pragma once

// Conversions between the program's UTF-16 text and the UTF-8 bytes that file systems,
// libraries and logs on Linux speak. Pure standard C++: every platform uses the same rules.

#include <optional>
#include <string>
#include <string_view>

namespace kasorel {

// s as UTF-8. A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
std::string ToUtf8(std::u16string_view s);

// The UTF-8 bytes as UTF-16. Every maximal invalid subsequence (a stray continuation byte,
// a truncated sequence, an overlong form, an encoded surrogate, a value past U+10FFFF)
// becomes one U+FFFD.
std::u16string FromUtf8(std::string_view bytes);

// Whether bytes are valid UTF-8 throughout (the empty text is).
bool IsValidUtf8(std::string_view bytes);

// ASCII text as UTF-16, byte for byte; for literals and numbers only.
std::u16string FromAscii(std::string_view ascii);

// The UTF-16 code units of bytes in little- or big-endian order, as they are: a lone
// surrogate stays one. A last odd byte is half a unit and is left out.
std::u16string FromUtf16Bytes(std::string_view bytes, bool bigEndian);

// The text of UTF-16 or UTF-32 bytes in little- or big-endian order, a byte-order mark kept
// as U+FEFF. What encodes no character (a lone surrogate, a value beyond U+10FFFF, a last
// unit cut short) becomes U+FFFD.
std::u16string DecodeUtf16Bytes(std::string_view bytes, bool bigEndian);
std::u16string DecodeUtf32Bytes(std::string_view bytes, bool bigEndian);

// The text of bytes in the Unicode encoding lowerName names: utf-8, utf-16 or utf-32 (with
// or without the dash; the byte order a mark names, little-endian without one), utf-16le,
// utf-16be, utf-32le or utf-32be. nullopt for any other name.
std::optional<std::u16string> DecodeUnicodeBytes(std::string_view bytes,
                                                 std::string_view lowerName);

// The lower case of c for the capitals a name is likely to be written in: Latin (ASCII,
// Latin-1 and full width), Greek and Cyrillic. Every other code unit stays as it is.
char16_t SimpleLowerCase(char16_t c);

// c as names compared without regard to case fold it: SimpleLowerCase, and the Kelvin sign and
// the long s as the ASCII letters they fold to.
char16_t CaseFolded(char16_t c);

// Whether a and b are the same name without regard to case: CaseFolded unit by unit.
bool SameIgnoringCase(std::u16string_view a, std::u16string_view b);

// s with the ASCII capitals in lower case; for names of character sets and the like.
std::string AsciiLowerCase(std::string_view s);

// s without the ASCII white space (blank, tab, line breaks, vertical tab, form feed) at
// either end.
std::string_view TrimAsciiSpace(std::string_view s);

} // namespace kasorel
