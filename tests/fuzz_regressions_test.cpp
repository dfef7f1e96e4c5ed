// Inputs the fuzz targets found, kept as tests so that what they broke stays mended.

#include "rates/json.h"

#include "convert/unicode.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// A number standing first in the text made the reader work on its still-unallocated stack
// (a null pointer plus an offset, reported by the undefined-behaviour sanitizer). The value
// itself must come out whole, in every shape that reaches that path.
TEST(FuzzRegressions, LeadingNumberParsesAndWritesBack) {
    const struct {
        const char* text;
        const char* written;
    } cases[] = {
        {"1\n\n", "1"},
        {"-0.5e+3", "-0.5e+3"},
        {" 151.3 ", "151.3"},
        {"[1,{\"a\":2}]", "[1,{\"a\":2}]"},
    };
    for (const auto& c : cases) {
        const auto value = json::Parse(FromUtf8(c.text));
        ASSERT_TRUE(value.has_value()) << c.text;
        EXPECT_EQ(ToUtf8(json::Write(*value)), c.written) << c.text;
    }
}

} // namespace
