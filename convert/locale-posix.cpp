#include "convert/locale.h"

#include "convert/charset.h"
#include "convert/unicode.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <langinfo.h>
#include <locale.h>
#include <string>
#include <string_view>

namespace kasorel {

namespace {

// The locale named for one category, read from the environment the way the C library and the
// desktop's toolkits read it: LC_ALL, then the category's own variable, then LANG. An unset or
// empty variable is skipped; nothing set at all is the C locale.
std::string localeName(const char* category) {
    for (const char* var : {"LC_ALL", category, "LANG"}) {
        const char* v = std::getenv(var);
        if (v != nullptr && *v != '\0')
            return v;
    }
    return "C";
}

// The language and territory of a locale name such as "ja_JP.UTF-8" or "de_DE@euro", as
// "ja_JP" (or "ja" alone). A script part ("zh_Hans_CN") is passed over. "C" and "POSIX", with
// any code set, are "C".
std::string languageTerritory(std::string_view name) {
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX" || name.empty())
        return "C";
    std::string language;
    std::string territory;
    std::size_t start = 0;
    bool first = true;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("_-", start), name.size());
        const std::string_view part = name.substr(start, end - start);
        if (first) {
            language = part;
            for (char& c : language)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
            first = false;
        } else if (part.size() == 2 || part.size() == 3) {
            territory = part;
            for (char& c : territory)
                if (c >= 'a' && c <= 'z')
                    c = static_cast<char>(c - 'a' + 'A');
            break;
        }
        start = end + 1;
    }
    return territory.empty() ? language : language + "_" + territory;
}

struct ShortDate {
    std::string_view locale;
    std::u16string_view pattern;
};

// The short dates of common locales as the desktop's toolkits write them, after the CLDR.
// A table, because the C library's D_FMT differs for most of them ("%Y年%m月%d日" for
// Japanese, where users see "2024/05/01") and the CLDR's data is no part of the system. A
// language's first entry is the one its bare name ("de") stands for.
constexpr std::array kShortDates = {
    ShortDate{"ja_JP", u"yyyy/MM/dd"}, ShortDate{"en_US", u"M/d/yy"},
    ShortDate{"en_GB", u"dd/MM/yyyy"}, ShortDate{"en_AU", u"d/M/yy"},
    ShortDate{"en_CA", u"yyyy-MM-dd"}, ShortDate{"de_DE", u"dd.MM.yy"},
    ShortDate{"de_CH", u"dd.MM.yy"},   ShortDate{"fr_FR", u"dd/MM/yyyy"},
    ShortDate{"fr_CA", u"yyyy-MM-dd"}, ShortDate{"zh_CN", u"yyyy/M/d"},
    ShortDate{"zh_TW", u"yyyy/M/d"},   ShortDate{"ko_KR", u"yy. M. d."},
    ShortDate{"it_IT", u"dd/MM/yy"},   ShortDate{"es_ES", u"d/M/yy"},
    ShortDate{"pt_BR", u"dd/MM/yyyy"}, ShortDate{"ru_RU", u"dd.MM.yyyy"},
    ShortDate{"nl_NL", u"dd-MM-yyyy"}, ShortDate{"sv_SE", u"yyyy-MM-dd"},
    ShortDate{"pl_PL", u"d.MM.yyyy"},  ShortDate{"C", u"d MMM yyyy"},
};

const ShortDate* findShortDate(std::string_view key, bool byLanguage) {
    for (const ShortDate& entry : kShortDates) {
        const std::string_view language = entry.locale.substr(0, entry.locale.find('_'));
        if (byLanguage ? language == key : entry.locale == key)
            return &entry;
    }
    return nullptr;
}

void appendNumber(std::u16string& out, int value, std::size_t width) {
    const std::u16string digits = FromAscii(std::to_string(value));
    if (digits.size() < width)
        out.append(width - digits.size(), u'0');
    out += digits;
}

// The few fields the table's patterns use: yyyy, yy, MMM (English month abbreviations),
// MM, M, dd, d; every other character stands for itself.
std::u16string formatPattern(std::u16string_view pattern, LocalDate date) {
    static constexpr std::array<std::u16string_view, 12> kMonths = {u"Jan", u"Feb", u"Mar", u"Apr",
                                                                    u"May", u"Jun", u"Jul", u"Aug",
                                                                    u"Sep", u"Oct", u"Nov", u"Dec"};
    std::u16string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char16_t c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        if (c == u'y')
            appendNumber(out, run >= 4 ? date.year : date.year % 100, run >= 4 ? 4 : 2);
        else if (c == u'M' && run >= 3 && date.month >= 1 && date.month <= 12)
            out += kMonths[static_cast<std::size_t>(date.month - 1)];
        else if (c == u'M')
            appendNumber(out, date.month, run);
        else if (c == u'd')
            appendNumber(out, date.day, run);
        else
            out.append(run, c);
        i += run;
    }
    return out;
}

// A locale of the C library, freed at the end of the scope.
class CLocale {
public:
    CLocale(int mask, const std::string& name)
        : loc_(newlocale(mask, name.c_str(), static_cast<locale_t>(nullptr))) {}
    ~CLocale() {
        if (loc_ != static_cast<locale_t>(nullptr))
            freelocale(loc_);
    }
    CLocale(const CLocale&) = delete;
    CLocale& operator=(const CLocale&) = delete;
    locale_t get() const { return loc_; }

private:
    locale_t loc_;
};

// Text in the code set of loc.
std::u16string fromLocale(const std::string& bytes, locale_t loc) {
    const char* codeset = nl_langinfo_l(CODESET, loc);
    if (codeset != nullptr && *codeset != '\0')
        if (auto text = DecodeCharset(bytes, codeset))
            return *text;
    return FromUtf8(bytes);
}

// The C library's own date form (D_FMT) for a locale outside the table; empty when the C
// library does not know the locale.
std::u16string libraryShortDate(const std::string& name, LocalDate date) {
    const CLocale loc(LC_TIME_MASK, name);
    if (loc.get() == static_cast<locale_t>(nullptr))
        return std::u16string();
    std::tm tm{};
    tm.tm_year = date.year - 1900;
    tm.tm_mon = date.month - 1;
    tm.tm_mday = date.day;
    tm.tm_hour = 12;
    // Fills in the weekday, which some locales' forms name.
    timegm(&tm);
    std::array<char, 256> buffer;
    const std::size_t n = strftime_l(buffer.data(), buffer.size(), "%x", &tm, loc.get());
    std::u16string text = fromLocale(std::string(buffer.data(), n), loc.get());
    // The date is a column of a tab-separated row.
    for (char16_t& c : text)
        if (c < u' ' || c == u'\u2028' || c == u'\u2029')
            c = u' ';
    return text;
}

} // namespace

LocalDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::u16string UserDecimalSeparator() {
    const std::string name = localeName("LC_NUMERIC");
    // Reading the locale costs far more than the number it is asked for, and StrToFloat asks
    // once per amount; the answer is kept while the variables naming it stay the same.
    const char* path = std::getenv("LOCPATH");
    const std::string key = name + '\n' + (path != nullptr ? path : "");
    thread_local std::string cachedKey;
    thread_local std::u16string cached;
    if (!cached.empty() && key == cachedKey)
        return cached;
    std::u16string separator = u".";
    if (languageTerritory(name) != "C") {
        const CLocale loc(LC_NUMERIC_MASK, name);
        if (loc.get() != static_cast<locale_t>(nullptr)) {
            const char* radix = nl_langinfo_l(RADIXCHAR, loc.get());
            if (radix != nullptr && *radix != '\0')
                separator = fromLocale(radix, loc.get());
        }
    }
    cachedKey = key;
    cached = separator;
    return separator;
}

std::u16string UserShortDate(LocalDate date) {
    const std::string name = localeName("LC_TIME");
    const std::string key = languageTerritory(name);
    if (const ShortDate* entry = findShortDate(key, false))
        return formatPattern(entry->pattern, date);
    std::u16string text = libraryShortDate(name, date);
    if (!text.empty())
        return text;
    const ShortDate* entry = findShortDate(key.substr(0, key.find('_')), true);
    return formatPattern(entry != nullptr ? entry->pattern : kShortDates.back().pattern, date);
}

} // namespace kasorel
