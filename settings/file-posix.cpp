#include "settings/file.h"

#include "convert/unicode.h"
#include "settings/inifile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kasorel {

namespace {

std::string nativePath(std::u16string_view path) {
    return ToUtf8(path);
}

// Writes all of bytes to fd, resuming after short writes. False on the first failure, such
// as a full disk or a file size limit.
bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Creates the missing folders on the way to folder, each readable by its owner only: the
// file they will hold keeps the service key.
bool makeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

std::optional<std::string> ReadWholeFile(std::u16string_view path) {
    const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    if (S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// The new content is written unbuffered so that every failing step is seen here, is flushed
// to the disk, and only then renamed over the old file. A buffered write would fail only
// when it is flushed at the end, and a commit that let that pass would rename a short file
// over the settings.
Replaced ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
    std::string target = nativePath(path);
    struct stat link {};
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // A settings file linked to something that is no file (people link it to /dev/null
        // to keep nothing) is left alone: replacing the link, or the device, is never meant.
        struct stat st {};
        if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            return Replaced::Skipped;
        // A link to a file is followed, so the file stays where the link points; so is a
        // link to a file not made yet.
        char resolved[PATH_MAX];
        if (::realpath(target.c_str(), resolved)) {
            target = resolved;
        } else {
            const ssize_t n = ::readlink(target.c_str(), resolved, sizeof resolved);
            if (n <= 0 || n == static_cast<ssize_t>(sizeof resolved))
                throw EIniFileException(path);
            const std::string pointed(resolved, static_cast<std::size_t>(n));
            const std::size_t slash = target.rfind('/');
            target = pointed.starts_with('/') || slash == std::string::npos
                         ? pointed
                         : target.substr(0, slash + 1) + pointed;
        }
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0))
        throw EIniFileException(path);

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : target.substr(0, slash);
    if (!makeFolders(folder))
        throw EIniFileException(path);

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        throw EIniFileException(path);
    // An existing file keeps its mode and owner, also when root writes it; a new one is
    // its owner's alone.
    bool ok = ::fchmod(fd, exists ? (old.st_mode & 07777) : 0600) == 0;
    if (ok && exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        ok = ::fchown(fd, old.st_uid, old.st_gid) == 0 || errno == EPERM;
    ok = ok && writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        throw EIniFileException(path);
    }
    return Replaced::Written;
}

// A folder that is really a regular file passes access(); nothing can be made below it.
bool IsWritableFolder(std::u16string_view path) {
    const std::string native = nativePath(path);
    struct stat st {};
    return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(native.c_str(), W_OK) == 0;
}

bool IsWritableFile(std::u16string_view path) {
    return ::access(nativePath(path).c_str(), W_OK) == 0;
}

bool PathExists(std::u16string_view path) {
    return ::access(nativePath(path).c_str(), F_OK) == 0;
}

std::optional<FileStamp> StampOf(std::u16string_view path) {
    struct stat st {};
    if (::stat(nativePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::uint64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                         st.st_mtim.tv_nsec};
}

} // namespace kasorel
