#include "settings/file.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace kasorel {

namespace {

std::wstring wide(std::u16string_view path) {
    return std::wstring(reinterpret_cast<const wchar_t*>(path.data()), path.size());
}

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// Everything before the last separator; empty when there is none. "C:\x" gives "C:".
std::wstring parentOf(const std::wstring& path) {
    size_t end = path.size();
    while (end > 0 && !isSeparator(path[end - 1]))
        --end;
    while (end > 0 && isSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

DWORD attributesOf(const std::wstring& path) {
    return GetFileAttributesW(path.c_str());
}

bool isFolder(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (valid())
            CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    // Closes now and tells whether the system took it: a close can report a write that
    // failed late.
    bool close() {
        const HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return CloseHandle(h) != 0;
    }

private:
    HANDLE h_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A name no other writer uses at the same moment: this process, this call, the clock.
std::wstring uniqueSuffix() {
    static std::atomic<unsigned> counter{0};
    return L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) +
           L"-" + std::to_wstring(GetTickCount64() % 1000000) + L".tmp";
}

// Creates folder and every missing folder above it. False when one cannot be made (a
// regular file in the way, no right to write).
bool makeFolders(const std::wstring& folder) {
    if (folder.empty())
        return true;
    const DWORD attributes = attributesOf(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return isFolder(attributes);
    const std::wstring parent = parentOf(folder);
    // A drive ("C:") or a share root that is missing cannot be made.
    if (parent.size() < folder.size() && !parent.empty() && !makeFolders(parent))
        return false;
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written != chunk)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// Where a link leads, when it leads to a regular file; nothing otherwise (a folder, a
// device, a link to nothing).
std::optional<std::wstring> linkedFile(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    const DWORD size = GetFinalPathNameByHandleW(file.get(), nullptr, 0, FILE_NAME_NORMALIZED);
    if (size == 0)
        return std::nullopt;
    std::wstring target(size, L'\0');
    const DWORD n =
        GetFinalPathNameByHandleW(file.get(), target.data(), size, FILE_NAME_NORMALIZED);
    if (n == 0 || n >= size)
        return std::nullopt;
    target.resize(n);
    return target;
}

bool moveIntoPlace(const std::wstring& from, const std::wstring& to) {
    // A virus scanner or an indexer holds a file it just saw for a moment; the move waits a
    // little for it rather than fail the write.
    for (int attempt = 0;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if (attempt >= 10 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
                              error != ERROR_LOCK_VIOLATION))
            return false;
        Sleep(20);
    }
}

} // namespace

std::optional<std::string> ReadWholeFile(std::u16string_view path) {
    const std::wstring name = wide(path);
    Handle file(CreateFileW(name.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::string content;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0)
        content.reserve(static_cast<size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            return content;
        content.append(buffer, read);
    }
}

Replaced ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
    std::wstring target = wide(path);
    const auto refuse = [&] { return EIniFileException(std::u16string(path)); };
    DWORD attributes = attributesOf(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        const auto linked = linkedFile(target);
        if (!linked)
            return Replaced::Skipped;
        target = *linked;
        attributes = attributesOf(target);
    }
    if (isFolder(attributes))
        throw refuse();
    // Windows refuses to replace a read-only file, but not every system that runs this
    // program does (Wine running as root); the refusal comes before anything is written.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        throw refuse();
    const std::wstring folder = parentOf(target);
    if (!makeFolders(folder))
        throw refuse();

    const DWORD kept = attributes == INVALID_FILE_ATTRIBUTES
                           ? 0
                           : attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = target + uniqueSuffix();
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              kept ? kept : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    Handle file(created);
    if (!file.valid())
        throw refuse();
    const bool written = writeAll(file.get(), bytes) && FlushFileBuffers(file.get());
    const bool closed = file.close();
    if (!written || !closed || !moveIntoPlace(temporary, target)) {
        DeleteFileW(temporary.c_str());
        throw refuse();
    }
    return Replaced::Written;
}

bool IsWritableFolder(std::u16string_view path) {
    const std::wstring folder = wide(path);
    if (!isFolder(attributesOf(folder)))
        return false;
    std::wstring probe = folder;
    if (!probe.empty() && !isSeparator(probe.back()))
        probe += L'\\';
    probe += L".kasorel-probe" + uniqueSuffix();
    // The probe disappears when its handle closes, so nothing stays even if this process
    // dies here; DELETE access is needed for that, as it is for replacing a file.
    Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

bool IsWritableFile(std::u16string_view path) {
    const std::wstring name = wide(path);
    const DWORD attributes = attributesOf(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    Handle file(CreateFileW(name.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool PathExists(std::u16string_view path) {
    return attributesOf(wide(path)) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileStamp> StampOf(std::u16string_view path) {
    const HANDLE file = CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) &&
                       !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    const auto wide64 = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    return FileStamp{info.dwVolumeSerialNumber, wide64(info.nFileIndexHigh, info.nFileIndexLow),
                     wide64(info.nFileSizeHigh, info.nFileSizeLow),
                     static_cast<std::int64_t>(wide64(info.ftLastWriteTime.dwHighDateTime,
                                                      info.ftLastWriteTime.dwLowDateTime))};
}

} // namespace kasorel
