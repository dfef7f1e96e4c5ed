#include "rates/json.h"

#include "convert/primitives.h"
#include "convert/unicode.h"

#include <cmath>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace kasorel {

EJSONException EJSONException::memberNotFound(std::u16string_view name) {
    return EJSONException(u"値 '" + std::u16string(name) + u"' が見つかりません");
}

EJSONException EJSONException::unsupportedConversion(std::u16string_view from,
                                                     std::u16string_view to) {
    return EJSONException(std::u16string(from) + u" から " + std::u16string(to) +
                          u" への変換はサポートされていません");
}

namespace json {
namespace {

// Builds the tree from the reader's events without recursion. open_ holds the arrays and
// objects not yet closed; a pointer into a parent's vector stays valid while it is on the
// stack because the parent gets no further child until this one is closed.
class TreeBuilder {
public:
    using Ch = char;

    bool Null() { return put(Value{Kind::Null, {}, {}, {}}); }
    bool Bool(bool b) { return put(Value{b ? Kind::True : Kind::False, {}, {}, {}}); }
    // With numbers parsed as strings only RawNumber is called; the typed ones are refused so
    // that a number can never lose its received text.
    bool Int(int) { return false; }
    bool Uint(unsigned) { return false; }
    bool Int64(int64_t) { return false; }
    bool Uint64(uint64_t) { return false; }
    bool Double(double) { return false; }
    bool RawNumber(const Ch* str, rapidjson::SizeType length, bool) {
        return put(Value{Kind::Number, std::string(str, length), {}, {}});
    }
    bool String(const Ch* str, rapidjson::SizeType length, bool) {
        return put(Value{Kind::String, std::string(str, length), {}, {}});
    }
    bool Key(const Ch* str, rapidjson::SizeType length, bool) {
        key_.assign(str, length);
        return true;
    }
    bool StartObject() { return open(Kind::Object); }
    bool EndObject(rapidjson::SizeType) { return close(); }
    bool StartArray() { return open(Kind::Array); }
    bool EndArray(rapidjson::SizeType) { return close(); }

    std::optional<Value> take() {
        if (!root_ || !open_.empty())
            return std::nullopt;
        return std::move(root_);
    }

private:
    Value* place(Value v) {
        if (open_.empty()) {
            root_ = std::move(v);
            return &*root_;
        }
        Value* parent = open_.back();
        if (parent->kind == Kind::Array) {
            parent->items.push_back(std::move(v));
            return &parent->items.back();
        }
        parent->members.push_back(Member{std::move(key_), std::move(v)});
        key_.clear();
        return &parent->members.back().value;
    }
    bool put(Value v) {
        place(std::move(v));
        return true;
    }
    bool open(Kind kind) {
        if (static_cast<int>(open_.size()) >= kMaxDepth)
            return false;
        open_.push_back(place(Value{kind, {}, {}, {}}));
        return true;
    }
    bool close() {
        open_.pop_back();
        return true;
    }

    std::optional<Value> root_;
    std::vector<Value*> open_;
    std::string key_;
};

using ValidatingWriter =
    rapidjson::Writer<rapidjson::StringBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>,
                      rapidjson::CrtAllocator, rapidjson::kWriteValidateEncodingFlag>;

bool writeValue(ValidatingWriter& w, const Value& v) {
    switch (v.kind) {
    case Kind::Null:
        return w.Null();
    case Kind::False:
        return w.Bool(false);
    case Kind::True:
        return w.Bool(true);
    case Kind::Number:
        return w.RawValue(v.text.data(), v.text.size(), rapidjson::kNumberType);
    case Kind::String:
        return w.String(v.text.data(), static_cast<rapidjson::SizeType>(v.text.size()));
    case Kind::Array:
        if (!w.StartArray())
            return false;
        for (const Value& item : v.items)
            if (!writeValue(w, item))
                return false;
        return w.EndArray();
    case Kind::Object:
        if (!w.StartObject())
            return false;
        for (const Member& m : v.members)
            if (!w.Key(m.name.data(), static_cast<rapidjson::SizeType>(m.name.size())) ||
                !writeValue(w, m.value))
                return false;
        return w.EndObject();
    }
    return false;
}

} // namespace

std::optional<Value> Parse(std::u16string_view text) {
    // The reader takes U+0000 for the end of its input and would ignore whatever follows.
    if (text.find(u'\0') != std::u16string_view::npos)
        return std::nullopt;
    const std::string utf8 = ToUtf8(text);
    rapidjson::StringStream in(utf8.c_str());
    TreeBuilder builder;
    rapidjson::Reader reader;
    constexpr unsigned flags = rapidjson::kParseNumbersAsStringsFlag |
                               rapidjson::kParseIterativeFlag |
                               rapidjson::kParseValidateEncodingFlag;
    if (reader.Parse<flags>(in, builder).IsError())
        return std::nullopt;
    return builder.take();
}

std::u16string Write(const Value& value) {
    rapidjson::StringBuffer buffer;
    ValidatingWriter writer(buffer);
    if (!writeValue(writer, value))
        throw EJSONException(u"JSON 文字列が UTF-8 として正しくありません");
    // Both can only stand inside a string here; escaped, the text stays one line in the text
    // area, which breaks lines at U+2029 and wraps at U+2028. Their UTF-8 forms share the
    // first two bytes.
    const std::string_view utf8(buffer.GetString(), buffer.GetSize());
    std::string escaped;
    std::size_t done = 0;
    for (std::size_t at = utf8.find("\xE2\x80"); at != std::string_view::npos;
         at = utf8.find("\xE2\x80", at + 1)) {
        if (at + 2 < utf8.size() && (utf8[at + 2] == '\xA8' || utf8[at + 2] == '\xA9')) {
            escaped.append(utf8.substr(done, at - done));
            escaped.append(utf8[at + 2] == '\xA8' ? "\\u2028" : "\\u2029");
            done = at + 3;
        }
    }
    if (done == 0)
        return FromUtf8(utf8);
    escaped.append(utf8.substr(done));
    return FromUtf8(escaped);
}

const Value* FindMember(const Value& object, std::string_view name) {
    if (object.kind != Kind::Object)
        return nullptr;
    for (const Member& m : object.members)
        if (m.name == name)
            return &m.value;
    return nullptr;
}

std::u16string_view KindName(Kind kind) {
    switch (kind) {
    case Kind::Null:
        return u"null";
    case Kind::False:
        return u"false";
    case Kind::True:
        return u"true";
    case Kind::Number:
        return u"number";
    case Kind::String:
        return u"string";
    case Kind::Array:
        return u"array";
    case Kind::Object:
        return u"object";
    }
    return {};
}

double AsDouble(const Value& value) {
    switch (value.kind) {
    case Kind::True:
        return 1;
    case Kind::False:
        return 0;
    case Kind::Number:
    case Kind::String: {
        // JSON numbers always use ".", whatever the user's regional settings say.
        const double d = static_cast<double>(StrToFloat(FromUtf8(value.text), u"."));
        if (std::isinf(d))
            throw EOverflow();
        return d;
    }
    default:
        throw EJSONException::unsupportedConversion(KindName(value.kind), u"Double");
    }
}

double ReadDouble(const Value& object, std::string_view name) {
    const Value* member = FindMember(object, name);
    if (!member)
        throw EJSONException::memberNotFound(FromUtf8(name));
    return AsDouble(*member);
}

} // namespace json
} // namespace kasorel
