#pragma once

#include "convert/output.h"
#include "convert/textarea.h"

#include <string_view>

namespace kasorel {

// Converts a pasted co-op statement in place. Every line beginning with the ASCII digits
// "20" is an entry line and is rewritten:
//   - two tabs are inserted in front of its second tab (in front of its only tab when it has
//     one, at its start when it has none);
//   - its first "円" is removed, together with the code unit in front of it when that is a
//     blank (U+0020 or U+3000), so "420 円" and "420円" both become "420"; later "円" stay;
//   - with hoken, a tab and "保険" are appended.
// Other lines stay as they are. Afterwards every line that begins with "20" (an entry line
// without a tab no longer does) is collected in text-area order, duplicates included, and
// their text form (each line and CR LF; empty when there is none) goes to clipboard. The
// text area is never replaced as a whole. Returns the number of collected lines. A second
// run converts the entry lines again.
int ConvertCoop(TextArea& memo, Clipboard& clipboard, bool hoken);

// Whether ConvertCoop takes line for an entry line: it begins with "20".
inline bool IsCoopEntryLine(std::u16string_view line) {
    return line.starts_with(u"20");
}

} // namespace kasorel
