#include "state/history.h"

#include "settings/file.h"
#include "settings/paths.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>

namespace kasorel {

namespace {

constexpr std::string_view kHeader = "# kasorel sent rows, version ";
constexpr std::size_t kKindIdLimit = 32;
constexpr std::size_t kBlockSize = 64 * 1024;
constexpr std::uint64_t kTagBits = 0xFFFFFFFF00000000ULL;
// How many rows ahead the table is fetched.
constexpr std::size_t kAhead = 8;

std::uint64_t hashOf(std::string_view kind, std::string_view row) {
    const std::uint64_t h = std::hash<std::string_view>{}(row);
    const std::uint64_t k = std::hash<std::string_view>{}(kind);
    return h ^ (k * 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2));
}

std::int32_t dayNumber(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}

// The first day not forgotten: the same day of the month, months earlier. The day is not
// clamped to the month's length, so 31 March gives "31 February", after every day of
// February, which is what months after that day means.
std::int32_t monthsBefore(LocalDate today, int months) {
    const int total = today.year * 12 + (today.month - 1) - months;
    if (total < 12)
        return INT32_MIN;
    return dayNumber(total / 12, total % 12 + 1, today.day);
}

// Between minDigits and maxDigits ASCII digits at s[at], read into value.
bool readDigits(std::string_view s, std::size_t& at, std::size_t minDigits, std::size_t maxDigits,
                std::uint64_t& value) {
    value = 0;
    std::size_t n = 0;
    while (at < s.size() && n < maxDigits && s[at] >= '0' && s[at] <= '9') {
        value = value * 10 + static_cast<std::uint64_t>(s[at] - '0');
        ++at;
        ++n;
    }
    return n >= minDigits && (at == s.size() || s[at] < '0' || s[at] > '9');
}

// A date written year first, the whole of text: four digits for the year, one or two for the
// month and the day, "/" or "-" between them. 0 for anything else.
std::int32_t dateOf(std::string_view text, std::size_t monthDigits) {
    const auto digit = [&text](std::size_t i) { return static_cast<unsigned>(text[i] - '0'); };
    // The common shape, yyyy/mm/dd or yyyy-mm-dd, read without the general reader.
    if (text.size() == 10 && (text[4] == '/' || text[4] == '-') && text[7] == text[4]) {
        for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
            if (digit(i) > 9)
                return 0;
        }
        const unsigned year = digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3);
        const unsigned month = digit(5) * 10 + digit(6);
        const unsigned day = digit(8) * 10 + digit(9);
        if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31)
            return 0;
        return dayNumber(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    }
    std::size_t at = 0;
    std::uint64_t year = 0;
    std::uint64_t month = 0;
    std::uint64_t day = 0;
    if (!readDigits(text, at, 4, 4, year) || at == text.size())
        return 0;
    const char separator = text[at++];
    if ((separator != '/' && separator != '-') || !readDigits(text, at, monthDigits, 2, month) ||
        at == text.size() || text[at++] != separator ||
        !readDigits(text, at, monthDigits, 2, day) || at != text.size())
        return 0;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > 31)
        return 0;
    return dayNumber(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

std::int32_t rowDateOf(std::string_view row) {
    // Most rows start with a date; the ones that start with no digit are told at once.
    if (row.empty() || row[0] < '0' || row[0] > '9')
        return 0;
    const bool tenWide = row.size() == 10 || (row.size() > 10 && row[10] == '\t');
    return dateOf(row.substr(0, tenWide ? 10 : row.find('\t')), 1);
}

// The day the file writes, exactly yyyy-mm-dd.
std::int32_t sentDateOf(std::string_view text) {
    return text.size() == 10 && text[4] == '-' ? dateOf(text, 2) : 0;
}

// Writes date as yyyy-mm-dd at out; the end of what was written.
char* writeDate(char* out, std::int32_t date) {
    const int year = date / 10000;
    const int month = date / 100 % 100;
    const int day = date % 100;
    for (const int piece : {year / 100, year % 100, -1, month, -1, day}) {
        if (piece < 0) {
            *out++ = '-';
        } else {
            *out++ = static_cast<char>('0' + piece / 10);
            *out++ = static_cast<char>('0' + piece % 10);
        }
    }
    return out;
}

char* writeText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// Writes s as UTF-8 the way ToUtf8 does (a lone surrogate as U+FFFD) at out, which has room
// for three bytes a code unit; the end of what was written.
char* writeUtf8(char* out, std::u16string_view s) {
    const auto put = [&out](char32_t c) {
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t u = s[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            put(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                (static_cast<char32_t>(s[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            put(0xFFFD);
        } else {
            put(u);
        }
    }
    return out;
}

// A conversion's rows as the file holds them: UTF-8, one after the other in one buffer rather
// than a string each, with their hashes for kind.
class EncodedRows {
public:
    EncodedRows(std::string_view kind, const std::vector<std::u16string_view>& rows) {
        std::size_t units = 0;
        for (const std::u16string_view row : rows)
            units += row.size();
        bytes_.resize(units * 3);
        char* const begin = bytes_.data();
        char* out = begin;
        ends_.reserve(rows.size());
        oneLine_.reserve(rows.size());
        for (const std::u16string_view row : rows) {
            out = writeUtf8(out, row);
            ends_.push_back(static_cast<std::size_t>(out - begin));
            oneLine_.push_back(std::none_of(row.begin(), row.end(),
                                            [](char16_t c) { return c == u'\r' || c == u'\n'; }));
        }
        bytes_.resize(static_cast<std::size_t>(out - begin));
        hashes_.reserve(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            hashes_.push_back(hashOf(kind, Row(i)));
    }
    std::string_view Row(std::size_t i) const {
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(start, ends_[i] - start);
    }
    std::uint64_t Hash(std::size_t i) const { return hashes_[i]; }
    // Whether row i holds no CR and no LF.
    bool OneLine(std::size_t i) const { return oneLine_[i]; }

private:
    std::string bytes_;
    std::vector<bool> oneLine_;
    std::vector<std::size_t> ends_;
    std::vector<std::uint64_t> hashes_;
};

// Whether s is UTF-8 throughout (no overlong form, no surrogate, nothing past U+10FFFF) and
// holds no CR. IsValidUtf8 decodes every character; this only checks, and takes ASCII eight
// bytes at a time, since it runs over the whole file at every read.
bool isRowText(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t highs = 0x8080808080808080ULL;
    while (p < end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t cr = word ^ (ones * '\r');
            if (((word | ((cr - ones) & ~cr)) & highs) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned c = *p;
        if (c < 0x80) {
            if (c == '\r')
                return false;
            ++p;
            continue;
        }
        std::size_t more = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : low;
            high = c == 0xED ? 0x9F : high;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : low;
            high = c == 0xF4 ? 0x8F : high;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) <= more || p[1] < low || p[1] > high)
            return false;
        for (std::size_t k = 2; k <= more; ++k) {
            if ((p[k] & 0xC0) != 0x80)
                return false;
        }
        p += more + 1;
    }
    return true;
}

bool isKindIdChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

struct Line {
    std::string_view kind;
    std::uint32_t count = 0;
    std::int32_t lastSent = 0;
    std::string_view row;
};

// One line of rows: kind, count, last day sent, row. False when it does not parse.
bool parseLine(std::string_view line, Line& out) {
    std::size_t kindEnd = 0;
    while (kindEnd < line.size() && kindEnd <= kKindIdLimit && isKindIdChar(line[kindEnd]))
        ++kindEnd;
    if (kindEnd == 0 || kindEnd > kKindIdLimit || kindEnd == line.size() || line[kindEnd] != '\t')
        return false;
    out.kind = line.substr(0, kindEnd);
    std::size_t at = kindEnd + 1;
    std::uint64_t count = 0;
    if (!readDigits(line, at, 1, 10, count) || count == 0 || count > UINT32_MAX ||
        at == line.size() || line[at] != '\t')
        return false;
    out.count = static_cast<std::uint32_t>(count);
    ++at;
    if (line.size() < at + 11 || line[at + 10] != '\t')
        return false;
    out.lastSent = sentDateOf(line.substr(at, 10));
    out.row = line.substr(at + 11);
    // A CR inside a row would not survive a round trip through a file read with CR LF.
    return out.lastSent != 0 && isRowText(out.row);
}

std::uint32_t saturatingAdd(std::uint32_t a, std::uint32_t b) {
    return a > UINT32_MAX - b ? UINT32_MAX : a + b;
}

} // namespace

std::uint32_t SentHistory::find(std::string_view kind, std::string_view row, std::uint64_t hash,
                                std::size_t& slot) const {
    const std::size_t mask = slots_.size() - 1;
    for (slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint64_t s = slots_[slot];
        if (s == 0)
            return kNone;
        if (((s ^ hash) & kTagBits) != 0)
            continue;
        const std::uint32_t n = static_cast<std::uint32_t>(s) - 1;
        const Entry& e = entries_[n];
        if (e.hash == hash && e.row == row && e.kind == kind)
            return n;
    }
}

std::uint32_t SentHistory::find(std::string_view kind, std::string_view row,
                                std::uint64_t hash) const {
    std::size_t slot = 0;
    return slots_.empty() ? kNone : find(kind, row, hash, slot);
}

void SentHistory::rehash(std::size_t slots) {
    slots_.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        std::size_t i = entries_[n].hash & mask;
        while (slots_[i] != 0)
            i = (i + 1) & mask;
        slots_[i] = (entries_[n].hash & kTagBits) | (n + 1);
    }
}

// At most half the slots are taken, so a probe always meets a free one soon.
void SentHistory::reserve(std::size_t rows) {
    if (rows > entries_.capacity())
        entries_.reserve(std::max(rows, entries_.capacity() * 2));
    std::size_t slots = slots_.empty() ? 16 : slots_.size();
    while (slots < rows * 2)
        slots *= 2;
    if (slots != slots_.size())
        rehash(slots);
}

void SentHistory::add(std::size_t slot, std::string_view kind, std::string_view row,
                      std::uint64_t hash, std::uint32_t count, std::int32_t lastSent) {
    entries_.push_back(Entry{kind, row, hash, count, lastSent, rowDateOf(row)});
    slots_[slot] = (hash & kTagBits) | entries_.size();
}

// The table is larger than the caches, and every probe would wait for memory; the slot of
// the row a few rows on is fetched while this one is looked up.
void SentHistory::prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
    __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#else
    (void)hash;
#endif
}

// Every entry into a table made afresh. A row there twice (two files pasted together) is one
// row sent that many times, last on the later day.
void SentHistory::indexEntries() {
    std::size_t slots = 16;
    while (slots < entries_.size() * 2)
        slots *= 2;
    slots_.assign(slots, 0);
    bool merged = false;
    for (std::size_t n = 0; n < entries_.size(); ++n) {
        if (n + kAhead < entries_.size())
            prefetch(entries_[n + kAhead].hash);
        Entry& e = entries_[n];
        std::size_t slot = 0;
        const std::uint32_t first = find(e.kind, e.row, e.hash, slot);
        if (first == kNone) {
            slots_[slot] = (e.hash & kTagBits) | (n + 1);
            continue;
        }
        entries_[first].count = saturatingAdd(entries_[first].count, e.count);
        entries_[first].lastSent = std::max(entries_[first].lastSent, e.lastSent);
        e.count = 0;
        merged = true;
    }
    if (merged) {
        std::erase_if(entries_, [](const Entry& e) { return e.count == 0; });
        rehash(slots);
    }
}

std::string_view SentHistory::keep(std::string_view bytes) {
    if (bytes.empty())
        return {};
    if (blocks_.empty() || blocks_.back().size - blocks_.back().used < bytes.size()) {
        const std::size_t size = std::max(kBlockSize, bytes.size());
        blocks_.push_back(Block{std::unique_ptr<char[]>(new char[size]), size, 0});
    }
    Block& block = blocks_.back();
    char* at = block.bytes.get() + block.used;
    std::memcpy(at, bytes.data(), bytes.size());
    block.used += bytes.size();
    return {at, bytes.size()};
}

std::vector<bool> SentHistory::SentBefore(std::string_view id,
                                          const std::vector<std::u16string_view>& rows) const {
    std::vector<bool> sent(rows.size(), false);
    if (entries_.empty())
        return sent;
    const EncodedRows encoded(id, rows);
    // How many occurrences of each stored row this call has matched so far.
    std::vector<std::uint32_t> matched(entries_.size(), 0);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + kAhead < rows.size())
            prefetch(encoded.Hash(i + kAhead));
        std::size_t slot = 0;
        const std::uint32_t n = find(id, encoded.Row(i), encoded.Hash(i), slot);
        if (n != kNone && matched[n] < entries_[n].count) {
            ++matched[n];
            sent[i] = true;
        }
    }
    return sent;
}

void SentHistory::Record(std::string_view id, const std::vector<std::u16string_view>& rows,
                         LocalDate sentOn) {
    // Any day the file can hold, so what is recorded always reads back.
    const std::int32_t day =
        dayNumber(std::clamp(sentOn.year, 1, 9999), std::clamp(sentOn.month, 1, 12),
                  std::clamp(sentOn.day, 1, 31));
    const EncodedRows encoded(id, rows);
    reserve(entries_.size() + rows.size());
    // The caller's id may not outlive this call; the entries keep a copy of their own.
    std::string_view kept;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + kAhead < rows.size())
            prefetch(encoded.Hash(i + kAhead));
        if (!encoded.OneLine(i))
            continue;
        const std::string_view row = encoded.Row(i);
        const std::uint64_t hash = encoded.Hash(i);
        std::size_t slot = 0;
        const std::uint32_t n = find(id, row, hash, slot);
        if (n == kNone) {
            if (kept.empty())
                kept = keep(id);
            add(slot, kept, keep(row), hash, 1, day);
        } else {
            entries_[n].count = saturatingAdd(entries_[n].count, 1);
            entries_[n].lastSent = day;
        }
    }
}

std::uint32_t SentHistory::Count(std::string_view id, std::u16string_view row) const {
    const EncodedRows encoded(id, {row});
    const std::uint32_t n = find(id, encoded.Row(0), encoded.Hash(0));
    return n == kNone ? 0 : entries_[n].count;
}

void SentHistory::Clear() {
    entries_.clear();
    slots_.clear();
    file_.reset();
    blocks_.clear();
}

bool operator==(const SentHistory& a, const SentHistory& b) {
    if (a.entries_.size() != b.entries_.size())
        return false;
    return std::all_of(a.entries_.begin(), a.entries_.end(), [&b](const SentHistory::Entry& e) {
        const std::uint32_t n = b.find(e.kind, e.row, e.hash);
        return n != SentHistory::kNone && b.entries_[n].count == e.count &&
               b.entries_[n].lastSent == e.lastSent;
    });
}

std::vector<std::u16string_view> SplitRows(std::u16string_view rowsText) {
    std::vector<std::u16string_view> rows;
    std::size_t start = 0;
    while (start < rowsText.size()) {
        const std::size_t end = rowsText.find(u"\r\n", start);
        if (end == std::u16string_view::npos) {
            rows.push_back(rowsText.substr(start));
            break;
        }
        rows.push_back(rowsText.substr(start, end - start));
        start = end + 2;
    }
    return rows;
}

SentHistory ParseHistory(std::string bytes, StateProblem& problem) {
    problem = StateProblem::None;
    SentHistory history;
    history.file_ = std::make_unique<std::string>(std::move(bytes));
    const std::string_view text = *history.file_;
    if (text.empty())
        return history;
    // No line of a row is shorter than 16 bytes: room enough without counting the lines first,
    // and the pages never written are never touched.
    history.entries_.reserve(text.size() / 16 + 1);
    Line parsed;
    problem = ReadStateLines(text, kHeader, kHistoryVersion, [&](std::string_view line) {
        if (!parseLine(line, parsed))
            return false;
        history.entries_.push_back(SentHistory::Entry{parsed.kind, parsed.row,
                                                      hashOf(parsed.kind, parsed.row), parsed.count,
                                                      parsed.lastSent, rowDateOf(parsed.row)});
        return true;
    });
    if (problem == StateProblem::Newer) {
        history.Clear();
        history.mayReplaceFile_ = false;
        return history;
    }
    history.indexEntries();
    return history;
}

std::string SerialiseHistory(const SentHistory& history, LocalDate today, std::size_t maxRows) {
    const std::vector<SentHistory::Entry>& entries = history.entries_;
    const auto age = [&entries](std::uint32_t n) {
        return entries[n].rowDate != 0 ? entries[n].rowDate : entries[n].lastSent;
    };
    const std::int32_t cutoff = monthsBefore(today, kHistoryMonths);
    std::vector<std::uint32_t> kept;
    kept.reserve(entries.size());
    for (std::uint32_t n = 0; n < entries.size(); ++n) {
        if (age(n) >= cutoff)
            kept.push_back(n);
    }
    if (kept.size() > maxRows) {
        // The newest rows stay; of rows of one day, the ones recorded last.
        const auto newer = [&age](std::uint32_t a, std::uint32_t b) {
            return age(a) != age(b) ? age(a) > age(b) : a > b;
        };
        std::nth_element(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(maxRows),
                         kept.end(), newer);
        kept.resize(maxRows);
        std::sort(kept.begin(), kept.end());
    }

    // One buffer, room for the longest count on every line, written through a pointer.
    const std::string header = StateFileHeader(kHeader, kHistoryVersion);
    std::size_t size = header.size();
    for (const std::uint32_t n : kept)
        size += entries[n].kind.size() + entries[n].row.size() + 24;
    std::string out(size, '\0');
    char* at = writeText(out.data(), header);
    for (const std::uint32_t n : kept) {
        const SentHistory::Entry& e = entries[n];
        at = writeText(at, e.kind);
        *at++ = '\t';
        at = std::to_chars(at, at + 10, e.count).ptr;
        *at++ = '\t';
        at = writeDate(at, e.lastSent);
        *at++ = '\t';
        at = writeText(at, e.row);
        *at++ = '\n';
    }
    out.resize(static_cast<std::size_t>(at - out.data()));
    return out;
}

LoadedHistory ReadHistoryFile(std::u16string_view path) {
    LoadedHistory loaded;
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        if (PathExists(path)) {
            loaded.problem = StateProblem::Unreadable;
            loaded.history.mayReplaceFile_ = false;
        }
        return loaded;
    }
    loaded.history = ParseHistory(std::move(*bytes), loaded.problem);
    return loaded;
}

bool WriteHistoryFile(std::u16string_view path, const SentHistory& history, LocalDate today) {
    if (!history.MayReplaceFile())
        return false;
    return ReplaceWholeFile(path, SerialiseHistory(history, today)) == Replaced::Written;
}

std::u16string HistoryFilePath() {
    return JoinPath(UserStateFolder(), u"kasorel.history");
}

} // namespace kasorel
