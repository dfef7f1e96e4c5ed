#include "settings/inifile.h"

#include "convert/charset.h"
#include "convert/primitives.h"
#include "convert/unicode.h"
#include "settings/keys.h"
#include "settings/paths.h"

#include <algorithm>
#include <optional>
#include <vector>

// A small reader and writer of our own rather than an INI library: a write here must leave
// every other byte of the file as it was (comments, spacing, line breaks, undecodable
// bytes), read UTF-16 files and take quotes off values, which the libraries at hand do not
// all do.

namespace kasorel {

EIniFileException::EIniFileException(std::u16string_view fileName)
    : Exception(std::u16string(fileName) + u" に書き込めません") {}

EFileReadError::EFileReadError(std::u16string_view fileName)
    : Exception(std::u16string(fileName) + u" を読み込めません") {}

namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16LE, Utf16BE };

// One line of the file, as byte offsets into the raw content, so that a write can splice
// a single line and keep every other byte exactly, even bytes that do not decode.
struct Line {
    std::size_t begin;      // first byte of the line
    std::size_t contentEnd; // first byte of the line break (or the end of the file)
    std::size_t end;        // first byte after the line break
    std::u16string text;    // the content, decoded
};

struct Document {
    std::string bytes;
    Encoding encoding = Encoding::Utf8;
    bool legacy = false;   // no mark and not UTF-8: the system's 8-bit encoding
    std::size_t unit = 1;  // bytes per code unit: 1 for UTF-8, 2 for UTF-16
    std::size_t limit = 0; // end of the last whole code unit
    std::vector<Line> lines;
    std::string eol; // the file's line break, encoded; used for lines a write adds
};

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string_view trimBlanks(std::u16string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Lone surrogates stay as they are in UTF-16, which can hold them.
std::string encodeAs(std::u16string_view s, Encoding e) {
    if (e != Encoding::Utf16LE && e != Encoding::Utf16BE)
        return ToUtf8(s);
    std::string out;
    out.reserve(s.size() * 2);
    for (const char16_t c : s) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        if (e == Encoding::Utf16LE) {
            out += lo;
            out += hi;
        } else {
            out += hi;
            out += lo;
        }
    }
    return out;
}

std::u16string decode(const Document& d, std::size_t begin, std::size_t end) {
    const std::string_view bytes = std::string_view(d.bytes).substr(begin, end - begin);
    std::u16string text;
    switch (d.encoding) {
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        text = FromUtf16Bytes(bytes, d.encoding == Encoding::Utf16BE);
        break;
    default:
        text = d.legacy ? DecodeSystemLegacy(bytes) : FromUtf8(bytes);
        break;
    }
    // A mark at the start of a line is no part of its text; the reader has always taken
    // every line on its own and dropped one there.
    if (!text.empty() && text.front() == u'\uFEFF')
        text.erase(0, 1);
    return text;
}

// s in the file's own encoding; a file in the system's legacy encoding is written in it too
// (WriteIniString has made sure that it can hold s).
std::string encode(std::u16string_view s, const Document& d) {
    if (d.legacy) {
        if (std::optional<std::string> bytes = EncodeSystemLegacy(s))
            return *std::move(bytes);
    }
    return encodeAs(s, d.encoding);
}

char16_t unitAt(const Document& d, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(d.bytes[k]); };
    switch (d.encoding) {
    case Encoding::Utf16LE:
        return static_cast<char16_t>(b(i) | (b(i + 1) << 8));
    case Encoding::Utf16BE:
        return static_cast<char16_t>((b(i) << 8) | b(i + 1));
    default:
        return b(i);
    }
}

Document parse(std::string bytes) {
    Document d;
    d.bytes = std::move(bytes);
    std::size_t start = 0;
    const std::string_view all(d.bytes);
    if (all.starts_with("\xEF\xBB\xBF")) {
        d.encoding = Encoding::Utf8Bom;
        start = 3;
    } else if (all.starts_with("\xFF\xFE")) {
        d.encoding = Encoding::Utf16LE;
        d.unit = 2;
        start = 2;
    } else if (all.starts_with("\xFE\xFF")) {
        d.encoding = Encoding::Utf16BE;
        d.unit = 2;
        start = 2;
    } else {
        // What Windows' own INI functions write, and what older editors save.
        d.legacy = !IsValidUtf8(all);
    }
    // A trailing odd byte of a UTF-16 file is no code unit; it is kept but never read.
    const std::size_t limit = d.bytes.size() - (d.bytes.size() - start) % d.unit;
    d.limit = limit;
    std::size_t begin = start;
    std::size_t i = start;
    while (begin < limit) {
        while (i < limit && unitAt(d, i) != u'\n' && unitAt(d, i) != u'\r')
            i += d.unit;
        const std::size_t contentEnd = i;
        if (i < limit && unitAt(d, i) == u'\r')
            i += d.unit;
        if (i < limit && unitAt(d, i) == u'\n')
            i += d.unit;
        if (d.eol.empty() && i > contentEnd)
            d.eol = d.bytes.substr(contentEnd, i - contentEnd);
        d.lines.push_back(Line{begin, contentEnd, i, decode(d, begin, contentEnd)});
        begin = i;
    }
    if (d.eol.empty())
        d.eol = encodeAs(u"\n", d.encoding);
    return d;
}

// The section name of a "[name]" line; nothing for any other line.
std::optional<std::u16string_view> sectionName(std::u16string_view line) {
    const std::u16string_view t = trimBlanks(line);
    if (!t.starts_with(u'['))
        return std::nullopt;
    const std::size_t close = t.find(u']');
    return trimBlanks(close == std::u16string_view::npos ? t.substr(1) : t.substr(1, close - 1));
}

bool isComment(std::u16string_view line) {
    const std::u16string_view t = trimBlanks(line);
    return t.starts_with(u';') || t.starts_with(u'#');
}

// The key of a "key=value" line; nothing for section, comment and other lines.
std::optional<std::u16string_view> keyName(std::u16string_view line) {
    if (isComment(line) || sectionName(line))
        return std::nullopt;
    const std::size_t eq = line.find(u'=');
    if (eq == std::u16string_view::npos)
        return std::nullopt;
    return trimBlanks(line.substr(0, eq));
}

std::u16string valueOf(std::u16string_view line) {
    std::u16string_view v = trimBlanks(line.substr(line.find(u'=') + 1));
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        v = v.substr(1, v.size() - 2);
    return std::u16string(v);
}

struct Location {
    std::optional<std::size_t> section; // the section's "[name]" line
    std::optional<std::size_t> key;     // the key's line within it
    std::size_t lastEntry = 0;          // the section's last key line, or its header
};

Location locate(const Document& d, std::u16string_view section, std::u16string_view key) {
    Location loc;
    for (std::size_t i = 0; i < d.lines.size(); ++i) {
        if (const auto name = sectionName(d.lines[i].text)) {
            if (loc.section)
                break;
            if (SameIgnoringCase(*name, section)) {
                loc.section = i;
                loc.lastEntry = i;
            }
            continue;
        }
        if (!loc.section)
            continue;
        if (const auto name = keyName(d.lines[i].text)) {
            loc.lastEntry = i;
            if (!loc.key && SameIgnoringCase(*name, key))
                loc.key = i;
        }
    }
    return loc;
}

Document load(std::u16string_view path) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    return parse(bytes ? std::move(*bytes) : std::string());
}

// The text a value is stored as, so that reading it gives the value back: a line break
// would end the line, so it becomes a blank; blanks at either end or an enclosing pair of
// quotes would be taken off by the reader, so such a value is put within double quotes.
std::u16string storedForm(std::u16string_view v) {
    std::u16string value(v);
    for (char16_t& c : value) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
    }
    const bool blankEnd = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == u'"' || value.front() == u'\'');
    if (blankEnd || quoted)
        return u'"' + value + u'"';
    return value;
}

std::string withValue(const Document& d, std::u16string_view section, std::u16string_view key,
                      std::u16string_view value) {
    const Location loc = locate(d, section, key);
    const std::u16string stored = storedForm(value);
    std::string out = d.bytes;
    if (loc.key) {
        // Keep the line's own spelling of the key and its blanks around "=" byte for byte.
        const Line& line = d.lines[*loc.key];
        std::size_t p = line.begin;
        while (p < line.contentEnd && unitAt(d, p) != u'=')
            p += d.unit;
        p += d.unit;
        while (p < line.contentEnd && (unitAt(d, p) == u' ' || unitAt(d, p) == u'\t'))
            p += d.unit;
        out.replace(p, line.contentEnd - p, encode(stored, d));
        return out;
    }
    const std::string entry = encode(std::u16string(key) + u'=' + stored, d) + d.eol;
    if (loc.section) {
        const Line& after = d.lines[loc.lastEntry];
        const std::string lead = after.end == after.contentEnd ? d.eol : std::string();
        out.insert(after.end, lead + entry);
        return out;
    }
    std::string tail;
    if (!d.lines.empty() && d.lines.back().end == d.lines.back().contentEnd)
        tail = d.eol;
    tail += encode(u'[' + std::u16string(section) + u']', d) + d.eol + entry;
    // Before a stray odd byte of a UTF-16 file, so that what is added stays readable.
    out.insert(d.limit, tail);
    return out;
}

bool isDecimal(std::u16string_view s) {
    std::size_t i = (s.starts_with(u'+') || s.starts_with(u'-')) ? 1 : 0;
    if (i == s.size())
        return false;
    for (; i < s.size(); ++i) {
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    }
    return true;
}

bool isDollarHex(std::u16string_view s) {
    if (s.size() < 2 || s[0] != u'$')
        return false;
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char16_t c = s[i];
        const bool hex =
            (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex)
            return false;
    }
    return true;
}

// A rectangle with no width or height covers no pixel and meets nothing.
bool intersects(const Rect& a, const Rect& b) {
    if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0)
        return false;
    const auto end = [](int from, int length) { return static_cast<long long>(from) + length; };
    return a.x < end(b.x, b.width) && b.x < end(a.x, a.width) && a.y < end(b.y, b.height) &&
           b.y < end(a.y, a.height);
}

} // namespace

bool SameIniName(std::u16string_view a, std::u16string_view b) {
    return SameIgnoringCase(a, b);
}

std::u16string IniFileStem(std::u16string_view executablePath) {
    const std::u16string name = FileNameOf(executablePath);
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string::npos)
        return std::u16string(executablePath);
    return std::u16string(executablePath.substr(0, executablePath.size() - (name.size() - dot)));
}

std::u16string IniFilePath(std::u16string_view stem) {
    return std::u16string(stem) + u".ini";
}

std::u16string ReadIniString(std::u16string_view stem, std::u16string_view section,
                             std::u16string_view key, std::u16string_view defaultValue) {
    const Document d = load(IniFilePath(stem));
    const Location loc = locate(d, section, key);
    if (!loc.key)
        return std::u16string(defaultValue);
    return valueOf(d.lines[*loc.key].text);
}

int ReadIniInteger(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                   int defaultValue) {
    std::u16string s = ReadIniString(stem, section, key, std::u16string_view());
    if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X'))
        s.replace(0, 2, u"$");
    // TryStrToInt also takes other hex prefixes and a sign before "$"; the settings file
    // holds only decimal or "$" hex.
    int v = 0;
    if ((isDecimal(s) || isDollarHex(s)) && TryStrToInt(s, v))
        return v;
    return defaultValue;
}

bool ReadIniBoolean(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                    bool defaultValue) {
    return ReadIniInteger(stem, section, key, defaultValue ? 1 : 0) != 0;
}

namespace {

// A file in the legacy code page that cannot hold one of texts, written in UTF-8 beside it,
// would be left in two encodings, and the next read would garble one of them. Such a file is
// turned whole into UTF-8 with a mark, which holds every setting.
void holdAll(Document& d, std::initializer_list<std::u16string_view> texts) {
    if (!d.legacy)
        return;
    for (const std::u16string_view text : texts) {
        if (!EncodeSystemLegacy(text)) {
            d = parse("\xEF\xBB\xBF" + ToUtf8(DecodeSystemLegacy(d.bytes)));
            return;
        }
    }
}

// The lines of the first section named section: its "[name]" line, its last key line (or the
// header) and the next section's line (or the end of the lines).
struct SectionLines {
    std::size_t header = 0;
    std::size_t lastEntry = 0;
    std::size_t next = 0;
};

std::optional<SectionLines> sectionLines(const Document& d, std::u16string_view section) {
    const Location loc = locate(d, section, std::u16string_view());
    if (!loc.section)
        return std::nullopt;
    SectionLines s{*loc.section, loc.lastEntry, d.lines.size()};
    for (std::size_t i = s.header + 1; i < d.lines.size(); ++i) {
        if (sectionName(d.lines[i].text)) {
            s.next = i;
            break;
        }
    }
    return s;
}

// Whether a section's name begins with prefix, without regard to case.
bool namedWith(std::u16string_view name, std::u16string_view prefix) {
    return name.size() >= prefix.size() && SameIgnoringCase(name.substr(0, prefix.size()), prefix);
}

std::size_t beginOf(const Document& d, std::size_t line) {
    return line < d.lines.size() ? d.lines[line].begin : d.limit;
}

} // namespace

void WriteIniString(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                    std::u16string_view value) {
    const std::u16string path = IniFilePath(stem);
    Document d = load(path);
    holdAll(d, {section, key, storedForm(value)});
    ReplaceWholeFile(path, withValue(d, section, key, value));
}

std::vector<IniSection> ReadIniSections(std::u16string_view stem, std::u16string_view prefix) {
    const Document d = load(IniFilePath(stem));
    std::vector<IniSection> sections;
    bool inside = false;
    for (const Line& line : d.lines) {
        if (const auto name = sectionName(line.text)) {
            inside = namedWith(*name, prefix) &&
                     std::none_of(sections.begin(), sections.end(), [&](const IniSection& s) {
                         return SameIgnoringCase(s.name, *name);
                     });
            if (inside)
                sections.push_back(IniSection{std::u16string(*name), {}});
            continue;
        }
        const auto key = inside ? keyName(line.text) : std::nullopt;
        if (!key)
            continue;
        std::vector<RuleKey>& keys = sections.back().keys;
        if (std::none_of(keys.begin(), keys.end(),
                         [&](const RuleKey& k) { return SameIgnoringCase(k.key, *key); }))
            keys.push_back(RuleKey{std::u16string(*key), valueOf(line.text)});
    }
    return sections;
}

void WriteIniSection(std::u16string_view stem, std::u16string_view section,
                     const std::vector<RuleKey>& keys) {
    const std::u16string path = IniFilePath(stem);
    Document d = load(path);
    std::vector<std::u16string> lines{u'[' + std::u16string(section) + u']'};
    for (const RuleKey& k : keys)
        lines.push_back(k.key + u'=' + storedForm(k.value));
    for (const std::u16string& line : lines)
        holdAll(d, {line});
    std::string bytes;
    for (const std::u16string& line : lines)
        bytes += encode(line, d) + d.eol;
    std::string out = d.bytes;
    if (const std::optional<SectionLines> s = sectionLines(d, section)) {
        const Line& last = d.lines[s->lastEntry];
        // A last line without a break keeps none after the section either.
        if (last.end == last.contentEnd)
            bytes.resize(bytes.size() - d.eol.size());
        out.replace(d.lines[s->header].begin, last.end - d.lines[s->header].begin, bytes);
    } else {
        std::string lead;
        if (!d.lines.empty()) {
            lead = d.lines.back().end == d.lines.back().contentEnd ? d.eol + d.eol : d.eol;
        }
        out.insert(d.limit, lead + bytes);
    }
    ReplaceWholeFile(path, out);
}

bool EraseIniSection(std::u16string_view stem, std::u16string_view section) {
    const std::u16string path = IniFilePath(stem);
    const Document d = load(path);
    const std::optional<SectionLines> s = sectionLines(d, section);
    if (!s)
        return false;
    std::string out = d.bytes;
    const std::size_t from = d.lines[s->header].begin;
    out.erase(from, beginOf(d, s->next) - from);
    ReplaceWholeFile(path, out);
    return true;
}

void WriteIniBoolean(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                     bool value) {
    WriteIniString(stem, section, key, value ? u"1" : u"0");
}

void WriteIniInteger(std::u16string_view stem, std::u16string_view section, std::u16string_view key,
                     int value) {
    WriteIniString(stem, section, key, IntToStr(value));
}

void CheckSettingsFile(std::u16string_view name, std::string_view bytes) {
    const Document d = parse(std::string(bytes));
    for (const Line& line : d.lines) {
        for (const char16_t c : line.text) {
            // A legacy file whose bytes the code page cannot read is no text of its either.
            const bool control = (c < 0x20 && c != u'\t' && c != 0x1A) || c == 0x7F;
            if (control || c == u'\uFFFE' || c == u'\uFFFF' || (d.legacy && c == u'\uFFFD'))
                throw EIniFileRefused(std::u16string(name) +
                                      u" はテキストファイルではないため読み込めません");
        }
    }
    for (const ini::Key& known : ini::AllKeys) {
        if (locate(d, known.section, known.key).key)
            return;
    }
    for (const Line& line : d.lines) {
        const auto section = sectionName(line.text);
        if (section && section->size() > ini::FormatSectionPrefix.size() &&
            namedWith(*section, ini::FormatSectionPrefix))
            return;
    }
    throw EIniFileRefused(std::u16string(name) + u" には Kasorel の設定がありません");
}

Point ClampIniPosition(Point stored, Size screen) {
    int top = stored.y;
    int left = stored.x;
    if (screen.height > 0 && top > screen.height)
        top %= screen.height;
    if (screen.width > 0 && left > screen.width)
        left %= screen.width;
    return Point{left, top};
}

bool IsOnAnyScreen(const Rect& frame, const std::vector<Rect>& screens) {
    if (screens.empty())
        return true;
    // An empty frame (a window not yet laid out) still counts by its corner.
    const Rect probe = frame.width <= 0 || frame.height <= 0 ? Rect{frame.x, frame.y, 1, 1} : frame;
    for (const Rect& s : screens) {
        if (intersects(s, probe))
            return true;
    }
    return false;
}

Point ReadIniPosition(std::u16string_view stem, std::u16string_view section,
                      std::u16string_view prefix, const Rect& frame, Size primaryScreen,
                      const std::vector<Rect>& screens) {
    const std::u16string p(prefix);
    const int left = ReadIniInteger(stem, section, p + u"_left", frame.x);
    const int top = ReadIniInteger(stem, section, p + u"_top", frame.y);
    const Point placed = ClampIniPosition(Point{left, top}, primaryScreen);
    if (!IsOnAnyScreen(Rect{placed.x, placed.y, frame.width, frame.height}, screens))
        return frame.TopLeft();
    return placed;
}

void WriteIniPosition(std::u16string_view stem, std::u16string_view section,
                      std::u16string_view prefix, Point position) {
    const std::u16string p(prefix);
    WriteIniInteger(stem, section, p + u"_left", position.x);
    WriteIniInteger(stem, section, p + u"_top", position.y);
}

} // namespace kasorel
