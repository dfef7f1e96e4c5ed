#include "commands/textdiff.h"

#include <algorithm>

namespace kasorel {

namespace {

// Whether position (between two code units) falls between the halves of a surrogate pair.
bool InsidePair(std::u16string_view text, std::size_t position) {
    return position > 0 && position < text.size() && text[position - 1] >= 0xD800 &&
           text[position - 1] <= 0xDBFF && text[position] >= 0xDC00 && text[position] <= 0xDFFF;
}

} // namespace

ChangedMiddle FindChangedMiddle(std::u16string_view before, std::u16string_view after) {
    const std::size_t limit = std::min(before.size(), after.size());
    std::size_t prefix = 0;
    while (prefix < limit && before[prefix] == after[prefix])
        ++prefix;
    while (prefix > 0 && (InsidePair(before, prefix) || InsidePair(after, prefix)))
        --prefix;
    std::size_t suffix = 0;
    while (suffix < limit - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    while (suffix > 0 &&
           (InsidePair(before, before.size() - suffix) || InsidePair(after, after.size() - suffix)))
        --suffix;
    return {prefix, suffix};
}

} // namespace kasorel
