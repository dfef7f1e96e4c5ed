#pragma once

// A small JSON value tree for the exchange-rate answers. It keeps what a round trip must
// keep: object members in the order received, duplicated member names, and every number as
// the text it was received as, so writing a value back reproduces the answer token for
// token.

#include "convert/errors.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

// A JSON text could not be turned into what the caller asked for: a missing member, a value
// that cannot be read as a number, a string that cannot be written as UTF-8, or an answer
// not shaped as expected.
class EJSONException : public Exception {
public:
    explicit EJSONException(std::u16string message) : Exception(std::move(message)) {}
    // "値 '<name>' が見つかりません"
    static EJSONException memberNotFound(std::u16string_view name);
    // "<from> から <to> への変換はサポートされていません"
    static EJSONException unsupportedConversion(std::u16string_view from, std::u16string_view to);
};

namespace json {

enum class Kind { Null, False, True, Number, String, Array, Object };

struct Member;

struct Value {
    Kind kind = Kind::Null;
    // Number: the number's text as received. String: the string's UTF-8 bytes, unescaped.
    std::string text;
    // Array elements, in order.
    std::vector<Value> items;
    // Object members, in order, duplicates kept.
    std::vector<Member> members;
};

struct Member {
    std::string name; // UTF-8, unescaped
    Value value;
};

// Deepest nesting of arrays and objects that Parse accepts; a deeper text gives no value,
// so a hostile answer can neither overflow the stack nor grow the tree without bound.
inline constexpr int kMaxDepth = 512;

// Parses text (one JSON value, surrounded by white space at most). Gives no value for the
// empty text, invalid JSON, trailing content, nesting deeper than kMaxDepth, an escape that
// names a lone high surrogate, or a text holding U+0000.
std::optional<Value> Parse(std::u16string_view text);

// The value as compact JSON (no white space between tokens): members in order, numbers as
// their received text, strings escaped minimally ('"', '\', control characters) and
// otherwise kept as UTF-8, except U+2028 and U+2029, written as "\u2028" and "\u2029" so
// the text is one line in the text area. EJSONException when a string is not valid UTF-8 (an
// escaped lone low surrogate gets past the reader that way).
std::u16string Write(const Value& value);

// The first member of object named exactly name (case-sensitive); nullptr when object is
// not an object or has no such member.
const Value* FindMember(const Value& object, std::string_view name);

// The name of a value's kind in conversion messages: "null", "true", "false", "number",
// "string", "array", "object".
std::u16string_view KindName(Kind kind);

// Reads a value as a double: a number or a string by its text with "." as the decimal
// separator (EConvertError when the text is no number, EOverflow beyond the double range),
// true as 1 and false as 0; null, an array or an object raise
// EJSONException::unsupportedConversion(KindName, "Double").
double AsDouble(const Value& value);

// Reads the member name of object as a double (AsDouble); a missing member raises
// EJSONException::memberNotFound(name).
double ReadDouble(const Value& object, std::string_view name);

} // namespace json
} // namespace kasorel
