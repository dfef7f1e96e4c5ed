#include "convert/fields.h"

#include <array>

namespace kasorel {

namespace {

constexpr std::size_t kLabelLimit = 20;
// A number without any mark of money is taken for one only up to this many digits: longer
// ones are card, order and telephone numbers.
constexpr int kBareDigitLimit = 7;
constexpr int kDigitLimit = 15;

// A line with its full-width forms narrowed, and a 0 after it.
std::u16string narrowed(std::u16string_view line) {
    std::u16string text(line.size() + 1, u'\0');
    for (std::size_t i = 0; i < line.size(); ++i)
        text[i] = NarrowForm(line[i]);
    return text;
}

// The text from begin to end of a narrowed line, where a 0 stands at end: every reading walks
// forward from a character it has seen, so it stops at the 0, and no read needs a bound.
class Span {
public:
    Span(const char16_t* text, std::size_t begin, std::size_t end)
        : text_(text), begin_(begin), end_(end) {}
    std::size_t begin() const { return begin_; }
    std::size_t end() const { return end_; }
    char16_t at(std::size_t i) const { return text_[i]; }
    bool digit(std::size_t i) const { return text_[i] >= u'0' && text_[i] <= u'9'; }
    bool blank(std::size_t i) const { return IsBlank(text_[i]); }
    // Reads between least and most digits at i, not followed by another digit.
    bool number(std::size_t& i, int least, int most, int& value) const {
        std::size_t k = i;
        value = 0;
        while (digit(k) && static_cast<int>(k - i) < most)
            value = value * 10 + (at(k++) - u'0');
        if (static_cast<int>(k - i) < least || digit(k))
            return false;
        i = k;
        return true;
    }
    std::size_t skipBlanks(std::size_t i) const {
        while (blank(i))
            ++i;
        return i;
    }

private:
    const char16_t* text_;
    std::size_t begin_;
    std::size_t end_;
};

bool isDateSeparator(char16_t c) {
    return c == u'/' || c == u'-' || c == u'.';
}

int daysIn(int year, int month) {
    static constexpr std::array<int, 12> days{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && year != 0)
        return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    return days[static_cast<std::size_t>(month - 1)];
}

struct Day {
    int year = 0;
    int month = 0;
    int day = 0;
    bool valid() const {
        return (year == 0 || (year >= 1900 && year <= 2999)) && month >= 1 && month <= 12 &&
               day >= 1 && day <= daysIn(year, month);
    }
};

// "令和6", "平成31", "令和元" before "年": the year of the era, counted from 1.
bool eraYear(const Span& s, std::size_t& i, int& year) {
    int base = 0;
    if (s.at(i) == u'令' && s.at(i + 1) == u'和')
        base = 2018;
    else if (s.at(i) == u'平' && s.at(i + 1) == u'成')
        base = 1988;
    else
        return false;
    std::size_t k = i + 2;
    int n = 0;
    if (s.at(k) == u'元') {
        n = 1;
        ++k;
    } else if (!s.number(k, 1, 2, n) || n == 0) {
        return false;
    }
    year = base + n;
    i = k;
    return true;
}

// "5月1日" at i, the year already read.
bool kanjiMonthDay(const Span& s, std::size_t& i, Day& d) {
    std::size_t k = i;
    if (!s.number(k, 1, 2, d.month) || s.at(k++) != u'月' || !s.number(k, 1, 2, d.day) ||
        s.at(k++) != u'日')
        return false;
    i = k;
    return true;
}

// A date at i in any of the page's forms; i ends after it.
bool readBareDate(const Span& s, std::size_t& i, Day& d) {
    std::size_t k = i;
    if (eraYear(s, k, d.year)) {
        if (s.at(k++) != u'年' || !kanjiMonthDay(s, k, d))
            return false;
        i = k;
        return true;
    }
    const char16_t era = s.at(k);
    if ((era == u'R' || era == u'H') && s.digit(k + 1)) {
        int n = 0;
        ++k;
        if (!s.number(k, 1, 2, n) || n == 0 || !isDateSeparator(s.at(k)))
            return false;
        const char16_t sep = s.at(k++);
        if (!s.number(k, 1, 2, d.month) || s.at(k++) != sep || !s.number(k, 1, 2, d.day))
            return false;
        d.year = (era == u'R' ? 2018 : 1988) + n;
        i = k;
        return true;
    }
    const std::size_t start = k;
    int first = 0;
    if (!s.number(k, 1, 4, first))
        return false;
    const std::size_t width = k - start;
    if (width == 3)
        return false;
    if (s.at(k) == u'年') {
        ++k;
        d.year = first;
        if (width != 4 || !kanjiMonthDay(s, k, d))
            return false;
        i = k;
        return true;
    }
    if (s.at(k) == u'月') {
        k = start;
        if (width > 2 || !kanjiMonthDay(s, k, d))
            return false;
        i = k;
        return true;
    }
    if (!isDateSeparator(s.at(k)))
        return false;
    const char16_t sep = s.at(k++);
    int second = 0;
    if (!s.number(k, 1, 2, second))
        return false;
    if (s.at(k) == sep && s.digit(k + 1) && width != 1) {
        ++k;
        if (!s.number(k, 1, 2, d.day))
            return false;
        d.year = width == 4 ? first : 2000 + first;
        d.month = second;
        i = k;
        return true;
    }
    // Without a year only "05/01" counts: "5-1" and "5.1" are too often something else.
    if (width > 2 || sep != u'/')
        return false;
    d.month = first;
    d.day = second;
    i = k;
    return true;
}

// "(水)", "（水）", "(Wed)", "(月・祝)" at i.
bool readWeekday(const Span& s, std::size_t& i) {
    if (s.at(i) != u'(')
        return false;
    static constexpr std::array<std::u16string_view, 7> english{u"sun", u"mon", u"tue", u"wed",
                                                                u"thu", u"fri", u"sat"};
    std::size_t k = i + 1;
    const auto lower = [&](std::size_t at) {
        const char16_t c = s.at(at);
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    };
    bool named = false;
    for (const std::u16string_view name : english) {
        if (lower(k) == name[0] && lower(k + 1) == name[1] && lower(k + 2) == name[2]) {
            k += 3;
            if (s.at(k) == u'.')
                ++k;
            named = true;
            break;
        }
    }
    if (!named) {
        constexpr std::u16string_view kanji = u"日月火水木金土祝・";
        const std::size_t from = k;
        while (k - from < 3 && kanji.find(s.at(k)) != std::u16string_view::npos)
            ++k;
        named = k > from;
    }
    if (!named || s.at(k) != u')')
        return false;
    i = k + 1;
    return true;
}

// "12:34", "12:34:56", "12時34分", "12時34分56秒" at i.
bool readTime(const Span& s, std::size_t& i) {
    std::size_t k = i;
    int n = 0;
    if (!s.number(k, 1, 2, n) || n > 24)
        return false;
    if (s.at(k) == u':') {
        ++k;
        if (!s.number(k, 2, 2, n) || n > 59)
            return false;
        if (s.at(k) == u':' && s.digit(k + 1)) {
            ++k;
            if (!s.number(k, 2, 2, n) || n > 59)
                return false;
        }
    } else if (s.at(k) == u'時') {
        ++k;
        if (!s.number(k, 1, 2, n) || n > 59 || s.at(k++) != u'分')
            return false;
        std::size_t seconds = k;
        if (s.number(seconds, 1, 2, n) && s.at(seconds) == u'秒')
            k = seconds + 1;
    } else {
        return false;
    }
    i = k;
    return true;
}

// A date at i with the weekday and time that follow it, ending where a blank or the span's
// end follows; i ends after it.
bool readDate(const Span& s, std::size_t& i, Day& d) {
    std::size_t k = i;
    if (!readBareDate(s, k, d) || !d.valid())
        return false;
    std::size_t at = s.skipBlanks(k);
    if (readWeekday(s, at))
        k = at;
    at = s.skipBlanks(k);
    if (readTime(s, at))
        k = at;
    if (k != s.end() && !s.blank(k))
        return false;
    i = k;
    return true;
}

bool isRefundSign(char16_t c) {
    return c == u'-' || c == u'\u2212' || c == u'▲' || c == u'△';
}

bool isYenSign(char16_t c) {
    return c == u'¥' || c == u'￥' || c == u'\\';
}

// Whether all of [from, to) is an amount; marked and negative tell how it was written.
bool readAmount(const Span& s, std::size_t from, std::size_t to, bool& marked, bool& negative) {
    std::size_t k = from;
    marked = negative = false;
    const auto sign = [&] {
        if (!negative && isRefundSign(s.at(k))) {
            negative = marked = true;
            ++k;
        }
    };
    sign();
    if (isYenSign(s.at(k))) {
        marked = true;
        ++k;
    }
    sign();
    const std::size_t first = k;
    while (s.digit(k) && k < to)
        ++k;
    int digits = static_cast<int>(k - first);
    if (digits == 0)
        return false;
    bool grouped = false;
    while (k < to && s.at(k) == u',' && s.digit(k + 1) && s.digit(k + 2) && s.digit(k + 3) &&
           !s.digit(k + 4)) {
        if (!grouped && digits > 3)
            return false;
        grouped = true;
        k += 4;
        digits += 3;
    }
    if (digits > kDigitLimit)
        return false;
    marked = marked || grouped;
    if (k < to && s.blank(k) && s.at(k + 1) == u'円')
        ++k;
    if (k < to && s.at(k) == u'円') {
        marked = true;
        ++k;
    }
    return k == to && (marked || digits <= kBareDigitLimit);
}

// Whether [from, to) is nothing but a time or a weekday.
bool isIncidental(const Span& s, std::size_t from, std::size_t to) {
    std::size_t k = from;
    if (!s.digit(k) && s.at(k) != u'(')
        return false;
    return (readTime(s, k) || readWeekday(s, k)) && k == to;
}

void addToken(std::vector<Token>& tokens, TokenKind kind, std::size_t begin, std::size_t end) {
    Token t;
    t.kind = kind;
    t.begin = static_cast<std::uint32_t>(begin);
    t.end = static_cast<std::uint32_t>(end);
    tokens.push_back(t);
}

void addText(std::vector<Token>& tokens, const Span& s, std::size_t begin, std::size_t end) {
    while (end > begin && s.blank(end - 1))
        --end;
    begin = s.skipBlanks(begin);
    if (begin >= end)
        return;
    addToken(tokens, TokenKind::Text, begin, end);
    tokens.back().incidental = isIncidental(s, begin, end);
}

// The tokens of one cell [begin, end) of a narrowed line, trimmed, a 0 at its end.
void tokeniseCell(const char16_t* line, std::size_t begin, std::size_t end,
                  std::vector<Token>& tokens) {
    const Span s(line, begin, end);
    // A label: a few words without digits and blanks, then a colon ("ご利用先：").
    for (std::size_t k = begin; k < end && k - begin <= kLabelLimit; ++k) {
        if (s.digit(k) || s.blank(k))
            break;
        if (s.at(k) == u':' && k > begin && s.at(k + 1) != u'/') {
            addToken(tokens, TokenKind::Label, begin, k + 1);
            begin = s.skipBlanks(k + 1);
            break;
        }
    }
    if (begin >= end)
        return;
    const Span cell(line, begin, end);
    Day d;
    std::size_t k = begin;
    // Most cells are words, which are then never read as dates or sums.
    if (MayBeginDate(cell.at(k)) && readDate(cell, k, d)) {
        addToken(tokens, TokenKind::Date, begin, k);
        tokens.back().year = static_cast<std::int16_t>(d.year);
        tokens.back().month = static_cast<std::int8_t>(d.month);
        tokens.back().day = static_cast<std::int8_t>(d.day);
        begin = cell.skipBlanks(k);
        if (begin >= end)
            return;
    }
    bool marked = false;
    bool negative = false;
    std::size_t amountAt = end;
    if (MayBeginAmount(cell.at(begin)) && readAmount(cell, begin, end, marked, negative)) {
        amountAt = begin;
    } else if (cell.digit(end - 1) || cell.at(end - 1) == u'円') {
        // At the end of a cell, after a blank, only a sum written as money counts: "ENEOS 1234"
        // is a shop, "合計 1,200円" a total. "1,200 円" has a blank of its own.
        int blanksSeen = 0;
        for (std::size_t p = end; p > begin && blanksSeen < 2; --p) {
            if (!cell.blank(p - 1))
                continue;
            ++blanksSeen;
            if (readAmount(cell, p, end, marked, negative) && marked) {
                amountAt = p;
                break;
            }
        }
    }
    addText(tokens, cell, begin, amountAt);
    if (amountAt < end) {
        addToken(tokens, TokenKind::Amount, amountAt, end);
        tokens.back().marked = marked;
        tokens.back().negative = negative;
    }
}

} // namespace

void TokeniseLine(std::u16string_view line, std::vector<Token>& tokens) {
    // Kept from line to line: a text is cut a line at a time.
    thread_local std::u16string text;
    text.assign(line.size() + 1, u'\0');
    for (std::size_t i = 0; i < line.size(); ++i)
        text[i] = NarrowForm(line[i]);
    std::size_t cell = 0;
    std::size_t i = 0;
    const auto close = [&](std::size_t end, std::size_t next) {
        std::size_t b = cell;
        while (b < end && IsBlank(line[b]))
            ++b;
        std::size_t e = end;
        while (e > b && IsBlank(line[e - 1]))
            --e;
        if (b < e) {
            const char16_t after = text[e];
            text[e] = u'\0';
            tokeniseCell(text.data(), b, e, tokens);
            text[e] = after;
        }
        cell = next;
    };
    while (i < line.size()) {
        const char16_t c = line[i];
        if (c == u'\t' || c == u'\u3000') {
            close(i, i + 1);
            ++i;
        } else if (IsBlank(c) && i + 1 < line.size() && IsBlank(line[i + 1])) {
            std::size_t j = i;
            while (j < line.size() && IsBlank(line[j]))
                ++j;
            close(i, j);
            i = j;
        } else {
            ++i;
        }
    }
    close(line.size(), line.size());
}

bool IsBlankLine(std::u16string_view line) {
    for (const char16_t c : line) {
        if (!IsBlank(c) && c != u'\t')
            return false;
    }
    return true;
}

std::u16string AmountText(std::u16string_view line, const Token& amount) {
    std::u16string text;
    text.reserve(amount.end - amount.begin + 1);
    if (amount.negative)
        text += u'-';
    for (std::uint32_t i = amount.begin; i < amount.end; ++i) {
        const char16_t c = NarrowForm(line[i]);
        if ((c >= u'0' && c <= u'9') || c == u',')
            text += c;
    }
    return text;
}

bool ReadWholeDate(std::u16string_view text, int& year, int& month, int& day) {
    const std::u16string narrow = narrowed(text);
    const Span s(narrow.data(), 0, text.size());
    std::size_t k = 0;
    Day d;
    if (!readDate(s, k, d) || k != text.size() || d.year == 0)
        return false;
    year = d.year;
    month = d.month;
    day = d.day;
    return true;
}

bool ReadHeadingMonth(std::u16string_view line, int& year, int& month) {
    const std::u16string text = narrowed(line);
    const Span s(text.data(), 0, line.size());
    for (std::size_t at = line.find(u'年'); at != std::u16string_view::npos;
         at = line.find(u'年', at + 1)) {
        int y = 0;
        std::size_t k = at;
        while (k > 0 && s.digit(k - 1) && at - k < 4)
            --k;
        std::size_t from = k;
        if (at - k == 4) {
            if (from > 0 && s.digit(from - 1))
                continue;
            s.number(from, 4, 4, y);
        } else {
            // "令和6年", "令和12年", "令和元年": the era's name ends two to four units before.
            bool era = false;
            for (std::size_t back = 2; back <= 4 && back <= at && !era; ++back) {
                from = at - back;
                era = eraYear(s, from, y) && from == at;
            }
            if (!era)
                continue;
        }
        std::size_t m = at + 1;
        int mm = 0;
        if (y >= 1900 && y <= 2999 && s.number(m, 1, 2, mm) && s.at(m) == u'月' && mm >= 1 &&
            mm <= 12) {
            year = y;
            month = mm;
            return true;
        }
    }
    return false;
}

} // namespace kasorel
