// The order fuzz target's reference: how two COPY fields of one column compare, written apart from
// the viewer's key code and as plainly as possible (strings, whole values, no keys). Each value is
// read in the forms the server writes; any other text is damaged and compares by its bytes after
// every value; NULL (\N) is last.
#pragma once

#include <ctype.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <cmath>
#include <charconv>
#include <optional>
#include <string>
#include <tuple>

#include "document/column_types.h"
#include "escape_reference.h"

namespace order_reference {

inline bool all_digits(const std::string &s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

inline std::string lower(std::string s) {
    for (char &c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// An exact decimal: rank 1 -Infinity, 2 negative, 3 zero, 4 positive, 5 Infinity, 6 NaN; for the
// numbers, the digits without leading or trailing zeros and the point's place after the first.
struct Decimal {
    int rank;
    long long point;
    std::string digits;
};

inline int compare_decimal(const Decimal &a, const Decimal &b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    if (a.rank != 2 && a.rank != 4) return 0;
    int c = a.point != b.point ? (a.point < b.point ? -1 : 1) : a.digits.compare(b.digits);
    c = c < 0 ? -1 : c > 0;
    return a.rank == 2 ? -c : c;
}

inline std::optional<Decimal> read_decimal(const std::string &text) {
    std::string s = text, low = lower(text);
    if (low == "nan") return Decimal{6, 0, ""};
    for (const char *inf : {"inf", "infinity", "+inf", "+infinity"})
        if (low == inf) return Decimal{5, 0, ""};
    if (low == "-inf" || low == "-infinity") return Decimal{1, 0, ""};
    bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.erase(0, 1);
    long long exponent = 0;
    size_t e = s.find_first_of("eE");
    if (e != std::string::npos) {
        std::string ex = s.substr(e + 1);
        s.resize(e);
        bool exp_negative = !ex.empty() && ex[0] == '-';
        if (!ex.empty() && (ex[0] == '-' || ex[0] == '+')) ex.erase(0, 1);
        if (!all_digits(ex)) return std::nullopt;
        ex.erase(0, std::min(ex.find_first_not_of('0'), ex.size() - 1));
        if (ex.size() > 8 || std::stoll(ex) > 4000000) return std::nullopt;
        exponent = exp_negative ? -std::stoll(ex) : std::stoll(ex);
    }
    size_t point = s.find('.');
    std::string digits = s;
    if (point != std::string::npos)
        digits.erase(point, 1);
    else
        point = s.size();
    if (digits.empty() || !all_digits(digits)) return std::nullopt;
    size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return Decimal{3, 0, ""};
    long long place = static_cast<long long>(point) - static_cast<long long>(first) + exponent;
    if (place > 4000000 || place < -4000000) return std::nullopt;
    digits = digits.substr(first, digits.find_last_not_of('0') - first + 1);
    return Decimal{negative ? 2 : 4, place, digits};
}

inline std::optional<long long> read_integer(const std::string &text) {
    std::string s = text;
    if (s.size() > 1 && s[0] == '+' && s[1] >= '0' && s[1] <= '9') s.erase(0, 1);
    long long v = 0;
    auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (error != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

// The date's day number, counted from 1 January of year 1 (as a difference, for any year) by the
// leap years before its year.
inline long long floor_div(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
inline bool is_leap(long long y) {
    return floor_div(y, 4) * 4 == y &&
           (floor_div(y, 100) * 100 != y || floor_div(y, 400) * 400 == y);
}
inline long long day_number(long long y, int m, int d) {
    static const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    long long leaps = floor_div(y - 1, 4) - floor_div(y - 1, 100) + floor_div(y - 1, 400);
    return 365 * y + leaps + before[m - 1] + (m > 2 && is_leap(y)) + d - 1;
}

inline int digits_at(const std::string &s, size_t *i, size_t min, size_t max, long long *v) {
    size_t n = 0;
    *v = 0;
    while (n < max && *i < s.size() && s[*i] >= '0' && s[*i] <= '9')
        *v = *v * 10 + (s[(*i)++] - '0'), ++n;
    return n >= min;
}

inline bool byte_at(const std::string &s, size_t *i, char c) {
    if (*i >= s.size() || s[*i] != c) return false;
    ++*i;
    return true;
}

// A date ("Y-MM-DD") at s[i], its day number; the BC mark is read by the caller.
inline bool date_at(const std::string &s, size_t *i, long long *y, long long *m, long long *d) {
    return digits_at(s, i, 1, 9, y) && byte_at(s, i, '-') && digits_at(s, i, 2, 2, m) &&
           byte_at(s, i, '-') && digits_at(s, i, 2, 2, d);
}

inline bool date_valid(long long y, long long m, long long d) {
    static const int length[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m >= 1 && m <= 12 && d >= 1 && d <= length[m - 1] + (m == 2 && is_leap(y));
}

// "HH:MM:SS[.f...]" at s[i], in microseconds, the fraction as the server reads it:
// rint(strtod("0.f") * 1000000), here by the library's exact reading of a double, to the
// fraction's fifteenth digit (no server writes more).
inline bool time_at(const std::string &s, size_t *i, long long *us) {
    long long h, m, sec;
    if (!digits_at(s, i, 1, 2, &h) || !byte_at(s, i, ':') || !digits_at(s, i, 2, 2, &m) ||
        !byte_at(s, i, ':') || !digits_at(s, i, 2, 2, &sec) || m > 59 || sec > 60)
        return false;
    long long frac = 0;
    if (byte_at(s, i, '.')) {
        size_t start = *i;
        while (*i < s.size() && s[*i] >= '0' && s[*i] <= '9') ++*i;
        std::string f = s.substr(start, *i - start);
        if (f.empty()) return false;
        const std::string fraction = "0." + f.substr(0, 15);
        double value = 0;
        std::from_chars(fraction.data(), fraction.data() + fraction.size(), value);
        frac = std::llrint(value * 1000000);
    }
    *us = ((h * 60 + m) * 60 + sec) * 1000000 + frac;
    return *us <= 86400LL * 1000000;
}

inline bool offset_at(const std::string &s, size_t *i, long long *east) {
    if (*i >= s.size() || (s[*i] != '+' && s[*i] != '-')) return false;
    int sign = s[(*i)++] == '-' ? -1 : 1;
    long long h, m = 0, sec = 0;
    if (!digits_at(s, i, 2, 2, &h) || h > 15) return false;
    if (byte_at(s, i, ':') && (!digits_at(s, i, 2, 2, &m) || m > 59)) return false;
    if (byte_at(s, i, ':') && (!digits_at(s, i, 2, 2, &sec) || sec > 59)) return false;
    *east = sign * ((h * 60 + m) * 60 + sec);
    return true;
}

// A value as numbers compared in turn (an instant and a zone, a day, a microsecond count).
using Instant = std::tuple<__int128, long long>;

// Dates and times; infinity as the extremes of the first number.
inline std::optional<Instant> read_time_value(ColumnKind kind, const std::string &s) {
    const __int128 far = static_cast<__int128>(1) << 100;
    bool dated = kind == KIND_DATE || kind == KIND_TIMESTAMP || kind == KIND_TIMESTAMPTZ;
    if (dated && (s == "infinity" || s == "+infinity")) return Instant{far, 0};
    if (dated && s == "-infinity") return Instant{-far, 0};
    size_t i = 0;
    long long y = 0, m = 0, d = 0, us = 0, east = 0;
    if (dated && !date_at(s, &i, &y, &m, &d)) return std::nullopt;
    if (kind != KIND_DATE) {
        if (dated && !byte_at(s, &i, ' ')) return std::nullopt;
        if (!time_at(s, &i, &us)) return std::nullopt;
    }
    if ((kind == KIND_TIMETZ || kind == KIND_TIMESTAMPTZ) && !offset_at(s, &i, &east))
        return std::nullopt;
    if (dated) {
        if (y == 0) return std::nullopt;
        if (s.compare(i, std::string::npos, " BC") == 0) y = 1 - y, i = s.size();
        if (!date_valid(y, m, d)) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    if (kind == KIND_TIME) return Instant{us, 0};
    if (kind == KIND_TIMETZ) return Instant{us - east * 1000000, -east};
    long long days =
        day_number(y, static_cast<int>(m), static_cast<int>(d)) - day_number(2000, 1, 1);
    if (kind == KIND_DATE) return Instant{days, 0};
    // The viewer reads timestamps within 106,751,989 days of 2000, which holds the server's range.
    if (days > 106751989 || days < -106751989) return std::nullopt;
    return Instant{static_cast<__int128>(days) * 86400000000LL + us - east * 1000000, 0};
}

// Whether the text is a value of the kind.
inline bool is_value(ColumnKind kind, const std::string &text) {
    switch (kind) {
    case KIND_TEXT:
    case KIND_JSON: return true;
    case KIND_INTEGER: return read_integer(text).has_value();
    case KIND_NUMERIC:
    case KIND_FLOAT: return read_decimal(text).has_value();
    case KIND_BOOLEAN: return text == "t" || text == "f";
    default: return read_time_value(kind, text).has_value();
    }
}

template <typename T> int sign(const T &u, const T &v) {
    return u < v ? -1 : v < u ? 1 : 0;
}

// Two values of the kind.
inline int compare_values(ColumnKind kind, const std::string &x, const std::string &y) {
    switch (kind) {
    case KIND_TEXT:
    case KIND_JSON: return sign(copy_decoded(x), copy_decoded(y));
    case KIND_INTEGER: return sign(*read_integer(x), *read_integer(y));
    case KIND_NUMERIC:
    case KIND_FLOAT: return compare_decimal(*read_decimal(x), *read_decimal(y));
    case KIND_BOOLEAN: return sign(x == "t", y == "t");
    default: return sign(*read_time_value(kind, x), *read_time_value(kind, y));
    }
}

// -1, 0 or 1 as field a (alen bytes, or null for a missing field) sorts before, with or after b.
inline int compare(ColumnKind kind, const char *a, size_t alen, const char *b, size_t blen) {
    enum { VALUE, DAMAGED, NUL };
    auto rank = [kind](const char *p, const std::string &text) {
        if (!p) return DAMAGED;
        if (text == "\\N") return NUL;
        return is_value(kind, text) ? VALUE : DAMAGED;
    };
    std::string x = a ? std::string(a, alen) : "", y = b ? std::string(b, blen) : "";
    int rx = rank(a, x), ry = rank(b, y);
    if (rx != ry) return sign(rx, ry);
    if (rx == NUL) return 0;
    if (rx == DAMAGED) return sign(x, y);
    return compare_values(kind, x, y);
}

} // namespace order_reference
