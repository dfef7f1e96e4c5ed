#pragma once

// The settings file: an INI file named after the executable, beside it. Every operation
// opens the file, does one read or one write and lets go; nothing is kept between calls,
// so what one command writes is on disk for the next.
//
// The file is lines of "[section]" and "key=value". Section and key names match without
// regard to case; the first matching section and, within it, the first matching key count.
// Lines starting with ";" or "#" are comments. Values are read without surrounding blanks
// (spaces and tabs) and without one pair of enclosing double or single quotes.
//
// Encodings: UTF-8 with or without a byte-order mark, UTF-16 LE or BE with one. A write
// keeps the file's encoding; a new file is UTF-8 without a mark.

#include "convert/shape.h"
#include "settings/file.h"
#include "settings/geometry.h"

#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

// The settings path stem for an executable: its full path with the extension of the file
// name part removed (from the last "." of the file name on). A file name without "." stays
// whole; a "." in a folder name is not an extension. "/opt/tool.bin" gives "/opt/tool",
// "/opt/v1.2/tool" stays as it is.
std::u16string IniFileStem(std::u16string_view executablePath);

// The settings file's path for a stem: the stem followed by ".ini".
std::u16string IniFilePath(std::u16string_view stem);

// The value stored under section/key, or defaultValue when the file, the section or the key
// is missing or the file cannot be read. Never fails. The whole value is returned, however
// long.
std::u16string ReadIniString(std::u16string_view stem, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue);

// The stored integer. A value of more than two characters starting with "0x" or "0X" is read
// as "$" and the rest. Accepted: decimal digits with an optional sign, or "$" and hex
// digits (at most eight significant, read as a 32-bit pattern, so "$FFFFFFFF" is -1).
// Anything else (empty, blanks inside, "x10", a sign before "$", out of the 32-bit range)
// gives defaultValue.
int ReadIniInteger(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                   int defaultValue);

// Whether the stored integer, read with 1 or 0 as its default, is non-zero: "1", "-1" and
// "0x10" are true, "0" false, "yes" and "true" give defaultValue.
bool ReadIniBoolean(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                    bool defaultValue);

// Stores value under section/key: the key's line is rewritten, or the key is added after
// the section's last entry, or the section and key are added at the end of the file. Every
// other byte of the file stays as it was. A value that would not read back as written
// (blanks at either end, enclosed in quotes) is stored within double quotes; a line break in
// it is stored as a blank, since it cannot be held on one line.
//
// The file is replaced as a whole only once the new content is completely on the disk: a
// write either leaves the complete new file or the old one byte for byte, with no stray
// temporary file. An existing file keeps its mode and owner (also when root writes it); a
// new file gets mode 0600, and missing folders on its way are created with mode 0700, since
// the file holds the service key. A link to a file is followed; a link to anything else
// (/dev/null) is left alone and the write is skipped without an error.
// EIniFileException when the file or its folder cannot be written (read-only file or
// folder, a path below a regular file, full disk, file size limit).
void WriteIniString(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value);

// Stores "1" for true and "0" for false. Errors as WriteIniString.
void WriteIniBoolean(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                     bool value);

// Stores value as decimal text. Errors as WriteIniString.
void WriteIniInteger(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                     int value);

// Whether a and b are the same section or key name: without regard to case.
bool SameIniName(std::u16string_view a, std::u16string_view b);

// A section of the file with its keys: each key once, the first line of its name, the value
// read as ReadIniString reads it.
struct IniSection {
    std::u16string name;
    std::vector<RuleKey> keys;
};

// Every section whose name begins with prefix (without regard to case), in the file's order;
// of two sections of one name, the first. Never fails; a missing file has none.
std::vector<IniSection> ReadIniSections(std::u16string_view stem, std::u16string_view prefix);

// Makes section hold keys and nothing else, in one write: its lines from its "[name]" line to
// its last key are replaced, so it keeps its place (a new section goes at the end, after an
// empty line). Values are stored as WriteIniString stores them. Errors as WriteIniString.
void WriteIniSection(std::u16string_view stem, std::u16string_view section,
                     const std::vector<RuleKey>& keys);

// Removes section, its "[name]" line up to the next section's, in one write. False, with
// nothing written, when the file holds no such section. Errors as WriteIniString.
bool EraseIniSection(std::u16string_view stem, std::u16string_view section);

// A file handed in as settings is not a settings file. The message names it and says why.
class EIniFileRefused : public Exception {
public:
    using Exception::Exception;
};

// Raises EIniFileRefused for the file named name unless bytes are text, in an encoding this
// reader takes, holding at least one key of ini::AllKeys in its section:
// "<name> はテキストファイルではないため読み込めません" for bytes that are not (control
// characters, bytes that decode in none of the encodings), "<name> には Kasorel の設定があり
// ません" for text without any of the keys.
void CheckSettingsFile(std::u16string_view name, std::string_view bytes);

// Where a window goes given a stored position: a top beyond the screen height becomes its
// remainder by the height, then a left beyond the screen width its remainder by the width.
// A value equal to the size, and a negative one, stay. A zero or negative screen size
// leaves its coordinate alone.
Point ClampIniPosition(Point stored, Size screen);

// Whether a window with the given frame rectangle shows on at least one of screens. With no
// screens known, every position counts as shown.
bool IsOnAnyScreen(const Rect& frame, const std::vector<Rect>& screens);

// The window position to restore: prefix + "_left" and prefix + "_top" read as integers with
// the current frame position's coordinates as defaults, then clamped to primaryScreen
// (ClampIniPosition). When the window, of frame's size, would then be on none of screens
// (a monitor since unplugged, a hand-edited file), frame's own position is returned.
Point ReadIniPosition(std::u16string_view stem, std::u16string_view section,
                      std::u16string_view prefix, const Rect& frame, Size primaryScreen,
                      const std::vector<Rect>& screens);

// Stores position's x under prefix + "_left", then its y under prefix + "_top". Errors as
// WriteIniInteger; when the first write fails the second is not tried.
void WriteIniPosition(std::u16string_view stem, std::u16string_view section,
                      std::u16string_view prefix, Point position);

} // namespace kasorel
