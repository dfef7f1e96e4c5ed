#include "settings/paths.h"

#include "settings/file.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace kasorel {

namespace {

std::u16string fromWide(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

std::u16string environment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0)
        return {};
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(name, value.data(), size);
    if (n == 0 || n >= size)
        return {};
    value.resize(n);
    return fromWide(value);
}

// The known folder, or the environment variable that names the same folder when the shell
// cannot tell (an account without a loaded profile).
std::u16string knownFolder(REFKNOWNFOLDERID id, const wchar_t* variable) {
    PWSTR path = nullptr;
    std::u16string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path)) && path)
        folder = fromWide(path);
    CoTaskMemFree(path);
    if (folder.empty())
        folder = environment(variable);
    return folder;
}

} // namespace

char16_t FolderSeparator() {
    return u'\\';
}

std::u16string ExecutablePath() {
    // Paths longer than MAX_PATH exist; the buffer grows until the whole path fits.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return fromWide(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string UserConfigFolder() {
    return JoinPath(knownFolder(FOLDERID_RoamingAppData, L"APPDATA"), u"kasorel");
}

std::u16string UserCacheFolder() {
    return JoinPath(knownFolder(FOLDERID_LocalAppData, L"LOCALAPPDATA"), u"kasorel");
}

std::u16string UserStateFolder() {
    return JoinPath(knownFolder(FOLDERID_LocalAppData, L"LOCALAPPDATA"), u"kasorel");
}

std::u16string InstalledGuidePath() {
    return JoinPath(FolderOf(ExecutablePath()), u"guide.html");
}

std::u16string ShippedGuideAddress() {
    const std::u16string installed = InstalledGuidePath();
    return PathExists(installed) ? FileUrl(installed) : std::u16string();
}

} // namespace kasorel
