#include "convert/shape.h"

#include "convert/primitives.h"
#include "convert/unicode.h"

#include <algorithm>
#include <array>

namespace kasorel {

namespace {

constexpr std::u16string_view kLineKey = u"Line";
constexpr std::array<std::pair<FieldType, std::u16string_view>, 3> kFieldNames{
    {{FieldType::Date, u"{date}"}, {FieldType::Amount, u"{amount}"}, {FieldType::Text, u"{text}"}}};
constexpr std::u16string_view kQuoteOpen = u"「";
constexpr std::u16string_view kQuoteClose = u"」";
// Lines before the first entry that may name the statement's card, bank or service.
constexpr std::size_t kHeadingLines = 10;
constexpr std::array<std::u16string_view, 16> kNameMarks{
    u"カード", u"Card", u"CARD", u"card", u"銀行",     u"Bank",  u"BANK",   u"ペイ",
    u"Pay",    u"PAY",  u"生協", u"証券", u"信用金庫", u"Suica", u"nanaco", u"WAON"};

std::u16string_view textOf(std::u16string_view line, const Token& t) {
    return line.substr(t.begin, t.end - t.begin);
}

const std::u16string* valueOf(const std::vector<RuleKey>& keys, std::u16string_view key) {
    for (const RuleKey& k : keys) {
        if (SameIgnoringCase(k.key, key))
            return &k.value;
    }
    return nullptr;
}

std::u16string lineKey(std::size_t n) {
    return std::u16string(kLineKey) + IntToStr(static_cast<std::int64_t>(n));
}

std::vector<ShapeItem> parseLine(std::u16string_view value, std::u16string_view key) {
    const std::u16string where = std::u16string(key) + u": ";
    std::vector<ShapeItem> items;
    std::size_t i = 0;
    while (true) {
        while (i < value.size() && IsBlank(value[i]))
            ++i;
        if (i == value.size())
            break;
        if (items.size() == static_cast<std::size_t>(kShapeItemLimit))
            throw EShapeRules(where + u"項目は 1 行に " + IntToStr(kShapeItemLimit) + u" までです");
        ShapeItem item;
        if (value.substr(i).starts_with(kQuoteOpen)) {
            const std::size_t close = value.find(kQuoteClose, i + 1);
            if (close == std::u16string_view::npos)
                throw EShapeRules(where + u"「 が 」 で閉じていません");
            item.type = FieldType::Literal;
            item.literal = value.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            std::size_t end = i;
            while (end < value.size() && !IsBlank(value[end]))
                ++end;
            const std::u16string_view word = value.substr(i, end - i);
            i = end;
            if (word.starts_with(u'{')) {
                const auto named =
                    std::find_if(kFieldNames.begin(), kFieldNames.end(),
                                 [&](const auto& f) { return SameIgnoringCase(f.second, word); });
                if (named == kFieldNames.end())
                    throw EShapeRules(where + std::u16string(word) +
                                      u" は使えない項目です (使えるのは {date} {amount} {text})");
                item.type = named->first;
            } else {
                item.type = FieldType::Literal;
                item.literal = word;
            }
        }
        if (item.type == FieldType::Literal &&
            (item.literal.empty() || item.literal.size() > kLiteralLimit))
            throw EShapeRules(where + u"語は 1 から " + IntToStr(kLiteralLimit) +
                              u" 文字にして下さい");
        items.push_back(std::move(item));
    }
    if (items.empty())
        throw EShapeRules(where + u"項目がありません");
    return items;
}

int countOf(const Shape& shape, FieldType type) {
    int n = 0;
    for (const auto& line : shape.lines)
        n += static_cast<int>(std::count_if(line.begin(), line.end(),
                                            [type](const ShapeItem& i) { return i.type == type; }));
    return n;
}

// A key's number, from 0 up to most; EShapeRules naming the key otherwise.
int pickOf(const std::vector<RuleKey>& keys, std::u16string_view key, int fallback, int least,
           int most, std::u16string_view field) {
    const std::u16string* value = valueOf(keys, key);
    if (!value)
        return fallback;
    const std::u16string_view v = TrimBlanks(*value);
    int n = 0;
    const bool digits =
        !v.empty() && v.size() <= 3 &&
        std::all_of(v.begin(), v.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
    const std::u16string named = std::u16string(key) + u"=" + std::u16string(v);
    if (!digits || !TryStrToInt(v, n))
        throw EShapeRules(named + u" は数ではありません");
    if (n < least || n > most)
        throw EShapeRules(named + u": " + std::u16string(field) + u"の項目は " + IntToStr(most) +
                          u" つです");
    return n;
}

std::u16string writeItem(const ShapeItem& item) {
    for (const auto& [type, name] : kFieldNames) {
        if (item.type == type)
            return std::u16string(name);
    }
    const std::u16string& w = item.literal;
    const bool quote = w.starts_with(u'{') || w.starts_with(kQuoteOpen) ||
                       std::any_of(w.begin(), w.end(), IsBlank);
    return quote ? std::u16string(kQuoteOpen) + w + std::u16string(kQuoteClose) : w;
}

// The tokens each item of a line took: [first, last).
struct Taken {
    std::uint16_t first = 0;
    std::uint16_t last = 0;
};

bool matchLine(const std::vector<ShapeItem>& items, std::u16string_view line,
               StatementLines::Tokens tokens, Taken* taken) {
    const std::size_t n = tokens.count;
    std::size_t t = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (t >= n)
            return false;
        const Token& token = tokens.first[t];
        const ShapeItem& item = items[i];
        std::size_t end = t + 1;
        switch (item.type) {
        case FieldType::Date:
            if (token.kind != TokenKind::Date)
                return false;
            break;
        case FieldType::Amount:
            if (token.kind != TokenKind::Amount)
                return false;
            break;
        case FieldType::Literal:
            if ((token.kind != TokenKind::Text && token.kind != TokenKind::Label) ||
                textOf(line, token) != item.literal)
                return false;
            break;
        case FieldType::Text: {
            if (token.kind != TokenKind::Text)
                return false;
            const ShapeItem* next = i + 1 < items.size() ? &items[i + 1] : nullptr;
            if (next && next->type == FieldType::Text)
                break;
            while (end < n && tokens.first[end].kind == TokenKind::Text &&
                   !(next && next->type == FieldType::Literal &&
                     textOf(line, tokens.first[end]) == next->literal))
                ++end;
            break;
        }
        }
        taken[i] = Taken{static_cast<std::uint16_t>(t), static_cast<std::uint16_t>(end)};
        t = end;
    }
    return t == n;
}

// Whether line, blanks and tabs aside, begins with literal: a cheap look, so that most lines
// are never cut into tokens.
bool beginsWith(std::u16string_view literal, std::u16string_view line) {
    std::size_t i = 0;
    while (i < line.size() && (IsBlank(line[i]) || line[i] == u'\t'))
        ++i;
    return line.substr(i).starts_with(literal);
}

struct Place {
    int line = -1;
    int item = -1;
};

// Where the n-th field of type stands (from 1); line -1 for none.
Place placeOf(const Shape& shape, FieldType type, int n) {
    for (std::size_t l = 0; l < shape.lines.size(); ++l) {
        for (std::size_t i = 0; i < shape.lines[l].size(); ++i) {
            if (shape.lines[l][i].type == type && --n == 0)
                return Place{static_cast<int>(l), static_cast<int>(i)};
        }
    }
    return Place{};
}

bool hasDigit(std::u16string_view s) {
    return std::any_of(s.begin(), s.end(), [](char16_t c) {
        const char16_t n = NarrowForm(c);
        return n >= u'0' && n <= u'9';
    });
}

void appendPadded(std::u16string& out, int value, int width) {
    std::u16string digits = IntToStr(value);
    out.append(static_cast<std::size_t>(std::max(0, width - static_cast<int>(digits.size()))),
               u'0');
    out += digits;
}

// A word of the heading that names the card, bank or service ("【イオンカード】",
// "ご利用明細（Suica）"): the words apart by blanks and brackets.
std::u16string nameIn(std::u16string_view line) {
    constexpr std::u16string_view apart = u"【】「」『』()（）[]［］<>＜＞《》\t \u00A0\u3000";
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && apart.find(line[i]) != std::u16string_view::npos)
            ++i;
        std::size_t end = i;
        while (end < line.size() && apart.find(line[end]) == std::u16string_view::npos)
            ++end;
        const std::u16string_view word = line.substr(i, end - i);
        i = end;
        const bool named = std::any_of(kNameMarks.begin(), kNameMarks.end(), [&](auto mark) {
            return word.find(mark) != std::u16string_view::npos;
        });
        if (named && word.size() >= 2 && word.size() <= 30)
            return std::u16string(word);
    }
    return {};
}

} // namespace

Shape ParseShapeRules(const std::vector<RuleKey>& keys) {
    Shape shape;
    for (std::size_t n = 1;; ++n) {
        const std::u16string key = lineKey(n);
        const std::u16string* value = valueOf(keys, key);
        if (!value)
            break;
        if (n > static_cast<std::size_t>(kShapeLineLimit))
            throw EShapeRules(key + u": 行は " + IntToStr(kShapeLineLimit) + u" つまでです");
        shape.lines.push_back(parseLine(*value, key));
    }
    if (shape.lines.empty())
        throw EShapeRules(u"Line1 がありません");
    // A line after a gap would be silently left out of every entry.
    for (const RuleKey& k : keys) {
        const std::u16string_view name = k.key;
        if (name.size() > kLineKey.size() &&
            SameIgnoringCase(name.substr(0, kLineKey.size()), kLineKey)) {
            int n = 0;
            const std::u16string_view number = name.substr(kLineKey.size());
            if (TryStrToInt(number, n) && n > static_cast<int>(shape.lines.size()) &&
                std::all_of(number.begin(), number.end(),
                            [](char16_t c) { return c >= u'0' && c <= u'9'; }))
                throw EShapeRules(lineKey(shape.lines.size() + 1) + u" がありません");
        }
    }
    const int dates = countOf(shape, FieldType::Date);
    const int amounts = countOf(shape, FieldType::Amount);
    const int texts = countOf(shape, FieldType::Text);
    if (dates == 0)
        throw EShapeRules(u"日付の項目 {date} がありません");
    if (amounts == 0)
        throw EShapeRules(u"金額の項目 {amount} がありません");
    shape.date = pickOf(keys, u"Date", 1, 1, dates, u"日付");
    shape.description = pickOf(keys, u"Description", texts > 0 ? 1 : 0, 0, texts, u"テキスト");
    shape.amount = pickOf(keys, u"Amount", 1, 1, amounts, u"金額");
    if (const std::u16string* remark = valueOf(keys, u"Remark")) {
        // A tab typed into the remark would split it into fields of its own and shift every
        // column after the row's amount.
        std::u16string text = *remark;
        std::replace_if(
            text.begin(), text.end(), [](char16_t c) { return c < u' '; }, u' ');
        shape.remark = TrimBlanks(text);
    }
    return shape;
}

std::vector<RuleKey> ShapeRules(const Shape& shape) {
    std::vector<RuleKey> keys;
    for (std::size_t n = 0; n < shape.lines.size(); ++n) {
        std::u16string value;
        for (const ShapeItem& item : shape.lines[n]) {
            if (!value.empty())
                value += u' ';
            value += writeItem(item);
        }
        keys.push_back({lineKey(n + 1), std::move(value)});
    }
    keys.push_back({u"Date", IntToStr(shape.date)});
    keys.push_back({u"Description", IntToStr(shape.description)});
    keys.push_back({u"Amount", IntToStr(shape.amount)});
    if (!shape.remark.empty())
        keys.push_back({u"Remark", shape.remark});
    return keys;
}

StatementLines::StatementLines(const TextArea& memo) : memo_(memo) {
    const int n = memo.Count();
    start_.assign(static_cast<std::size_t>(n), -1);
    count_.assign(static_cast<std::size_t>(n), 0);
    filled_.reserve(static_cast<std::size_t>(n));
    traits_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::u16string& line = memo.Line(i);
        std::uint8_t traits = 0;
        bool blank = true;
        for (const char16_t c : line) {
            if (!blank && (traits & (HoldsDigit | HoldsDateMark)) == (HoldsDigit | HoldsDateMark))
                break;
            const char16_t narrow = NarrowForm(c);
            const bool digit = narrow >= u'0' && narrow <= u'9';
            if (blank && !IsBlank(c) && c != u'\t') {
                blank = false;
                if (digit)
                    traits |= BeginsWithDigit;
                else if (MayBeginDate(narrow))
                    traits |= BeginsWithEra;
                else if (MayBeginAmount(narrow))
                    traits |= BeginsWithSign;
            }
            if (digit)
                traits |= HoldsDigit;
            else if (narrow == u'/' || narrow == u'-' || narrow == u'.' || c == u'年' || c == u'月')
                traits |= HoldsDateMark;
        }
        if (!blank) {
            filled_.push_back(i);
            traits_.push_back(traits);
        }
    }
}

StatementLines::Tokens StatementLines::TokensOf(int line) {
    const auto i = static_cast<std::size_t>(line);
    if (start_[i] < 0) {
        start_[i] = static_cast<std::int32_t>(pool_.size());
        TokeniseLine(memo_.Line(line), pool_);
        // A line of more cells than any shape has fits no shape; only that many are kept.
        const std::size_t cut = static_cast<std::size_t>(start_[i]) + kShapeItemLimit + 1;
        if (pool_.size() > cut)
            pool_.resize(cut);
        count_[i] = static_cast<std::uint16_t>(pool_.size() - static_cast<std::size_t>(start_[i]));
    }
    return Tokens{pool_.data() + start_[i], count_[i]};
}

std::vector<int> FindEntries(const Shape& shape, StatementLines& lines,
                             std::vector<std::uint8_t>* taken) {
    std::vector<int> found;
    const std::vector<int>& filled = lines.Filled();
    const std::size_t height = shape.lines.size();
    if (height == 0)
        return found;
    // What each line of an entry must show at a glance; most lines fail this and are never
    // cut into tokens.
    std::array<std::uint8_t, kShapeLineLimit> needs{};
    std::array<bool, kShapeLineLimit> texts{};
    for (std::size_t k = 0; k < height; ++k) {
        for (const ShapeItem& item : shape.lines[k]) {
            texts[k] = texts[k] || item.type == FieldType::Text;
            if (item.type == FieldType::Date)
                needs[k] |= StatementLines::HoldsDigit | StatementLines::HoldsDateMark;
            else if (item.type == FieldType::Amount)
                needs[k] |= StatementLines::HoldsDigit;
        }
    }
    std::uint8_t begins = 0;
    if (shape.lines[0].front().type == FieldType::Date)
        begins = StatementLines::BeginsWithDigit | StatementLines::BeginsWithEra;
    else if (shape.lines[0].front().type == FieldType::Amount)
        begins = StatementLines::BeginsWithDigit | StatementLines::BeginsWithSign;
    // Every line is looked at once for each kind, so that look is one load.
    std::array<bool, StatementLines::kTraitValues> mayStart{};
    for (std::size_t t = 0; t < mayStart.size(); ++t)
        mayStart[t] = (begins == 0 || (t & begins) != 0) && (t & needs[0]) == needs[0];
    const std::uint8_t* traits = lines.TraitsOfFilled();
    std::array<Taken, kShapeItemLimit> scratch{};
    const std::size_t last = filled.size() < height ? 0 : filled.size() - height + 1;
    for (std::size_t p = 0; p < last;) {
        // Straight to the next line an entry may begin on.
        while (p < last && !mayStart[traits[p]])
            ++p;
        if (p == last)
            break;
        bool fits = true;
        for (std::size_t k = 1; k < height && fits; ++k)
            fits = (traits[p + k] & needs[k]) == needs[k];
        for (std::size_t k = 0; k < height && fits && taken; ++k)
            fits = (*taken)[static_cast<std::size_t>(filled[p + k])] == 0;
        if (fits && shape.lines[0].front().type == FieldType::Literal)
            fits = beginsWith(shape.lines[0].front().literal, lines.Memo().Line(filled[p]));
        for (std::size_t k = 0; k < height && fits; ++k) {
            const int line = filled[p + k];
            const StatementLines::Tokens tokens = lines.TokensOf(line);
            // A line of fewer cells than items, or, where no text field takes several, of
            // more, fits no matching.
            fits = tokens.count >= shape.lines[k].size() &&
                   (texts[k] || tokens.count == shape.lines[k].size()) &&
                   matchLine(shape.lines[k], lines.Memo().Line(line), tokens, scratch.data());
        }
        if (!fits) {
            ++p;
            continue;
        }
        for (std::size_t k = 0; k < height; ++k) {
            found.push_back(filled[p + k]);
            if (taken)
                (*taken)[static_cast<std::size_t>(filled[p + k])] = 1;
        }
        p += height;
    }
    return found;
}

Learnt LearnShape(StatementLines& lines, int first, int last) {
    Learnt out;
    const std::vector<int>& filled = lines.Filled();
    const auto from = std::lower_bound(filled.begin(), filled.end(), first);
    const auto to = std::upper_bound(filled.begin(), filled.end(), last);
    const std::vector<int> example(from, to);
    if (example.empty()) {
        out.problem = LearnProblem::NoDateOrAmount;
        return out;
    }
    if (example.size() > static_cast<std::size_t>(kShapeLineLimit)) {
        out.problem = LearnProblem::TooLarge;
        return out;
    }
    Shape& shape = out.shape;
    // The example's own tokens, by line, as the items were made from them.
    std::vector<std::vector<Token>> exampleTokens;
    bool marked = false;
    int amounts = 0;
    for (const int line : example) {
        const StatementLines::Tokens tokens = lines.TokensOf(line);
        if (tokens.count > static_cast<std::size_t>(kShapeItemLimit)) {
            out.problem = LearnProblem::TooLarge;
            return out;
        }
        exampleTokens.emplace_back(tokens.begin(), tokens.end());
        std::vector<ShapeItem>& items = shape.lines.emplace_back();
        for (const Token& t : tokens) {
            ShapeItem item;
            switch (t.kind) {
            case TokenKind::Label:
                item.type = FieldType::Literal;
                item.literal = textOf(lines.Memo().Line(line), t);
                break;
            case TokenKind::Date:
                item.type = FieldType::Date;
                break;
            case TokenKind::Amount:
                item.type = FieldType::Amount;
                ++amounts;
                if (t.marked && !marked) {
                    marked = true;
                    shape.amount = amounts;
                }
                break;
            case TokenKind::Text:
                break;
            }
            items.push_back(std::move(item));
        }
    }
    if (countOf(shape, FieldType::Date) == 0 || amounts == 0) {
        out.problem = LearnProblem::NoDateOrAmount;
        return out;
    }
    const std::size_t height = shape.lines.size();
    std::vector<int> entries = FindEntries(shape, lines);
    const std::size_t found = entries.size() / height;

    // A line's first words, the same in every entry (two or more, the example among them), are
    // literals: they keep other lines out, and they describe no entry. The example's cells are
    // the items' own, each item one cell.
    std::vector<std::size_t> promoted;
    const bool exampleFound = std::search(entries.begin(), entries.end(), example.begin(),
                                          example.end()) != entries.end();
    if (found >= 2 && exampleFound) {
        std::array<Taken, kShapeItemLimit> taken{};
        for (std::size_t k = 0; k < height; ++k) {
            if (shape.lines[k].front().type != FieldType::Text)
                continue;
            const std::u16string word(textOf(lines.Memo().Line(example[k]), exampleTokens[k][0]));
            bool same = !hasDigit(word) && word.size() <= kLiteralLimit &&
                        word.find(kQuoteClose) == std::u16string::npos;
            for (std::size_t e = 0; e < found && same; ++e) {
                const int line = entries[e * height + k];
                const std::u16string& text = lines.Memo().Line(line);
                matchLine(shape.lines[k], text, lines.TokensOf(line), taken.data());
                const StatementLines::Tokens tokens = lines.TokensOf(line);
                same = taken[0].last - taken[0].first == 1 &&
                       textOf(text, tokens.first[taken[0].first]) == word;
            }
            if (same) {
                shape.lines[k].front() = ShapeItem{FieldType::Literal, word};
                promoted.push_back(k);
            }
        }
    }

    // The description: the first text field whose example is more than a time or a weekday.
    // When every text field turned literal, the last of them describes the entry after all.
    const auto pickDescription = [&] {
        int texts = 0;
        for (std::size_t k = 0; k < height; ++k) {
            for (std::size_t i = 0; i < shape.lines[k].size(); ++i) {
                if (shape.lines[k][i].type != FieldType::Text)
                    continue;
                ++texts;
                if (!exampleTokens[k][i].incidental)
                    return texts;
            }
        }
        return 0;
    };
    shape.description = pickDescription();
    if (shape.description == 0 && !promoted.empty()) {
        shape.lines[promoted.back()].front() = ShapeItem{};
        promoted.pop_back();
        shape.description = pickDescription();
    }
    if (!promoted.empty())
        entries = FindEntries(shape, lines);
    out.entries = static_cast<int>(entries.size() / height);

    const int firstEntry = entries.empty() ? example.front() : entries.front();
    for (std::size_t i = 0; i < filled.size() && i < kHeadingLines && filled[i] < firstEntry; ++i) {
        out.name = nameIn(lines.Memo().Line(filled[i]));
        if (!out.name.empty())
            break;
    }
    return out;
}

int ConvertWithShape(const Shape& shape, TextArea& memo, Clipboard& clipboard, LocalDate today) {
    ResultList list;
    {
        StatementLines lines(memo);
        const std::vector<int> entries = FindEntries(shape, lines);
        const std::size_t height = shape.lines.size();
        const Place date = placeOf(shape, FieldType::Date, shape.date);
        const Place description = placeOf(shape, FieldType::Text, shape.description);
        const Place amount = placeOf(shape, FieldType::Amount, shape.amount);
        // The heading month, looked for once an entry needs it.
        bool headingRead = false;
        int headingYear = today.year;
        int headingMonth = today.month;
        const auto readHeading = [&] {
            headingRead = true;
            std::size_t e = 0;
            for (const int line : lines.Filled()) {
                while (e < entries.size() && entries[e] < line)
                    ++e;
                if (e < entries.size() && entries[e] == line)
                    continue;
                if (ReadHeadingMonth(memo.Line(line), headingYear, headingMonth))
                    return;
            }
        };
        std::array<Taken, kShapeItemLimit> taken{};
        const auto field = [&](std::size_t entry, Place place, Taken& span) {
            const int line = entries[entry * height + static_cast<std::size_t>(place.line)];
            const std::u16string& text = memo.Line(line);
            const StatementLines::Tokens tokens = lines.TokensOf(line);
            matchLine(shape.lines[static_cast<std::size_t>(place.line)], text, tokens,
                      taken.data());
            span = taken[static_cast<std::size_t>(place.item)];
            return std::pair{std::u16string_view(text), tokens.first};
        };
        std::u16string row;
        for (std::size_t e = 0; e < entries.size() / height; ++e) {
            row.clear();
            Taken span;
            const auto [dateLine, dateTokens] = field(e, date, span);
            const Token& d = dateTokens[span.first];
            int year = d.year;
            if (year == 0) {
                if (!headingRead)
                    readHeading();
                year = headingYear - (d.month > headingMonth ? 1 : 0);
            }
            appendPadded(row, year, 4);
            row += u'/';
            appendPadded(row, d.month, 2);
            row += u'/';
            appendPadded(row, d.day, 2);
            row += u'\t';
            if (description.line >= 0) {
                const auto [text, tokens] = field(e, description, span);
                for (std::uint16_t t = span.first; t < span.last; ++t) {
                    if (t > span.first)
                        row += u' ';
                    row += textOf(text, tokens[t]);
                }
            }
            row += u"\t\t\t";
            const auto [amountLine, amountTokens] = field(e, amount, span);
            row += AmountText(amountLine, amountTokens[span.first]);
            if (!shape.remark.empty()) {
                row += u'\t';
                row += shape.remark;
            }
            list.Add(row);
        }
    }
    memo.SetText(list.Text());
    clipboard.SetAsText(list.Text());
    return list.Count();
}

} // namespace kasorel
