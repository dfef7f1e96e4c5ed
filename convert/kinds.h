#pragma once

// The statement kinds the converters handle, each with the id the program's own files name it
// by. The ids are ASCII and never change: stored files rely on them.

#include <array>
#include <string_view>

namespace kasorel {

// In the order of how specific their markers are, most specific first: a kind's lines can
// look like lines of the kinds after it, never of the kinds before it.
enum class StatementKind { Rakuten, Foreign, Domestic, View, Coop };

inline constexpr std::array<StatementKind, 5> AllStatementKinds{
    StatementKind::Rakuten, StatementKind::Foreign, StatementKind::Domestic, StatementKind::View,
    StatementKind::Coop};

// "rakuten", "foreign", "domestic", "view", "coop".
constexpr std::string_view KindId(StatementKind kind) {
    switch (kind) {
    case StatementKind::Rakuten:
        return "rakuten";
    case StatementKind::Foreign:
        return "foreign";
    case StatementKind::Domestic:
        return "domestic";
    case StatementKind::View:
        return "view";
    case StatementKind::Coop:
        return "coop";
    }
    return {};
}

} // namespace kasorel
