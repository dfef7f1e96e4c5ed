#pragma once

// Real files for the commands suites: a temporary folder of each test's own, whole files
// read and written, the environment variables that point the user's own folders elsewhere,
// and the path behind a file: address.

#include "convert/unicode.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

// A new empty folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        do
            path_ = base / ("kasorel-commands-" + std::to_string(random()));
        while (!std::filesystem::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // name inside the folder, as the program's text.
    std::u16string file(std::u16string_view name) const {
        return (path_ / std::filesystem::path(name)).u16string();
    }

private:
    std::filesystem::path path_;
};

// The whole file; nothing when it cannot be opened.
inline std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The variables the per-user folders follow on this platform.
#ifdef _WIN32
inline constexpr const char* kCacheVariable = "LOCALAPPDATA";
inline constexpr const char* kConfigVariable = "APPDATA";
#else
inline constexpr const char* kCacheVariable = "XDG_CACHE_HOME";
inline constexpr const char* kConfigVariable = "XDG_CONFIG_HOME";
#endif

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::filesystem::path& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        set(kasorel::ToUtf8(value.u16string()));
    }
    ~ScopedEnvironment() {
        if (old_)
            set(*old_);
        else
            unset();
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::string& value) {
#ifdef _WIN32
        _putenv_s(name_, value.c_str());
#else
        setenv(name_, value.c_str(), 1);
#endif
    }
    void unset() {
#ifdef _WIN32
        _putenv_s(name_, "");
#else
        unsetenv(name_);
#endif
    }

    const char* name_;
    std::optional<std::string> old_;
};

// The local path a file: address names, its escapes decoded; nothing for any other address.
inline std::optional<std::filesystem::path> LocalPathOf(std::u16string_view url) {
    constexpr std::u16string_view scheme = u"file://";
    if (!url.starts_with(scheme))
        return std::nullopt;
    const std::string encoded = kasorel::ToUtf8(url.substr(scheme.size()));
    std::string decoded;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += encoded[i];
        }
    }
#ifdef _WIN32
    // "file:///C:/..." names "C:/...".
    if (decoded.size() > 2 && decoded[0] == '/' && decoded[2] == ':')
        decoded.erase(0, 1);
#endif
    return std::filesystem::path(kasorel::FromUtf8(decoded));
}
