#pragma once

// The user guide, built into the program so that "作者ホームページ" opens a page that exists
// wherever the executable has been copied to.

#include <string>
#include <string_view>

namespace kasorel {

// The guide page as built into the program: UTF-8 HTML, self-contained.
std::string_view BuiltInGuide();

// The address of a guide page that exists: the installed copy when there is one; otherwise
// the built-in page, written to guide.html in the user's cache folder only when that copy
// is missing or differs. EIniFileException naming that file when it cannot be written;
// nothing else is written then.
std::u16string GuideAddress();

} // namespace kasorel
