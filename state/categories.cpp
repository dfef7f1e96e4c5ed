#include "state/categories.h"

#include "convert/dividends.h"
#include "convert/fields.h"
#include "convert/textarea.h"
#include "convert/unicode.h"
#include "settings/file.h"
#include "settings/paths.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <unordered_set>

namespace kasorel {

namespace {

constexpr std::string_view kHeader = "# kasorel categories, version ";
// The full-width forms of U+FF61 to U+FF9D, the half-width katakana and their marks.
constexpr std::u16string_view kKana =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
    u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
constexpr std::array<std::u16string_view, 4> kBranchEnds{u"支店", u"営業所", u"出張所", u"店"};

std::u16string_view trimmed(std::u16string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == u'\t'))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == u'\t'))
        s.remove_suffix(1);
    return s;
}

// The fields of a line apart by tabs.
std::vector<std::u16string_view> fieldsOf(std::u16string_view line) {
    std::vector<std::u16string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find(u'\t', start);
        fields.push_back(line.substr(start, tab == std::u16string_view::npos ? tab : tab - start));
        if (tab == std::u16string_view::npos)
            return fields;
        start = tab + 1;
    }
}

bool isKanji(char16_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || c == u'々' || c == u'ヶ';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// "123", "#12", "no.5", "第3", "123号店", "45号", "6店".
bool isStoreNumber(std::u16string_view w) {
    for (const std::u16string_view prefix : {u"#", u"no.", u"no", u"第"}) {
        if (w.starts_with(prefix)) {
            w.remove_prefix(prefix.size());
            break;
        }
    }
    for (const std::u16string_view suffix : {u"号店", u"号", u"店"}) {
        if (w.ends_with(suffix)) {
            w.remove_suffix(suffix.size());
            break;
        }
    }
    return !w.empty() && std::all_of(w.begin(), w.end(), isDigit);
}

bool isBranchWord(std::u16string_view w) {
    for (const std::u16string_view end : kBranchEnds) {
        if (w.size() > end.size() && w.ends_with(end))
            return true;
    }
    return isStoreNumber(w) ||
           (w.size() >= 2 && w.size() <= 6 && std::all_of(w.begin(), w.end(), isKanji));
}

std::int32_t dayOf(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}

// yyyy-mm-dd, as the file writes it; 0 for anything else.
std::int32_t fileDate(std::u16string_view s) {
    if (s.size() != 10 || s[4] != u'-' || s[7] != u'-')
        return 0;
    int parts[3] = {};
    for (const auto& [from, to, part] :
         {std::tuple{0, 4, 0}, std::tuple{5, 7, 1}, std::tuple{8, 10, 2}}) {
        for (int i = from; i < to; ++i) {
            if (!isDigit(s[static_cast<std::size_t>(i)]))
                return 0;
            parts[part] = parts[part] * 10 + (s[static_cast<std::size_t>(i)] - u'0');
        }
    }
    if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31 || parts[0] < 1)
        return 0;
    return dayOf(parts[0], parts[1], parts[2]);
}

std::string writeDate(std::int32_t date) {
    std::string s = std::to_string(date);
    s.insert(0, 8 - std::min<std::size_t>(8, s.size()), '0');
    return s.substr(0, 4) + '-' + s.substr(4, 2) + '-' + s.substr(6, 2);
}

// A field as the file will give it back: a lone surrogate, which UTF-8 cannot hold, as U+FFFD.
std::u16string kept(std::u16string_view s) {
    return FromUtf8(ToUtf8(s));
}

// A field as the file can hold it: one line, no tab.
bool oneField(std::u16string_view s) {
    return s.find_first_of(u"\t\r\n") == std::u16string_view::npos;
}

} // namespace

std::u16string FoldDescription(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    bool blank = false;
    for (const char16_t c : text) {
        char16_t n = NarrowForm(c);
        if (IsBlank(n) || n == u'\t') {
            blank = !out.empty();
            continue;
        }
        if (n == 0xFF9E || n == 0xFF9F) {
            // A voiced mark joins the letter before it: ｶﾞ is ガ, ﾊﾟ is パ, ｳﾞ is ヴ.
            char16_t& letter = out.empty() ? n : out.back();
            const bool ka =
                letter >= u'カ' && letter <= u'ト' && (letter - u'カ') % 2 == 0 && letter != u'ッ';
            const bool ha = letter >= u'ハ' && letter <= u'ホ' && (letter - u'ハ') % 3 == 0;
            if (n == 0xFF9E && letter == u'ウ')
                letter = u'ヴ';
            else if (n == 0xFF9E &&
                     (ka || ha || letter == u'ツ' || letter == u'テ' || letter == u'ト'))
                letter = static_cast<char16_t>(letter + 1);
            else if (n == 0xFF9F && ha)
                letter = static_cast<char16_t>(letter + 2);
            continue;
        }
        if (blank) {
            out += u' ';
            blank = false;
        }
        if (n >= u'A' && n <= u'Z')
            n = static_cast<char16_t>(n + 32);
        else if (n >= 0xFF61 && n <= 0xFF9D)
            n = kKana[n - 0xFF61];
        out += n;
    }
    return out;
}

std::u16string ShopOf(std::u16string_view folded) {
    const auto shop = [&](std::u16string_view name) {
        const bool named = name.size() >= 2 && !std::all_of(name.begin(), name.end(), isDigit);
        return std::u16string(named ? name : folded);
    };
    const std::size_t space = folded.rfind(u' ');
    if (space != std::u16string_view::npos)
        return isBranchWord(folded.substr(space + 1)) ? shop(folded.substr(0, space))
                                                      : std::u16string(folded);
    // One word: a store number at its end, or a kanji branch after a name in another script.
    std::u16string_view w = folded;
    for (const std::u16string_view suffix : {u"号店", u"号", u"店"}) {
        if (w.ends_with(suffix)) {
            w.remove_suffix(suffix.size());
            break;
        }
    }
    std::size_t digits = w.size();
    while (digits > 0 && isDigit(w[digits - 1]))
        --digits;
    if (digits < w.size() && digits > 0)
        return shop(w.substr(0, digits));
    if (folded.ends_with(u'店')) {
        std::size_t start = folded.size();
        while (start > 0 && isKanji(folded[start - 1]))
            --start;
        if (start > 0 && folded.size() - start >= 2)
            return shop(folded.substr(0, start));
    }
    return std::u16string(folded);
}

bool CategoryTable::add(std::u16string_view description, Sighting sighting) {
    const std::u16string text(description);
    auto [at, made] = exact_.try_emplace(text, static_cast<std::uint32_t>(descriptions_.size()));
    if (made)
        descriptions_.push_back(Description{text, {}, 0});
    Description& d = descriptions_[at->second];
    const bool seen = std::any_of(d.seen.begin(), d.seen.end(), [&](const Sighting& s) {
        return s.date == sighting.date && s.amount == sighting.amount &&
               s.first == sighting.first && s.second == sighting.second;
    });
    if (seen)
        return false;
    d.last = std::max(d.last, sighting.date);
    d.seen.push_back(std::move(sighting));
    return true;
}

void CategoryTable::trim() {
    for (Description& d : descriptions_) {
        if (d.seen.size() <= kCategorySightingLimit)
            continue;
        std::stable_sort(d.seen.begin(), d.seen.end(),
                         [](const Sighting& a, const Sighting& b) { return a.date < b.date; });
        d.seen.erase(d.seen.begin(), d.seen.end() - kCategorySightingLimit);
    }
    if (descriptions_.size() > kCategoryDescriptionLimit) {
        // The descriptions seen last stay, in the order they were first learnt.
        std::vector<std::uint32_t> order(descriptions_.size());
        for (std::uint32_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            return descriptions_[a].last > descriptions_[b].last;
        });
        order.resize(kCategoryDescriptionLimit);
        std::sort(order.begin(), order.end());
        std::vector<Description> kept;
        kept.reserve(order.size());
        for (const std::uint32_t i : order)
            kept.push_back(std::move(descriptions_[i]));
        descriptions_ = std::move(kept);
    }
}

const CategoryTable::Sighting*
CategoryTable::decide(const std::vector<std::uint32_t>& descriptions) const {
    struct Tally {
        const Sighting* fields;
        int count;
        std::int32_t last;
    };
    std::vector<Tally> tallies;
    int total = 0;
    for (const std::uint32_t i : descriptions) {
        for (const Sighting& s : descriptions_[i].seen) {
            ++total;
            const auto same = std::find_if(tallies.begin(), tallies.end(), [&](const Tally& t) {
                return t.fields->first == s.first && t.fields->second == s.second;
            });
            if (same == tallies.end()) {
                tallies.push_back(Tally{&s, 1, s.date});
            } else {
                ++same->count;
                same->last = std::max(same->last, s.date);
            }
        }
    }
    const auto best =
        std::max_element(tallies.begin(), tallies.end(), [](const Tally& a, const Tally& b) {
            return a.count != b.count ? a.count < b.count : a.last < b.last;
        });
    // A wrong category is worse than an empty one.
    if (best == tallies.end() || best->count * 3 < total * 2)
        return nullptr;
    return best->fields;
}

void CategoryTable::index() {
    exact_.clear();
    exactFill_.clear();
    std::unordered_map<std::u16string, std::vector<std::uint32_t>> folded;
    std::unordered_map<std::u16string, std::vector<std::uint32_t>> shops;
    for (std::uint32_t i = 0; i < descriptions_.size(); ++i) {
        exact_.emplace(descriptions_[i].text, i);
        exactFill_.push_back(decide({i}));
        std::u16string fold = FoldDescription(descriptions_[i].text);
        shops[ShopOf(fold)].push_back(i);
        folded[std::move(fold)].push_back(i);
    }
    foldedFill_.clear();
    for (const auto& [key, descriptions] : folded)
        foldedFill_.emplace(key, decide(descriptions));
    shopFill_.clear();
    for (const auto& [key, descriptions] : shops)
        shopFill_.emplace(key, decide(descriptions));
}

Learning CategoryTable::Learn(std::u16string_view text) {
    Learning learning;
    std::unordered_set<std::u16string_view> taught;
    for (const std::u16string& line : TextArea::SplitLines(text)) {
        const std::vector<std::u16string_view> fields = fieldsOf(line);
        int year = 0;
        int month = 0;
        int day = 0;
        if (fields.size() < 5 || !ReadWholeDate(trimmed(fields[0]), year, month, day))
            continue;
        const std::u16string description = kept(trimmed(fields[1]));
        if (description.empty() || description == kDomesticCategory ||
            description == kForeignCategory)
            continue;
        ++learning.shaped;
        const std::u16string_view first = trimmed(fields[2]);
        const std::u16string_view second = trimmed(fields[3]);
        if (first.empty() && second.empty())
            continue;
        Sighting sighting{dayOf(year, month, day), kept(trimmed(fields[4])), kept(first),
                          kept(second)};
        if (add(description, std::move(sighting))) {
            ++learning.taught;
            taught.insert(exact_.find(description)->first);
        } else {
            ++learning.known;
        }
    }
    learning.descriptions = static_cast<int>(taught.size());
    trim();
    index();
    return learning;
}

std::optional<std::u16string> CategoryTable::Fill(std::u16string_view row) const {
    if (descriptions_.empty())
        return std::nullopt;
    // The first four tabs: the description between the first two, nothing between the others.
    std::array<std::size_t, 4> tabs{};
    for (std::size_t k = 0, from = 0; k < tabs.size(); from = tabs[k++] + 1) {
        tabs[k] = row.find(u'\t', from);
        if (tabs[k] == std::u16string_view::npos)
            return std::nullopt;
    }
    if (tabs[2] != tabs[1] + 1 || tabs[3] != tabs[2] + 1)
        return std::nullopt;
    const std::u16string_view description = trimmed(row.substr(tabs[0] + 1, tabs[1] - tabs[0] - 1));
    if (description.empty())
        return std::nullopt;
    // The closest matches only: the same text, else the same folded, else the same shop.
    const Sighting* best = nullptr;
    if (const auto exact = exact_.find(description); exact != exact_.end()) {
        best = exactFill_[exact->second];
    } else {
        const std::u16string folded = FoldDescription(description);
        if (const auto same = foldedFill_.find(folded); same != foldedFill_.end())
            best = same->second;
        else if (const auto shop = shopFill_.find(ShopOf(folded)); shop != shopFill_.end())
            best = shop->second;
    }
    if (!best)
        return std::nullopt;
    std::u16string filled;
    filled.reserve(row.size() + best->first.size() + best->second.size());
    filled += row.substr(0, tabs[2]);
    filled += best->first;
    filled += u'\t';
    filled += best->second;
    filled += row.substr(tabs[3]);
    return filled;
}

CategoryTable ParseCategories(std::string_view bytes, StateProblem& problem) {
    CategoryTable table;
    problem = ReadStateLines(bytes, kHeader, kCategoriesVersion, [&](std::string_view line) {
        const std::u16string text = FromUtf8(line);
        const std::vector<std::u16string_view> fields = fieldsOf(text);
        const std::int32_t date = fields.size() == 5 ? fileDate(fields[0]) : 0;
        if (date == 0 || !IsValidUtf8(line) || fields[2].empty() ||
            (fields[3].empty() && fields[4].empty()))
            return false;
        table.add(fields[2],
                  CategoryTable::Sighting{date, std::u16string(fields[1]),
                                          std::u16string(fields[3]), std::u16string(fields[4])});
        return true;
    });
    if (problem == StateProblem::Newer) {
        CategoryTable newer;
        newer.mayReplaceFile_ = false;
        return newer;
    }
    table.trim();
    table.index();
    return table;
}

std::string SerialiseCategories(const CategoryTable& table) {
    std::string out = StateFileHeader(kHeader, kCategoriesVersion);
    for (const CategoryTable::Description& d : table.descriptions_) {
        const std::string description = ToUtf8(d.text);
        for (const CategoryTable::Sighting& s : d.seen) {
            if (!oneField(d.text) || !oneField(s.amount) || !oneField(s.first) ||
                !oneField(s.second))
                continue;
            out += writeDate(s.date) + '\t' + ToUtf8(s.amount) + '\t' + description + '\t' +
                   ToUtf8(s.first) + '\t' + ToUtf8(s.second) + '\n';
        }
    }
    return out;
}

LoadedCategories ReadCategoriesFile(std::u16string_view path) {
    LoadedCategories loaded;
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        if (PathExists(path)) {
            loaded.problem = StateProblem::Unreadable;
            loaded.table.mayReplaceFile_ = false;
        }
        return loaded;
    }
    loaded.table = ParseCategories(*bytes, loaded.problem);
    return loaded;
}

bool WriteCategoriesFile(std::u16string_view path, const CategoryTable& table) {
    if (!table.MayReplaceFile())
        return false;
    return ReplaceWholeFile(path, SerialiseCategories(table)) == Replaced::Written;
}

std::u16string CategoriesFilePath() {
    return JoinPath(UserStateFolder(), u"kasorel.categories");
}

} // namespace kasorel
