#include "convert/primitives.h"

#include "convert/errors.h"

#include <QLocale>
#include <QStringView>
#include <cfenv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace kasorel {

namespace {

bool isHighSurrogate(QChar c) {
    return c.unicode() >= 0xD800 && c.unicode() <= 0xDBFF;
}
bool isLowSurrogate(QChar c) {
    return c.unicode() >= 0xDC00 && c.unicode() <= 0xDFFF;
}

int posIn(QStringView sub, QStringView s) {
    if (sub.isEmpty() || s.isEmpty() || sub.size() > s.size())
        return 0;
    const qsizetype p = s.indexOf(sub, 0, Qt::CaseSensitive);
    return p < 0 ? 0 : RangeCheck(p + 1);
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// strtold follows LC_NUMERIC, which a Qt application sets from the user's environment; the
// text handed to it is always written with ".", so parse in the "C" locale.
locale_t cLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

QString systemDecimalSeparator() {
    return QLocale::system().decimalPoint();
}

} // namespace

int CheckedAdd(int a, int b) {
    int r = 0;
    if (__builtin_add_overflow(a, b, &r))
        throw EIntOverflow();
    return r;
}

int CheckedSub(int a, int b) {
    int r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        throw EIntOverflow();
    return r;
}

int RangeCheck(std::int64_t v) {
    if (v < INT_MIN || v > INT_MAX)
        throw ERangeError();
    return static_cast<int>(v);
}

int Length(const QString& s) {
    return RangeCheck(s.size());
}

int AnsiPos(const QString& sub, const QString& s) {
    return posIn(sub, s);
}

int MyAnsiPosEx(const QString& sub, const QString& s, int offset) {
    QStringView rest(s);
    if (offset > 0)
        rest = offset >= rest.size() ? QStringView() : rest.mid(offset);
    return CheckedAdd(posIn(sub, rest), offset);
}

QString AnsiLeftStr(const QString& s, int n) {
    if (n <= 0)
        return QString();
    qsizetype i = 0;
    int characters = 0;
    while (i < s.size() && characters < n) {
        if (isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1]))
            i += 2;
        else
            i += 1;
        ++characters;
    }
    return i == s.size() ? s : s.left(i);
}

QString AnsiReplaceStr(const QString& s, const QString& from, const QString& to) {
    if (from.isEmpty() || s.isEmpty())
        return s;
    qsizetype found = s.indexOf(from, 0, Qt::CaseSensitive);
    if (found < 0)
        return s;
    QString result;
    result.reserve(s.size());
    qsizetype start = 0;
    while (found >= 0) {
        result += QStringView(s).mid(start, found - start);
        result += to;
        start = found + from.size();
        found = s.indexOf(from, start, Qt::CaseSensitive);
    }
    result += QStringView(s).mid(start);
    return result;
}

void Delete(QString& s, int index, int count) {
    if (index < 1 || index > s.size() || count <= 0)
        return;
    const qsizetype from = index - 1;
    s.remove(from, std::min<qsizetype>(count, s.size() - from));
}

void Insert(const QString& sub, QString& s, int index) {
    if (sub.isEmpty())
        return;
    CheckedAdd(Length(s), Length(sub));
    qsizetype at = index < 1 ? 0 : index - 1;
    if (at > s.size())
        at = s.size();
    s.insert(at, sub);
}

bool TryStrToInt(const QString& s, int& v) {
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return false;
    std::uint64_t value = 0;
    for (; i < n; ++i) {
        if (hex) {
            const int d = hexDigit(s[i]);
            if (d < 0)
                return false;
            value = value * 16 + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFu)
                return false;
        } else {
            if (!isDigit(s[i]))
                return false;
            value = value * 10 + (s[i].unicode() - u'0');
            if (value > 2147483648u)
                return false;
        }
    }
    if (hex) {
        // The digits are a 32-bit two's-complement pattern; a "-" negates it (wrapping, so
        // "-$80000000" stays the most negative value).
        std::uint32_t pattern = static_cast<std::uint32_t>(value);
        if (negative)
            pattern = 0u - pattern;
        v = static_cast<std::int32_t>(pattern);
        return true;
    }
    if (negative) {
        v = static_cast<int>(-static_cast<std::int64_t>(value));
        return true;
    }
    if (value > 2147483647u)
        return false;
    v = static_cast<int>(value);
    return true;
}

long double StrToFloat(const QString& s, const QString& decimalSeparator) {
    const qsizetype n = s.size();
    qsizetype i = 0;
    std::string ascii;
    ascii.reserve(static_cast<size_t>(n) + 1);
    while (i < n && s[i] == u' ')
        ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        ascii += static_cast<char>(s[i].unicode());
        ++i;
    }
    int digits = 0;
    while (i < n && isDigit(s[i])) {
        ascii += static_cast<char>(s[i++].unicode());
        ++digits;
    }
    if (!decimalSeparator.isEmpty() && QStringView(s).mid(i).startsWith(decimalSeparator)) {
        i += decimalSeparator.size();
        ascii += '.';
        while (i < n && isDigit(s[i])) {
            ascii += static_cast<char>(s[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        throw EConvertError::notAFloat(s);
    if (i < n && (s[i] == u'E' || s[i] == u'e')) {
        ascii += 'E';
        ++i;
        if (i < n && (s[i] == u'+' || s[i] == u'-'))
            ascii += static_cast<char>(s[i++].unicode());
        int exponentDigits = 0;
        while (i < n && isDigit(s[i])) {
            ascii += static_cast<char>(s[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            throw EConvertError::notAFloat(s);
    }
    while (i < n && s[i] == u' ')
        ++i;
    if (i != n)
        throw EConvertError::notAFloat(s);
    const long double value = strtold_l(ascii.c_str(), nullptr, cLocale());
    // A text beyond the range of the type is not a number this program can hold.
    if (std::isinf(value))
        throw EConvertError::notAFloat(s);
    return value;
}

long double StrToFloat(const QString& s) {
    return StrToFloat(s, systemDecimalSeparator());
}

QString FloatToStr(long double x, const QString& decimalSeparator) {
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0)
        return QStringLiteral("0");

    // printf prints the exact decimal expansion; rounding it ourselves at the 16th digit
    // gives half-up where printf's own rounding would go to even on an exact tie. 40 digits
    // are far more than a 64-bit significand can bring near a 16-digit boundary.
    char buf[96];
    std::snprintf(buf, sizeof buf, "%.40Le", std::fabs(x));
    std::string mantissa;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p != '.')
            mantissa += *p;
    int e = std::atoi(p + 1) + 1;

    std::string digits = mantissa.substr(0, 15);
    if (mantissa[15] >= '5') {
        int k = 14;
        while (k >= 0 && digits[k] == '9')
            digits[k--] = '0';
        if (k < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++e;
        } else {
            ++digits[k];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    QString out;
    if (x < 0)
        out += u'-';
    const auto ascii = [](const std::string& t) { return QString::fromLatin1(t); };
    if (e >= -3 && e <= 15) {
        if (e > 0) {
            if (static_cast<int>(digits.size()) <= e) {
                out += ascii(digits) + QString(e - static_cast<int>(digits.size()), u'0');
            } else {
                out += ascii(digits.substr(0, e)) + decimalSeparator + ascii(digits.substr(e));
            }
        } else {
            out += u'0' + decimalSeparator + QString(-e, u'0') + ascii(digits);
        }
    } else {
        out += QLatin1Char(digits[0]);
        if (digits.size() > 1)
            out += decimalSeparator + ascii(digits.substr(1));
        out += u'E' + QString::number(e - 1);
    }
    return out;
}

QString FloatToStr(long double x) {
    return FloatToStr(x, systemDecimalSeparator());
}

QString IntToStr(std::int64_t n) {
    return QString::number(n);
}

QDateTime Now() {
    return QDateTime::currentDateTime();
}

QString DateToStr(const QDateTime& t) {
    return QLocale::system().toString(t.date(), QLocale::ShortFormat);
}

std::int64_t Round(long double x) {
    constexpr long double limit = 9223372036854775808.0L; // 2^63
    if (std::isnan(x) || x >= limit || x < -limit)
        throw EInvalidOp();
    const long double r = std::nearbyint(x);
    if (r >= limit || r < -limit)
        throw EInvalidOp();
    return static_cast<std::int64_t>(r);
}

long double FloatMul(long double a, long double b) {
    const long double r = a * b;
    if (std::isnan(r))
        throw EInvalidOp();
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
        throw EOverflow();
    return r;
}

long double FloatDiv(long double a, long double b) {
    if (b == 0) {
        if (a == 0 || std::isnan(a))
            throw EInvalidOp();
        throw EZeroDivide();
    }
    const long double r = a / b;
    if (std::isnan(r))
        throw EInvalidOp();
    if (std::isinf(r) && std::isfinite(a))
        throw EOverflow();
    return r;
}

double StoreDouble(long double x) {
    const double d = static_cast<double>(x);
    if (std::isinf(d) && std::isfinite(x))
        throw EOverflow();
    return d;
}

} // namespace kasorel
