#pragma once

// The person's own 費目, learnt from the rows of their sheet: for each description, the two
// fields after it (the category and what goes beside it) it was seen with, how often and when,
// so that a row the converters make with those fields empty gets them filled. It is the
// person's state, not a setting: it lives in kasorel.categories in UserStateFolder(), UTF-8
// text a person can read:
//
//     # kasorel categories, version 1
//     2024-05-01<TAB>1,200<TAB>ローソン 渋谷店<TAB>食費<TAB>コンビニ
//
// The first line names the format and its version (a larger number is a newer format). Then one
// line per row the sheet held: its date (yyyy-mm-dd), its amount, its description and its two
// fields. Lines end with LF (CR LF and a byte-order mark are read too); empty lines and lines
// starting with "#" are skipped; a line that does not parse is dropped and the others kept.
// At most kCategoryDescriptionLimit descriptions are kept, those seen last, each with its
// kCategorySightingLimit latest rows.

#include "convert/locale.h"
#include "state/statefile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kasorel {

inline constexpr int kCategoriesVersion = 1;
inline constexpr std::size_t kCategoryDescriptionLimit = 5000;
inline constexpr std::size_t kCategorySightingLimit = 36;

// What one learning made of the sheet's rows.
struct Learning {
    int shaped = 0;       // lines shaped like a Kasorel row (a date, a description, 5 fields)
    int taught = 0;       // of them, rows with a category not learnt before
    int descriptions = 0; // the distinct descriptions those rows taught
    int known = 0;        // rows with a category learnt before already
};

class CategoryTable {
public:
    // Learns from text, the rows of the person's sheet pasted as they are: every line of at
    // least five tab-separated fields whose first is a date with its year and whose second, the
    // description, is neither empty nor a dividend row's category teaches its third and fourth
    // fields when either is filled. A row learnt before (the same date, description, amount and
    // fields) is not counted twice.
    Learning Learn(std::u16string_view text);

    // The row, a converter's (fields apart by tabs), with its empty third and fourth fields
    // filled from what was learnt for its description; nothing when the row has fewer than
    // five fields, a third or fourth field of its own, or a description nothing clear was
    // learnt for. The description matches: the same text; the same after folding (full- and
    // half-width forms, letter case, runs of blanks); the same shop at another branch (a
    // trailing word that is a branch "…店", a store number or a place name). Of the fields
    // its matches were seen with, the most often seen win, on a tie the latest; but only when
    // they were seen in two thirds of those rows at least.
    std::optional<std::u16string> Fill(std::u16string_view row) const;

    bool Empty() const { return descriptions_.empty(); }
    std::size_t Size() const { return descriptions_.size(); }

    // False for a table read from a file this version must leave alone (newer, unreadable).
    bool MayReplaceFile() const { return mayReplaceFile_; }

private:
    friend CategoryTable ParseCategories(std::string_view bytes, StateProblem& problem);
    friend std::string SerialiseCategories(const CategoryTable& table);
    friend struct LoadedCategories ReadCategoriesFile(std::u16string_view path);

    struct Sighting {
        std::int32_t date; // yyyymmdd
        std::u16string amount;
        std::u16string first;
        std::u16string second;
    };
    struct Description {
        std::u16string text;
        std::vector<Sighting> seen; // oldest first
        std::int32_t last = 0;      // the latest date seen
    };

    // Adds a sighting; false when the description already holds it.
    bool add(std::u16string_view description, Sighting sighting);
    // Keeps the limits: the latest sightings of a description, the descriptions seen last.
    void trim();
    // Decides, once, what fills the rows of each description, folded text and shop.
    void index();
    // The fields the sightings of descriptions agree on; nothing when they do not.
    const Sighting* decide(const std::vector<std::uint32_t>& descriptions) const;

    std::vector<Description> descriptions_;
    // Each description's index by its text; the fields that fill a row by its description, its
    // folded text and the shop its folded text names (null: nothing clear).
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view s) const noexcept {
            return std::hash<std::u16string_view>{}(s);
        }
    };
    std::unordered_map<std::u16string, std::uint32_t, Hash, std::equal_to<>> exact_;
    std::vector<const Sighting*> exactFill_;
    std::unordered_map<std::u16string, const Sighting*> foldedFill_;
    std::unordered_map<std::u16string, const Sighting*> shopFill_;
    bool mayReplaceFile_ = true;
};

// text folded as the table matches descriptions: full-width ASCII as ASCII, half-width
// katakana as full-width (a voiced mark joined to its letter), ASCII letters in lower case,
// each run of blanks as one blank, none at the ends.
std::u16string FoldDescription(std::u16string_view text);

// The shop a folded description names: without a trailing branch word (one that ends with
// 店, 支店, 営業所 or 出張所, a store number such as "123", "#12", "No.5" or "123号店", or a place
// name of two to six kanji), or, in a description of one word, without a kanji branch ending
// with 店 after a name in another script, or a store number at its end. The whole folded text
// when it names no branch.
std::u16string ShopOf(std::u16string_view folded);

// The table in the file content bytes; problem tells what was wrong with it. Never fails.
CategoryTable ParseCategories(std::string_view bytes, StateProblem& problem);

// The file content for table.
std::string SerialiseCategories(const CategoryTable& table);

struct LoadedCategories {
    CategoryTable table;
    StateProblem problem = StateProblem::None;
};

// The table in the file at path; a missing file gives the empty table. Never fails.
LoadedCategories ReadCategoriesFile(std::u16string_view path);

// Replaces the file at path with table, as ReplaceWholeFile does. False when the table may not
// replace its file. EIniFileException naming path when the file cannot be written.
bool WriteCategoriesFile(std::u16string_view path, const CategoryTable& table);

// UserStateFolder() joined with "kasorel.categories".
std::u16string CategoriesFilePath();

} // namespace kasorel
