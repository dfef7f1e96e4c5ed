#pragma once

// Real files in a temporary folder for the settings suites: the folder is made fresh for
// each test and removed with everything in it afterwards. Paths below it are written with
// "/", which both platforms take.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TemporaryFolder {
public:
    TemporaryFolder() {
        static std::atomic<unsigned> made = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate =
                std::filesystem::temp_directory_path() /
                ("kasorel-" + std::to_string(stamp) + "-" + std::to_string(made++));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error))
                path_ = candidate.generic_u16string();
        }
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    bool IsValid() const { return !path_.empty(); }
    // The folder's path.
    const std::u16string& Path() const { return path_; }
    // name (ASCII, "/" between folders) below the folder.
    std::u16string File(const std::string& name) const {
        return path_ + u"/" + std::u16string(name.begin(), name.end());
    }

    // The names in the folder, hidden ones included, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path_)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::u16string path_;
};

// Writes bytes to path, replacing what was there; false when it cannot.
inline bool WriteFileBytes(const std::u16string& path, const std::string& bytes) {
    std::ofstream f(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    f << bytes;
    return static_cast<bool>(f);
}

// The bytes of the file at path, or "<missing>".
inline std::string FileBytes(const std::u16string& path) {
    std::ifstream f(std::filesystem::path(path), std::ios::binary);
    if (!f)
        return "<missing>";
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
