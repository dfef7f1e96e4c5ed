#pragma once

// A kind of statement the person taught from one entry: the shape every entry of that kind
// has, found anywhere in a text, and the rows the entries give. The shape is lines of typed
// fields (a date, an amount, any text) and literal words, such as "支払方法" or "ご利用先：",
// that stand in the same place in every entry. Lines that hold only blanks are never part of
// an entry and never part of its shape.
//
// A shape is read from, and written as, rules a person can read and change:
//
//     Line1={date} {text} {amount} {amount}
//     Line2=支払方法 {text}
//     Date=1
//     Description=1
//     Amount=1
//     Remark=Suica
//
// Line<n> (1 to kShapeLineLimit, each there) is the n-th line of an entry: items apart by
// blanks, each "{date}", "{amount}", "{text}" or a literal word ("「…」" for one that holds a
// blank). Date, Description and Amount pick which date, text and amount field of the entry
// (counted from 1 in entry order) go into the row; Description=0 leaves the description
// empty. Remark, when set, is a last field of every row. Other keys are not read.
//
// Matching reads the cells of each line (fields.h): a date or amount field takes one date or
// amount; a literal takes a cell of exactly its text; a text field takes one cell, or, when
// no other text field follows it, every text cell up to the next item; a line must use all
// of its cells. Every step is bounded by the shape's size, so finding entries is linear in the
// text's length whatever the rules say.

#include "convert/errors.h"
#include "convert/fields.h"
#include "convert/locale.h"
#include "convert/output.h"
#include "convert/textarea.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

inline constexpr int kShapeLineLimit = 8;
inline constexpr int kShapeItemLimit = 32;
inline constexpr std::size_t kLiteralLimit = 100;

enum class FieldType : std::uint8_t { Date, Amount, Text, Literal };

struct ShapeItem {
    FieldType type = FieldType::Text;
    std::u16string literal; // a Literal's text
    friend bool operator==(const ShapeItem&, const ShapeItem&) = default;
};

struct Shape {
    std::vector<std::vector<ShapeItem>> lines;
    int date = 1;        // which date field, from 1
    int description = 1; // which text field, from 1; 0 for none
    int amount = 1;      // which amount field, from 1
    std::u16string remark;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// One key of a rules section, as the settings file holds it.
struct RuleKey {
    std::u16string key;
    std::u16string value;
    friend bool operator==(const RuleKey&, const RuleKey&) = default;
};

// Rules that make no shape. The message says what is wrong, in the person's terms
// ("Line1: {price} は使えない項目です").
class EShapeRules : public Exception {
public:
    using Exception::Exception;
};

// The shape rules describe (keys matched without regard to case; the first of a name
// counts). EShapeRules when they describe none: no Line1, a gap in the lines, a line with
// no item or with an unknown "{…}", no date or no amount field, a Date, Description or
// Amount that is no number or picks a field the lines do not have.
Shape ParseShapeRules(const std::vector<RuleKey>& keys);

// The rules that read back as shape, in the order above.
std::vector<RuleKey> ShapeRules(const Shape& shape);

// The lines of a text with their tokens, cut on first use and kept for every shape that
// looks at them. Holds a reference to memo, which must stay unchanged meanwhile.
class StatementLines {
public:
    explicit StatementLines(const TextArea& memo);
    const TextArea& Memo() const { return memo_; }
    // The indexes of the counted lines that hold more than blanks, in order.
    const std::vector<int>& Filled() const { return filled_; }
    struct Tokens {
        const Token* first;
        std::size_t count;
        const Token* begin() const { return first; }
        const Token* end() const { return first + count; }
    };
    Tokens TokensOf(int line);
    // What a glance at a line tells, before it is cut into tokens.
    enum Trait : std::uint8_t {
        BeginsWithDigit = 1, // its first character that is no blank, full-width forms narrowed
        BeginsWithEra = 2,   // 令, 平, R or H
        BeginsWithSign = 4,  // a refund sign or a yen sign
        HoldsDigit = 8,      // anywhere
        HoldsDateMark = 16,  // "/", "-", ".", "年" or "月" anywhere
    };
    static constexpr std::size_t kTraitValues = 32;
    // The traits of the filled lines, in order.
    const std::uint8_t* TraitsOfFilled() const { return traits_.data(); }

private:
    const TextArea& memo_;
    std::vector<int> filled_;
    std::vector<std::uint8_t> traits_;
    std::vector<std::int32_t> start_;
    std::vector<std::uint16_t> count_;
    std::vector<Token> pool_;
};

// The entries of shape in lines, first to last, as the indexes of their lines (shape's line
// count of them an entry, in one flat list). The text is walked from its first filled line:
// where an entry fits it is taken and the walk goes on after it. A line for which taken is
// set fits no entry; the lines of each entry found are then set in taken (when given, of
// Count() elements).
std::vector<int> FindEntries(const Shape& shape, StatementLines& lines,
                             std::vector<std::uint8_t>* taken = nullptr);

enum class LearnProblem {
    None,
    NoDateOrAmount, // the example holds no date or no amount
    TooLarge,       // more lines or fields than a shape may have
};

struct Learnt {
    LearnProblem problem = LearnProblem::None;
    Shape shape;
    int entries = 0;     // how many entries the shape finds in the whole text
    std::u16string name; // a name the text suggests for the kind; empty for none
};

// The shape of the entry on lines first to last of lines' text (its filled lines), as a
// person means it: each cell's field type; a label, and a word that begins a line in the
// same words in every entry the text holds (two or more), as literals. The row takes the
// first date, the first amount written as money (the first amount when none is), and the
// first text field that is no literal, time or weekday.
Learnt LearnShape(StatementLines& lines, int first, int last);

// Converts memo with shape: one row per entry, "yyyy/MM/dd", the description (trimmed, its
// cells apart by a blank), two empty fields, the amount (AmountText) and the remark when
// there is one, fields apart by tabs. A date without a year takes the year of the text's
// first heading month outside the entries (ReadHeadingMonth), or of today, and a month
// after that month belongs to the year before. The rows' text form replaces memo's text and
// goes to clipboard; returns the number of rows.
int ConvertWithShape(const Shape& shape, TextArea& memo, Clipboard& clipboard, LocalDate today);

} // namespace kasorel
