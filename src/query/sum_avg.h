// The sum and the average of numbers as the server's sum() and avg() print them, shared by a
// column's summary and the selection's sums so that both say the same of the same values.
#pragma once

#include "base/strbuf.h"
#include "query/exact_sum.h"

#include <stdint.h>

// Appends the sum, then `between`, then the average. Float sums (`as_float`: `floating` over
// `floats` values) print as float8 results do; the others from `exact`. Where no value was summed
// both say "null", as the server does.
void sum_avg_text(bool as_float, double floating, int64_t floats, const ExactSum *exact,
                  const char *between, StrBuf *out);
