#pragma once

// The text and number operations every converter is written in. Positions are 1-based
// and count UTF-16 code units; 0 means "not found". Integers are 32-bit unless noted.

#include "convert/extended.h"
#include "convert/locale.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kasorel {

// Checked arithmetic on positions, indexes and counts: EIntOverflow when the result falls
// outside the 32-bit range.
int CheckedAdd(int a, int b);
int CheckedSub(int a, int b);

// Stores a 64-bit value in a 32-bit variable: ERangeError when it does not fit.
int RangeCheck(std::int64_t v);

// Number of code units of s (0 for the empty text). ERangeError for a text longer than
// the 32-bit range, which no real input reaches.
int Length(std::u16string_view s);

// Position of the leftmost occurrence of sub in s; 0 when sub or s is empty, sub is
// longer than s, or sub does not occur.
int AnsiPos(std::u16string_view sub, std::u16string_view s);

// offset + AnsiPos(sub, r), r being s without its first offset code units: the position of
// the first occurrence of sub starting after position offset. When sub is absent from r
// the result is offset itself (not 0). offset <= 0: r is all of s. offset >= Length(s):
// the result is offset. The final addition is overflow-checked (EIntOverflow).
int MyAnsiPosEx(std::u16string_view sub, std::u16string_view s, int offset);

// The first n characters of s, a surrogate pair (high then low) counting as one
// character and any other code unit, a lone surrogate included, as one. n <= 0 gives the
// empty text; n at or beyond the character count gives all of s.
std::u16string AnsiLeftStr(std::u16string_view s, int n);

// s with every occurrence of from replaced by to, scanning left to right without overlap;
// text put in by a replacement is never searched. An empty from leaves s unchanged.
std::u16string AnsiReplaceStr(std::u16string_view s, std::u16string_view from,
                              std::u16string_view to);

// Removes count code units from s starting at position index. index < 1,
// index > Length(s) or count <= 0 leave s unchanged; a count past the end removes to the
// end.
void Delete(std::u16string& s, int index, int count);

// Inserts sub into s so that it starts at position index. An empty sub leaves s
// unchanged; index < 1 inserts at the front; index > Length(s) appends. The new length is
// overflow-checked (EIntOverflow).
void Insert(std::u16string_view sub, std::u16string& s, int index);

// True when s is an integer text: leading U+0020 blanks, at most one sign, then decimal
// digits within the 32-bit range, or a hex prefix ("$", "x", "X", "0x", "0X") and at most
// eight significant hex digits read as a 32-bit two's-complement pattern (a "-" negates
// it); nothing may follow. v is set only on success.
bool TryStrToInt(std::u16string_view s, int& v);

// The value of a decimal number text: leading blanks, optional sign, digits with an
// optional decimalSeparator and fraction (at least one digit in all), an optional
// exponent ("E"/"e", optional sign, digits), trailing blanks. No thousands separator.
// Correctly rounded to Extended. Anything else, and a value beyond the Extended range, raises
// EConvertError naming s; a value too small to hold reads as a denormal or 0.
Extended StrToFloat(std::u16string_view s, std::u16string_view decimalSeparator);
// The same with the user's decimal separator, read from the system locale at each call.
Extended StrToFloat(std::u16string_view s);

// The general text form of x: "0" for zero; at most 15 significant digits, the 16th
// rounded half up; fixed-point for decimal exponents -3..15 (0.0001 up to just below
// 1E15), scientific ("1E-5", "1.5E20") otherwise; "INF", "-INF", "NAN".
std::u16string FloatToStr(Extended x, std::u16string_view decimalSeparator);
// The same with the user's decimal separator, read from the system locale at each call.
std::u16string FloatToStr(Extended x);

// Decimal text of n, "-" before a negative value.
std::u16string IntToStr(std::int64_t n);

// Today's local date from the system clock; the time of day is never used.
LocalDate Now();

// date in the user's short date format (system locale, read at each call). Holds no tab and
// no line break.
std::u16string DateToStr(LocalDate date);

// The nearest integer to x, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). A NaN or a value
// outside the 64-bit range raises EInvalidOp.
std::int64_t Round(Extended x);

// Floating-point operations with the error kinds of the conversions: EZeroDivide for a
// non-zero value divided by zero, EInvalidOp for 0/0 and other invalid operations,
// EOverflow for a result beyond the Extended range. Underflow passes silently.
Extended FloatMul(Extended a, Extended b);
Extended FloatDiv(Extended a, Extended b);

// x stored as a double, the nearest one; EOverflow when x is finite but beyond the double
// range, where the store would give an infinity. NaN and infinities pass as they are.
double StoreDouble(Extended x);

} // namespace kasorel
