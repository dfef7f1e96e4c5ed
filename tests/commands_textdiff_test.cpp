// The changed middle a shell replaces when it writes a command's result back.
#include "commands/textdiff.h"

#include "commands_seams.h"

#include <gtest/gtest.h>
#include <string>

using namespace kasorel;

namespace {

struct MiddleCase {
    std::string name;
    std::u16string before, after;
    ChangedMiddle expected;
};

void PrintTo(const MiddleCase& c, std::ostream* os) {
    *os << c.name;
}

class ChangedMiddleTest : public testing::TestWithParam<MiddleCase> {};

TEST_P(ChangedMiddleTest, IsTheShortestWholeCharacterMiddle) {
    const MiddleCase& c = GetParam();
    const ChangedMiddle found = FindChangedMiddle(c.before, c.after);
    EXPECT_EQ(found.prefix, c.expected.prefix);
    EXPECT_EQ(found.suffix, c.expected.suffix);
    // Whatever the middle, replacing it makes the new text.
    const std::u16string rebuilt =
        c.before.substr(0, found.prefix) +
        c.after.substr(found.prefix, c.after.size() - found.prefix - found.suffix) +
        c.before.substr(c.before.size() - found.suffix);
    EXPECT_EQ(rebuilt, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ChangedMiddleTest,
    testing::Values(MiddleCase{"equal", u"abc", u"abc", {3, 0}},
                    MiddleCase{"inserted_inside", u"ac", u"abc", {1, 1}},
                    MiddleCase{"cleared", u"abc", u"", {0, 0}},
                    MiddleCase{"appended", u"ab", u"ab\r\ncd", {2, 0}},
                    MiddleCase{"run_shortened", u"aaa", u"aa", {2, 0}},
                    MiddleCase{"low_surrogate_differs", u"a\U0001F600b", u"a\U0001F601b", {1, 1}},
                    MiddleCase{"high_surrogate_differs", u"a\U0001F600b", u"a\U0010F600b", {1, 1}},
                    MiddleCase{"pair_replaced_at_end", u"x\U0001F600", u"x\U0001F64F", {1, 0}}),
    ByCaseName());

} // namespace
