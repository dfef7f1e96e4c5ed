#pragma once

// The kinds of statement the person made, as the settings file keeps them: one section a
// kind, "[書式:<name>]" (ini::FormatSectionPrefix), holding its rules (convert/shape.h), in the
// order the kinds were made. A section written by hand is a kind like any other.

#include "convert/shape.h"

#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

// More kinds than this are not read: every menu and every 自動判別 would grow with them.
inline constexpr std::size_t kMadeKindLimit = 50;

struct MadeKind {
    std::u16string name;
    std::vector<RuleKey> rules;
};

// The first kMadeKindLimit kinds of the settings file at stem, in order. Never fails.
std::vector<MadeKind> ReadMadeKinds(std::u16string_view stem);

// Stores kind: the rules of the kind of its name are replaced in their place, or it is added
// last. Errors as WriteIniString.
void WriteMadeKind(std::u16string_view stem, const MadeKind& kind);

// Removes the kind named name; false when there is none. Errors as WriteIniString.
bool EraseMadeKind(std::u16string_view stem, std::u16string_view name);

// Whether a and b name the same kind: names match as the file's sections do, without regard
// to case.
bool SameKindName(std::u16string_view a, std::u16string_view b);

// The id the history of rows sent keeps the kind named name under: "made-" and 16
// lower-case hex digits of the name, the same on every platform.
std::string MadeKindId(std::u16string_view name);

} // namespace kasorel
