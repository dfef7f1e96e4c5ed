#pragma once

// The program's side of convert/interop-web.js: what JavaScript hands over, taken into the
// program's own types and freed. A null pointer (nothing handed over) gives nothing.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace kasorel::web {

inline std::optional<std::string> TakeUtf8(char* text) {
    if (!text)
        return std::nullopt;
    std::string taken(text);
    std::free(text);
    return taken;
}

inline std::optional<std::u16string> TakeUtf16(char16_t* text) {
    if (!text)
        return std::nullopt;
    std::int32_t count = 0;
    std::memcpy(&count, text, sizeof count);
    std::u16string taken(text + 2, static_cast<std::size_t>(count));
    std::free(text);
    return taken;
}

inline std::optional<std::string> TakeBytes(char* bytes) {
    if (!bytes)
        return std::nullopt;
    std::int32_t count = 0;
    std::memcpy(&count, bytes, sizeof count);
    std::string taken(bytes + 4, static_cast<std::size_t>(count));
    std::free(bytes);
    return taken;
}

} // namespace kasorel::web
