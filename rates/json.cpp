#include "rates/json.h"

#include "convert/primitives.h"

#include <cmath>
#include <rapidjson/reader.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace kasorel {

EJSONException EJSONException::memberNotFound(const QString& name) {
    return EJSONException(QStringLiteral("値 '%1' が見つかりません").arg(name));
}

EJSONException EJSONException::unsupportedConversion(const QString& from, const QString& to) {
    return EJSONException(
        QStringLiteral("%1 から %2 への変換はサポートされていません").arg(from, to));
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

std::optional<Value> Parse(const QString& text) {
    // The reader takes U+0000 for the end of its input and would ignore whatever follows.
    if (text.contains(QChar(u'\0')))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    rapidjson::StringStream in(utf8.constData());
    TreeBuilder builder;
    rapidjson::Reader reader;
    constexpr unsigned flags = rapidjson::kParseNumbersAsStringsFlag |
                               rapidjson::kParseIterativeFlag |
                               rapidjson::kParseValidateEncodingFlag;
    if (reader.Parse<flags>(in, builder).IsError())
        return std::nullopt;
    return builder.take();
}

QString Write(const Value& value) {
    rapidjson::StringBuffer buffer;
    ValidatingWriter writer(buffer);
    if (!writeValue(writer, value))
        throw EJSONException(QStringLiteral("JSON 文字列が UTF-8 として正しくありません"));
    QString text = QString::fromUtf8(buffer.GetString(), static_cast<qsizetype>(buffer.GetSize()));
    // Both can only stand inside a string here; escaped, the text stays one line in the text
    // area, which breaks lines at U+2029 and wraps at U+2028.
    text.replace(QChar(0x2028), QStringLiteral("\\u2028"));
    text.replace(QChar(0x2029), QStringLiteral("\\u2029"));
    return text;
}

const Value* FindMember(const Value& object, std::string_view name) {
    if (object.kind != Kind::Object)
        return nullptr;
    for (const Member& m : object.members)
        if (m.name == name)
            return &m.value;
    return nullptr;
}

QString KindName(Kind kind) {
    switch (kind) {
    case Kind::Null:
        return QStringLiteral("null");
    case Kind::False:
        return QStringLiteral("false");
    case Kind::True:
        return QStringLiteral("true");
    case Kind::Number:
        return QStringLiteral("number");
    case Kind::String:
        return QStringLiteral("string");
    case Kind::Array:
        return QStringLiteral("array");
    case Kind::Object:
        return QStringLiteral("object");
    }
    return QString();
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
        const double d = static_cast<double>(StrToFloat(
            QString::fromUtf8(value.text.data(), static_cast<qsizetype>(value.text.size())),
            QStringLiteral(".")));
        if (std::isinf(d))
            throw EOverflow();
        return d;
    }
    default:
        throw EJSONException::unsupportedConversion(KindName(value.kind), QStringLiteral("Double"));
    }
}

double ReadDouble(const Value& object, std::string_view name) {
    const Value* member = FindMember(object, name);
    if (!member)
        throw EJSONException::memberNotFound(
            QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    return AsDouble(*member);
}

} // namespace json
} // namespace kasorel
