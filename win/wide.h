#pragma once

// The program's UTF-16 text as the wide strings of the Win32 API. Both are 16-bit code units
// on Windows, so a conversion is a copy of the units, never a re-encoding.

#include <string>
#include <string_view>

namespace kasorel::win {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t holds one UTF-16 code unit");

// s as a NUL-terminated wide string, for the API calls that read one.
inline const wchar_t* Wide(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}
inline const wchar_t* Wide(const std::wstring& s) {
    return s.c_str();
}

inline std::wstring ToWide(std::u16string_view s) {
    return std::wstring(s.begin(), s.end());
}

inline std::u16string FromWide(std::wstring_view s) {
    return std::u16string(s.begin(), s.end());
}

} // namespace kasorel::win
