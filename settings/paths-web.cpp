#include "settings/paths.h"

#include "convert/interop-web.h"
#include "convert/unicode.h"
#include "settings/file.h"

#include <cstdlib>
#include <emscripten.h>

// In the page the program's files are entries of the browser's storage (settings/file-web.cpp)
// under paths of its own: the page stands where an executable would, so the settings file is
// /kasorel.ini beside it. Under Node, which runs the suites, they are the real file system's,
// laid out as on Linux.

// clang-format off
EM_JS(int, kasorel_in_page, (), {
    return typeof window !== "undefined" || typeof process === "undefined" ? 1 : 0;
});

// Under Node: the script's own path.
EM_JS(char*, kasorel_script_path, (), {
    return kasorelUtf8(require("path").resolve(process.argv[1]));
});
// clang-format on

namespace kasorel {

namespace {

// As on Linux: the variable when it holds an absolute path, otherwise below the home folder
// (the real ones: the suites take Node's environment into the C library's).
std::u16string xdgFolder(const char* variable, std::u16string_view fallback) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return JoinPath(FromUtf8(value), u"kasorel");
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home && *home ? FromUtf8(home) : u"/", fallback), u"kasorel");
}

} // namespace

char16_t FolderSeparator() {
    return u'/';
}

std::u16string ExecutablePath() {
    if (kasorel_in_page())
        return u"/kasorel.html";
    return FromUtf8(web::TakeUtf8(kasorel_script_path()).value_or(std::string()));
}

std::u16string UserConfigFolder() {
    return kasorel_in_page() ? u"/" : xdgFolder("XDG_CONFIG_HOME", u".config");
}

std::u16string UserCacheFolder() {
    return kasorel_in_page() ? u"/cache" : xdgFolder("XDG_CACHE_HOME", u".cache");
}

std::u16string UserStateFolder() {
    return kasorel_in_page() ? u"/" : xdgFolder("XDG_STATE_HOME", u".local/state");
}

std::u16string InstalledGuidePath() {
    return JoinPath(FolderOf(ExecutablePath()), u"guide.html");
}

std::u16string ShippedGuideAddress() {
    // The page's guide is the file beside it, wherever the page is served from.
    if (kasorel_in_page())
        return u"guide.html";
    const std::u16string installed = InstalledGuidePath();
    return PathExists(installed) ? FileUrl(installed) : std::u16string();
}

} // namespace kasorel
