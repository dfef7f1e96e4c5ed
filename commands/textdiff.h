#pragma once

// Where two texts differ: the shortest middle whose replacement turns one into the other. A
// shell writes a command's result back by replacing only that middle, so the undo step stays
// small and the widget lays out only what changed.

#include <cstddef>
#include <string_view>

namespace kasorel {

struct ChangedMiddle {
    std::size_t prefix = 0; // code units both texts start with
    std::size_t suffix = 0; // code units both end with, not overlapping the prefix
    friend bool operator==(const ChangedMiddle&, const ChangedMiddle&) = default;
};

// The common prefix and suffix of before and after. Neither ends or starts inside a
// surrogate pair of either text, so the middle always replaces whole characters. Equal texts
// give a prefix of their whole length and an empty suffix.
ChangedMiddle FindChangedMiddle(std::u16string_view before, std::u16string_view after);

} // namespace kasorel
