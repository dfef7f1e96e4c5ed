#pragma once

// The user's regional settings and the calendar, as the platform keeps them. One
// implementation per platform: the C library's locale on Linux, the regional settings of the
// user's account on Windows. Every call reads them afresh, so a change applies at once.

#include <string>

namespace kasorel {

// A day of the calendar.
struct LocalDate {
    int year = 1;
    int month = 1; // 1 to 12
    int day = 1;   // 1 to 31
    friend bool operator==(const LocalDate&, const LocalDate&) = default;
};

// Today in the local time zone.
LocalDate Today();

// The decimal separator of the user's number format (for instance "." or ",").
std::u16string UserDecimalSeparator();

// date in the user's short date format ("2024/05/01" for Japanese). Holds no tab and no line
// break.
std::u16string UserShortDate(LocalDate date);

} // namespace kasorel
