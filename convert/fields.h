#pragma once

// The fields of a statement line as Japanese statement pages write them: dates, amounts and
// the text around them. A line is cut into cells at tabs, at full-width blanks and at runs of
// two or more blanks; a cell may begin with a label ("ご利用先：") and hold a date at its
// start and an amount at its end, each set apart by a blank. Full-width digits and signs read
// as their ASCII forms everywhere.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

enum class TokenKind : std::uint8_t {
    Label,  // a cell's leading words up to "：" or ":", colon included
    Date,   // a date, with the weekday and time that follow it
    Amount, // a sum of money, a refund sign included
    Text,   // anything else
};

struct Token {
    TokenKind kind = TokenKind::Text;
    // Text: nothing but a time ("12:34") or a weekday ("(水)"), which describes no entry.
    bool incidental = false;
    // Amount: written with "¥", "円", a thousands separator or a sign, as money is; a bare
    // number may be a count.
    bool marked = false;
    // Amount: a refund ("-", "−", "▲", "△").
    bool negative = false;
    std::uint32_t begin = 0; // code units of the line
    std::uint32_t end = 0;
    // Date: the year (0 when the page gives none), the month and the day.
    std::int16_t year = 0;
    std::int8_t month = 0;
    std::int8_t day = 0;
};

// Appends the tokens of line to tokens, in order. Empty cells give none.
void TokeniseLine(std::u16string_view line, std::vector<Token>& tokens);

// Whether line holds nothing but blanks (half- or full-width) and tabs.
bool IsBlankLine(std::u16string_view line);

// The amount token's text as a row writes it: ASCII digits, "," where the page put a
// thousands separator, a leading "-" for a refund, and no "¥" or "円".
std::u16string AmountText(std::u16string_view line, const Token& amount);

// Whether the whole of text is a date with its year in one of the forms of a statement line
// (2024/05/01, 2024/5/1, 2024-05-01, 2024年5月1日, 令和6年5月1日, R6.5.1), a weekday and a time
// after it allowed; the date is then in year, month and day.
bool ReadWholeDate(std::u16string_view text, int& year, int& month, int& day);

// The year and month a statement's heading names ("2024年6月分", "2024年06月27日お支払い",
// "令和6年12月のご利用"), the first such in line: false when it names none.
bool ReadHeadingMonth(std::u16string_view line, int& year, int& month);

// c with a full-width ASCII form (U+FF01 to U+FF5E) as its ASCII letter; other code units
// as they are.
constexpr char16_t NarrowForm(char16_t c) {
    return c >= 0xFF01 && c <= 0xFF5E ? static_cast<char16_t>(c - 0xFEE0) : c;
}

// Whether c separates the words of a line: a blank, a no-break space or a full-width blank.
constexpr bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\u00A0' || c == u'\u3000';
}

// Whether a date may begin with c, a character in its narrow form: a digit or an era's mark
// (令, 平, R or H).
constexpr bool MayBeginDate(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'令' || c == u'平' || c == u'R' || c == u'H';
}

// Whether an amount may begin with c, a character in its narrow form: a digit, a refund sign
// (-, −, ▲, △) or a yen sign (¥, ￥, \).
constexpr bool MayBeginAmount(char16_t c) {
    return (c >= u'0' && c <= u'9') || c == u'-' || c == u'\u2212' || c == u'▲' || c == u'△' ||
           c == u'¥' || c == u'￥' || c == u'\\';
}

// s without the blanks (IsBlank) at its ends.
constexpr std::u16string_view TrimBlanks(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace kasorel
