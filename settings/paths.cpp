#include "settings/paths.h"

#include "convert/unicode.h"

namespace kasorel {

namespace {

// "/" separates on every platform; Windows adds its own separator.
bool isSeparator(char16_t c) {
    return c == u'/' || c == FolderSeparator();
}

std::size_t lastSeparator(std::u16string_view path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isSeparator(path[i - 1]))
            return i - 1;
    }
    return std::u16string_view::npos;
}

bool keptInUrl(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~' || c == '/' || c == ':';
}

} // namespace

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string out(folder);
    if (!out.empty() && !isSeparator(out.back()))
        out += FolderSeparator();
    out += name;
    return out;
}

std::u16string FolderOf(std::u16string_view path) {
    const std::size_t at = lastSeparator(path);
    if (at == std::u16string_view::npos)
        return std::u16string();
    return std::u16string(path.substr(0, at == 0 ? 1 : at));
}

std::u16string FileNameOf(std::u16string_view path) {
    const std::size_t at = lastSeparator(path);
    return std::u16string(at == std::u16string_view::npos ? path : path.substr(at + 1));
}

std::u16string FileUrl(std::u16string_view path) {
    std::u16string slashed(path);
    for (char16_t& c : slashed) {
        if (isSeparator(c))
            c = u'/';
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    // A drive path ("C:/...") needs the empty host's slash that an absolute POSIX path
    // brings along.
    std::u16string url = slashed.starts_with(u'/') ? u"file://" : u"file:///";
    for (const char b : ToUtf8(slashed)) {
        const auto c = static_cast<unsigned char>(b);
        if (keptInUrl(c)) {
            url += static_cast<char16_t>(c);
        } else {
            url += u'%';
            url += static_cast<char16_t>(kHex[c >> 4]);
            url += static_cast<char16_t>(kHex[c & 15]);
        }
    }
    return url;
}

} // namespace kasorel
