#include "convert/locale.h"

#include <windows.h>

namespace kasorel {

namespace {

std::u16string fromWide(const wchar_t* s, int units) {
    return std::u16string(reinterpret_cast<const char16_t*>(s), static_cast<size_t>(units));
}

} // namespace

LocalDate Today() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

std::u16string UserDecimalSeparator() {
    // LOCALE_SDECIMAL holds at most three characters and the terminator.
    wchar_t buffer[8] = {};
    const int n = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
    if (n <= 1)
        return u".";
    return fromWide(buffer, n - 1);
}

std::u16string UserShortDate(LocalDate date) {
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(date.year);
    day.wMonth = static_cast<WORD>(date.month);
    day.wDay = static_cast<WORD>(date.day);
    const int size = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr,
                                     nullptr, 0, nullptr);
    std::wstring text(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    const int n = size > 0 ? GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day,
                                             nullptr, text.data(), size, nullptr)
                           : 0;
    std::u16string result;
    if (n > 1)
        result = fromWide(text.data(), n - 1);
    else {
        // A date the calendar refuses still fills the first column with something readable.
        const std::wstring fallback = std::to_wstring(date.year) + L'/' +
                                      std::to_wstring(date.month) + L'/' +
                                      std::to_wstring(date.day);
        result = fromWide(fallback.data(), static_cast<int>(fallback.size()));
    }
    // The rows are tab-separated lines: a user's format with a tab or a line break in it
    // would split the row.
    for (char16_t& c : result)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return result;
}

} // namespace kasorel
