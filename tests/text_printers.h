#pragma once

// Lets GoogleTest show UTF-16 text as readable UTF-8 in failure messages, with tabs and line
// breaks escaped so that the columns of a row stay visible. GoogleTest's own printer for
// std::u16string writes every non-ASCII code unit as a hex escape, and a PrintTo beside it
// would be ambiguous, so its printer is specialised for the two text types.

#include "convert/unicode.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <string_view>

namespace kasorel {

inline void PrintTo(std::u16string_view s, std::ostream* os) {
    *os << '"';
    std::size_t run = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c != u'\t' && c != u'\r' && c != u'\n')
            continue;
        *os << ToUtf8(s.substr(run, i - run)) << (c == u'\t' ? "\\t" : c == u'\r' ? "\\r" : "\\n");
        run = i + 1;
    }
    *os << ToUtf8(s.substr(run)) << '"';
}

inline void PrintTo(const std::u16string& s, std::ostream* os) {
    PrintTo(std::u16string_view(s), os);
}

} // namespace kasorel

namespace testing::internal {

template <> class UniversalPrinter<std::u16string> {
public:
    static void Print(const std::u16string& s, std::ostream* os) { kasorel::PrintTo(s, os); }
};

template <> class UniversalPrinter<std::u16string_view> {
public:
    static void Print(std::u16string_view s, std::ostream* os) { kasorel::PrintTo(s, os); }
};

} // namespace testing::internal
