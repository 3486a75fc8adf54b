// Dates and times read from the text the server writes in ISO DateStyle (pg_dump always sets it),
// as the counts PostgreSQL itself compares. Any other text is no value of the type.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A date, "2024-01-01", "0044-03-15 BC", "12345-06-07", in days since 2000-01-01 (the
// proleptic Gregorian calendar; 1 BC is year 0, a leap year). "infinity" and "-infinity" read as
// INT64_MAX and INT64_MIN, above and below every date.
int date_read(const char *text, size_t len, int64_t *days);

// A timestamp, "2024-01-01 21:00:00.123456" with " BC" after it for years before Christ, in
// microseconds since 2000-01-01 00:00; with_zone, the text carries an offset after the time
// ("+01", "-08", "+05:30", "+00:19:32") and the count is of the UTC instant, so that texts with
// different offsets compare by instant. The infinities read as for date_read.
int timestamp_read(const char *text, size_t len, bool with_zone, int64_t *us);

// A time of day, "21:00:00" or "23:59:59.999999", up to "24:00:00", in microseconds since
// midnight. A fraction beyond microseconds rounds as the server rounds its input (to the nearest
// microsecond, a tie as its double falls: ".1234565" down, ".1234575" up; for every time and
// timestamp type alike), up to its fifteenth digit.
int time_read(const char *text, size_t len, int64_t *us);

// A time with time zone, "21:00:00+01", in the two parts PostgreSQL's timetz_cmp compares: first
// `utc`, the time less its offset in microseconds (which may fall outside one day), then `zone`,
// the offset in seconds west of Greenwich (as the server keeps it), so that of two texts for the
// same instant the one with the zone further east comes first, and they are never equal.
int timetz_read(const char *text, size_t len, int64_t *utc, int32_t *zone);
