// Sums and averages of integer and numeric values, exact whatever their count and size, printed as
// PostgreSQL's sum() and avg() print them.
#pragma once

#include "base/strbuf.h"

#include <stddef.h>
#include <stdint.h>

// A big natural number in base 1,000,000,000, least significant limb first; `limbs` comes from
// base/mem.h and belongs to the number (null while it is 0). n is the limbs in use, none of them
// a leading 0 limb.
struct BigNat {
    uint32_t *limbs;
    int32_t n;
    int32_t cap;
};

// The running sum of values added one by one: (small + pos - neg) x 10^-scale, where `scale` is
// the largest display scale of a value added so far (the digits after its point as written, as
// the server keeps a numeric's), and the specials apart. `small` takes each value that fits (most
// do) and is folded into pos or neg before it could overflow, so that the big numbers are touched
// rarely. A zeroed ExactSum is an empty sum; exact_sum_free frees its blocks. When memory cannot
// be had, `failed` is set and the sum is no longer exact: its text is then not to be shown.
struct ExactSum {
    int64_t count; // values added, the specials included
    int32_t scale;
    __int128 small;
    BigNat pos, neg;
    int64_t nans, infinities, minus_infinities;
    bool failed;
};

void exact_sum_free(ExactSum *sum);

// Adds an integer (display scale 0).
void exact_sum_add_integer(ExactSum *sum, int64_t value);

// Adds a numeric's text as the server writes it ("-12.50", "NaN", "Infinity", "-Infinity"; an
// exponent, "1.5e3", is read too). Returns 0, adding nothing, for text that is no such number or
// one the server's numeric cannot hold (over 131,072 digits before the point or 16,383 after).
int exact_sum_add_text(ExactSum *sum, const char *text, size_t len);

// Appends the sum as sum(numeric) prints it: the digits with `scale` of them after the point, NaN
// when a NaN was added or both infinities, else Infinity or -Infinity when one was; "null" when
// nothing was added. May reallocate out's data.
void exact_sum_text(const ExactSum *sum, StrBuf *out);

// Appends the average, sum / count, as avg() over integers or numerics prints it: rounded (half
// away from zero) to the scale the server's numeric division chooses, at least 16 significant
// digits and never fewer digits after the point than the sum has; the specials as for the sum;
// "null" when nothing was added.
void exact_sum_avg_text(const ExactSum *sum, StrBuf *out);
