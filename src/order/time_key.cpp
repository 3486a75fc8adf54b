// ISO dates and times to day and microsecond counts.
#include "order/time_key.h"

#include <string.h>

namespace {

const int64_t US_PER_SECOND = 1000000;
const int64_t US_PER_DAY = 86400 * US_PER_SECOND;

// Farthest day from 2000-01-01 whose microseconds, plus a day and an offset, still fit 64 bits:
// the server's timestamps end well inside it (4714 BC to 294276 AD).
const int64_t DAYS_MAX = 106751989;

struct Cursor {
    const char *p;
    const char *end;
};

// Reads min_digits to max_digits decimal digits.
bool read_digits(Cursor *c, int min_digits, int max_digits, int64_t *value) {
    int64_t v = 0;
    int n = 0;
    while (n < max_digits && c->p < c->end && *c->p >= '0' && *c->p <= '9') {
        v = v * 10 + (*c->p++ - '0');
        ++n;
    }
    *value = v;
    return n >= min_digits;
}

bool read_byte(Cursor *c, char byte) {
    if (c->p == c->end || *c->p != byte) return false;
    ++c->p;
    return true;
}

bool is_leap(int64_t year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int month_length(int64_t year, int64_t month) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : lengths[month - 1];
}

// Days from 2000-01-01 to the date in the proleptic Gregorian calendar (astronomical years),
// counted in whole 400-year eras from 1 March of year 0, whose leap day falls last.
int64_t days_from_civil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t year_of_era = year - era * 400;
    int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 730425;
}

// "Y-MM-DD" with a year of up to nine digits (before the BC mark that ends the text, if any).
struct Ymd {
    int64_t year, month, day;
};
bool read_ymd(Cursor *c, Ymd *date) {
    return read_digits(c, 1, 9, &date->year) && read_byte(c, '-') &&
           read_digits(c, 2, 2, &date->month) && read_byte(c, '-') &&
           read_digits(c, 2, 2, &date->day);
}

// The day count of a date read before an optional " BC" that ends the text; false for a year 0,
// a month or day outside the calendar, or text left over.
bool finish_date(Cursor *c, Ymd date, int64_t *days) {
    static const char bc[] = " BC";
    if (date.year == 0) return false;
    if (static_cast<size_t>(c->end - c->p) == sizeof bc - 1 &&
        memcmp(c->p, bc, sizeof bc - 1) == 0) {
        date.year = 1 - date.year;
        c->p = c->end;
    }
    if (c->p != c->end || date.month < 1 || date.month > 12) return false;
    if (date.day < 1 || date.day > month_length(date.year, date.month)) return false;
    *days = days_from_civil(date.year, date.month, date.day);
    return true;
}

// The microseconds of a fraction of a second written as `places` digits (at least one), as the
// server reads them: the fraction as the double nearest to it, times a million, rounded to the
// nearest whole number, a tie to the even one (rint(strtod(".ddd") * 1000000)), so that
// ".1234565" is 123456 microseconds and ".1234575" 123458. Up to six digits that is the digits
// themselves. Up to fifteen, the digits as one number over a power of ten, both exact as doubles,
// make that nearest double in one division, as strtod does. Digits past the fifteenth, which no
// server writes, are not read.
int64_t fraction_us(const char *digits, size_t places) {
    static const double POWERS_OF_TEN[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const size_t used = places < 15 ? places : 15;
    int64_t n = 0;
    for (size_t i = 0; i < used; ++i) n = n * 10 + (digits[i] - '0');
    if (used <= 6) {
        for (size_t i = used; i < 6; ++i) n *= 10;
        return n;
    }
    const double us = static_cast<double>(n) / POWERS_OF_TEN[used] * 1000000.0;
    int64_t whole = static_cast<int64_t>(us);
    const double part = us - static_cast<double>(whole);
    if (part > 0.5 || (part == 0.5 && whole % 2 != 0)) ++whole;
    return whole;
}

// "HH:MM:SS" with an optional fraction, in microseconds; at most 24:00:00 once the fraction is
// rounded, as the server checks it.
bool read_time(Cursor *c, int64_t *us) {
    int64_t hours, minutes, seconds;
    if (!read_digits(c, 1, 2, &hours) || !read_byte(c, ':') || !read_digits(c, 2, 2, &minutes) ||
        !read_byte(c, ':') || !read_digits(c, 2, 2, &seconds) || minutes > 59 || seconds > 60)
        return false;
    int64_t fraction = 0;
    if (read_byte(c, '.')) {
        const char *digits = c->p;
        while (c->p < c->end && *c->p >= '0' && *c->p <= '9') ++c->p;
        if (c->p == digits) return false;
        fraction = fraction_us(digits, static_cast<size_t>(c->p - digits));
    }
    *us = ((hours * 60 + minutes) * 60 + seconds) * US_PER_SECOND + fraction;
    return *us <= US_PER_DAY;
}

// "+HH", "+HH:MM" or "+HH:MM:SS" (or '-'), in seconds east of Greenwich; at most 15:59:59.
bool read_offset(Cursor *c, int32_t *east) {
    if (c->p == c->end || (*c->p != '+' && *c->p != '-')) return false;
    bool west = *c->p++ == '-';
    int64_t hours, minutes = 0, seconds = 0;
    if (!read_digits(c, 2, 2, &hours) || hours > 15) return false;
    if (read_byte(c, ':') && (!read_digits(c, 2, 2, &minutes) || minutes > 59)) return false;
    if (read_byte(c, ':') && (!read_digits(c, 2, 2, &seconds) || seconds > 59)) return false;
    int32_t total = static_cast<int32_t>((hours * 60 + minutes) * 60 + seconds);
    *east = west ? -total : total;
    return true;
}

// "infinity" or "-infinity" (or "+infinity"), as the largest or smallest count.
bool read_infinity(const char *text, size_t len, int64_t *value) {
    const char *p = text;
    bool negative = len > 0 && *p == '-';
    if (len > 0 && (*p == '-' || *p == '+')) ++p, --len;
    if (len != 8 || memcmp(p, "infinity", 8) != 0) return false;
    *value = negative ? INT64_MIN : INT64_MAX;
    return true;
}

} // namespace

int date_read(const char *text, size_t len, int64_t *days) {
    if (read_infinity(text, len, days)) return 1;
    Cursor c = {text, text + len};
    Ymd date;
    return read_ymd(&c, &date) && finish_date(&c, date, days);
}

int timestamp_read(const char *text, size_t len, bool with_zone, int64_t *us) {
    if (read_infinity(text, len, us)) return 1;
    Cursor c = {text, text + len};
    Ymd date;
    int64_t time, days;
    int32_t east = 0;
    if (!read_ymd(&c, &date) || !read_byte(&c, ' ') || !read_time(&c, &time)) return 0;
    if (with_zone && !read_offset(&c, &east)) return 0;
    if (!finish_date(&c, date, &days) || days > DAYS_MAX || days < -DAYS_MAX) return 0;
    *us = days * US_PER_DAY + time - east * US_PER_SECOND;
    return 1;
}

int time_read(const char *text, size_t len, int64_t *us) {
    Cursor c = {text, text + len};
    return read_time(&c, us) && c.p == c.end;
}

int timetz_read(const char *text, size_t len, int64_t *utc, int32_t *zone) {
    Cursor c = {text, text + len};
    int64_t time;
    int32_t east;
    if (!read_time(&c, &time) || !read_offset(&c, &east) || c.p != c.end) return 0;
    *utc = time - east * US_PER_SECOND;
    *zone = -east;
    return 1;
}
