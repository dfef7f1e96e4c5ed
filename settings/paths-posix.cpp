#include "settings/paths.h"

#include "convert/unicode.h"
#include "settings/file.h"

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace kasorel {

namespace {

// path with "." and ".." resolved, repeated and trailing slashes dropped, as an absolute
// POSIX path ("/" at the least).
std::u16string normalised(std::u16string_view path) {
    std::vector<std::u16string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'/', start);
        if (end == std::u16string_view::npos)
            end = path.size();
        const std::u16string_view part = path.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != u".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string out;
    for (const std::u16string_view part : parts) {
        out += u'/';
        out += part;
    }
    return out.empty() ? std::u16string(u"/") : out;
}

std::u16string home() {
    const char* value = std::getenv("HOME");
    if (!value || !*value)
        return u"/";
    return normalised(FromUtf8(value));
}

// An XDG base folder: the variable when it holds an absolute path, otherwise the default
// below the home folder. A relative value is ignored, as the desktop's other programs
// ignore it.
std::u16string xdgFolder(const char* variable, std::u16string_view fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return FromUtf8(value);
    return JoinPath(home(), fallback);
}

} // namespace

char16_t FolderSeparator() {
    return u'/';
}

std::u16string ExecutablePath() {
    std::string buffer(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return std::u16string();
        if (static_cast<std::size_t>(n) < buffer.size()) {
            buffer.resize(static_cast<std::size_t>(n));
            return FromUtf8(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string UserConfigFolder() {
    return JoinPath(xdgFolder("XDG_CONFIG_HOME", u".config"), u"kasorel");
}

std::u16string UserCacheFolder() {
    return JoinPath(xdgFolder("XDG_CACHE_HOME", u".cache"), u"kasorel");
}

std::u16string UserStateFolder() {
    return JoinPath(xdgFolder("XDG_STATE_HOME", u".local/state"), u"kasorel");
}

std::u16string InstalledGuidePath() {
    return normalised(FolderOf(ExecutablePath()) + u"/../share/doc/kasorel/guide.html");
}

std::u16string ShippedGuideAddress() {
    const std::u16string installed = InstalledGuidePath();
    return PathExists(installed) ? FileUrl(installed) : std::u16string();
}

} // namespace kasorel
