#include "convert/locale.h"

#include "convert/interop-web.h"
#include "convert/unicode.h"

#include <cstdio>
#include <cstdlib>
#include <emscripten.h>

// clang-format off
// The browser's own regional settings: Intl for the language the browser asks pages in (Node's
// default locale where the suites run). The formatter is kept per language, as a conversion
// asks for the date at every row.
EM_JS(char*, kasorel_locale_text, (int what, int year, int month, int day), {
    const language = (typeof navigator !== "undefined" && navigator.language) || undefined;
    const kept = globalThis.kasorelLocale || (globalThis.kasorelLocale = {});
    if (kept.language !== language || !kept.date) {
        kept.language = language;
        kept.date = new Intl.DateTimeFormat(language, {dateStyle : "short", timeZone : "UTC"});
        const decimal = new Intl.NumberFormat(language).formatToParts(1.5).find(
            piece => piece.type === "decimal");
        kept.decimal = decimal ? decimal.value : ".";
    }
    let text;
    if (what === 0) {
        const now = new Date();
        text = now.getFullYear() + " " + (now.getMonth() + 1) + " " + now.getDate();
    } else if (what === 1) {
        text = kept.decimal;
    } else {
        const at = new Date(0);
        at.setUTCFullYear(year, month - 1, day);
        text = kept.date.format(at);
    }
    return kasorelUtf8(text);
});
// clang-format on

namespace kasorel {

namespace {

std::string localeText(int what, int year = 0, int month = 0, int day = 0) {
    return web::TakeUtf8(kasorel_locale_text(what, year, month, day)).value_or(std::string());
}

} // namespace

LocalDate Today() {
    LocalDate date;
    const std::string text = localeText(0);
    if (std::sscanf(text.c_str(), "%d %d %d", &date.year, &date.month, &date.day) != 3)
        return LocalDate{};
    return date;
}

std::u16string UserDecimalSeparator() {
    const std::u16string separator = FromUtf8(localeText(1));
    return separator.empty() ? std::u16string(u".") : separator;
}

std::u16string UserShortDate(LocalDate date) {
    std::u16string text = FromUtf8(localeText(2, date.year, date.month, date.day));
    // The first column must stay one field of one row whatever a locale's pattern holds.
    for (char16_t& c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

} // namespace kasorel
