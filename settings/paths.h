#pragma once

// Where the program and the user's own folders are. One implementation per platform.

#include <string>
#include <string_view>

namespace kasorel {

// The running executable's full path.
std::u16string ExecutablePath();

// The folder of the user's own settings for this program, not necessarily made yet:
// $XDG_CONFIG_HOME/kasorel (~/.config/kasorel without it) on Linux, %APPDATA%\kasorel on
// Windows.
std::u16string UserConfigFolder();

// The folder for files the program can make again, not necessarily made yet:
// $XDG_CACHE_HOME/kasorel (~/.cache/kasorel without it) on Linux, %LOCALAPPDATA%\kasorel on
// Windows.
std::u16string UserCacheFolder();

// The folder of the user's own state on this machine (what the program remembers, which is
// no setting and never sits beside the program), not necessarily made yet:
// $XDG_STATE_HOME/kasorel (~/.local/state/kasorel without it, or when it is relative) on
// Linux, %LOCALAPPDATA%\kasorel on Windows.
std::u16string UserStateFolder();

// Where an installed copy of the user guide is, whether or not it is there:
// share/doc/kasorel/guide.html beside the executable's bin folder on Linux (the package and
// the build tree both put it there), guide.html beside kasorel.exe on Windows.
std::u16string InstalledGuidePath();

// The address of the guide that ships with this copy of the program, for the browser: the
// installed file's file: address (empty when it is not there) on Linux and Windows, the
// page's own guide.html beside it in a browser.
std::u16string ShippedGuideAddress();

// The platform's folder separator: '/' on Linux, '\\' on Windows.
char16_t FolderSeparator();

// folder and name joined by one separator.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// The folder part of path: everything before its last separator ("/" for a file at the
// root; on Windows "/" separates too). The empty text when path has no separator.
std::u16string FolderOf(std::u16string_view path);

// The file name part of path: everything after its last separator.
std::u16string FileNameOf(std::u16string_view path);

// The file: address of an absolute path, for the browser ("file:///C:/Program%20Files/..."
// on Windows, "file:///home/..." on Linux); bytes outside the unreserved set are
// percent-encoded from UTF-8.
std::u16string FileUrl(std::u16string_view path);

} // namespace kasorel
