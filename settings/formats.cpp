#include "settings/formats.h"

#include "convert/unicode.h"
#include "settings/inifile.h"
#include "settings/keys.h"

namespace kasorel {

namespace {

std::u16string sectionOf(std::u16string_view name) {
    return std::u16string(ini::FormatSectionPrefix) + std::u16string(name);
}

} // namespace

std::vector<MadeKind> ReadMadeKinds(std::u16string_view stem) {
    std::vector<MadeKind> kinds;
    for (IniSection& section : ReadIniSections(stem, ini::FormatSectionPrefix)) {
        if (kinds.size() == kMadeKindLimit)
            break;
        std::u16string name = section.name.substr(ini::FormatSectionPrefix.size());
        if (!name.empty())
            kinds.push_back(MadeKind{std::move(name), std::move(section.keys)});
    }
    return kinds;
}

void WriteMadeKind(std::u16string_view stem, const MadeKind& kind) {
    WriteIniSection(stem, sectionOf(kind.name), kind.rules);
}

bool EraseMadeKind(std::u16string_view stem, std::u16string_view name) {
    return EraseIniSection(stem, sectionOf(name));
}

bool SameKindName(std::u16string_view a, std::u16string_view b) {
    return SameIniName(a, b);
}

std::string MadeKindId(std::u16string_view name) {
    // FNV-1a over the name's UTF-8 bytes, with its letters folded as SameKindName folds them.
    std::u16string folded(name);
    for (char16_t& c : folded)
        c = CaseFolded(c);
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char byte : ToUtf8(folded)) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 0x100000001B3ULL;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id = "made-";
    for (int shift = 60; shift >= 0; shift -= 4)
        id += kHex[(hash >> shift) & 0xF];
    return id;
}

} // namespace kasorel
