#pragma once

// The file system as the settings file and the guide's copy use it: reading a whole file,
// replacing one safely, and asking what may be written. One implementation per platform
// (POSIX calls on Linux, Win32 on Windows). Paths are UTF-16, absolute.

#include "convert/errors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kasorel {

// The settings file (or another file the program keeps) could not be written. The message
// is "<full path> に書き込めません".
class EIniFileException : public Exception {
public:
    explicit EIniFileException(std::u16string_view fileName);
};

// A file could not be read. The message is "<name> を読み込めません".
class EFileReadError : public Exception {
public:
    explicit EFileReadError(std::u16string_view fileName);
};

// The whole content of the file at path; nothing when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(std::u16string_view path);

enum class Replaced {
    Written, // path now holds bytes, completely, on the disk
    Skipped, // path is a link to something other than a regular file (/dev/null): left alone
};

// Replaces the content of the file at path with bytes, or creates it. The new content goes
// to a temporary file beside the target, every write checked, flushed to the disk, and then
// takes the target's place in one step, so the target is always either the complete old
// file, byte for byte, or the complete new one, and no temporary file is left behind.
// An existing file keeps its mode and owner; a new file is readable by its owner only
// (0600), and missing folders on its way are created for the owner only (0700). A link to a
// regular file, or to a file not made yet, is followed.
// EIniFileException naming path when anything on the way fails: a read-only file or
// folder, a path below a regular file, a full disk, a file size limit.
Replaced ReplaceWholeFile(std::u16string_view path, std::string_view bytes);

// Whether path is an existing folder in which the caller may create and replace files.
bool IsWritableFolder(std::u16string_view path);

// Whether the caller may replace the existing file at path (false when it is missing).
bool IsWritableFile(std::u16string_view path);

// Whether anything exists at path.
bool PathExists(std::u16string_view path);

// What tells one content of a file from another without reading it: the file's identity (a
// file put in its place is another), its size and the time it was last written, to the
// nanosecond or the system's tick.
struct FileStamp {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t written = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the regular file at path; nothing when it is missing, is no regular file, or
// the platform keeps no stamps (the page's storage), where only the bytes tell.
std::optional<FileStamp> StampOf(std::u16string_view path);

} // namespace kasorel
