#pragma once

// How an error that ends a command is presented: the error box's caption and text.

#include <string>
#include <string_view>

namespace kasorel {

// The text shown in the error box for a message: a "." is added when the message's last
// code unit is above U+002E, so a message already ending in "." (or in a blank, a digit
// below it...) is left as it is. The empty message stays empty.
std::u16string errorBoxText(std::u16string_view message);

// The program's title, shown as the error box's caption: the executable's file name
// (no folder; "/" and, on Windows, "\" separate) up to its first ".", with every letter
// after the first in lower case. "/opt/KASOREL.bin" gives "Kasorel", "C:\apps\kasorel.exe"
// "kasorel"; an empty path gives the empty text.
std::u16string programTitle(std::u16string_view executablePath);

} // namespace kasorel
