// The sum and the average of numbers as the server's sum() and avg() give them, shared by a
// column's summary and the selection's sums so that both say the same of the same values.
#pragma once

#include "base/strbuf.h"
#include "document/column_types.h"
#include "query/exact_sum.h"

#include <stddef.h>
#include <stdint.h>

// Numbers added up: exactly (integers and numeric), or as float8 where the server sums float8
// (a float column, or a selection mixing floats with other numbers). Zero-initialised; `exact`
// owns blocks that number_sums_free gives back.
struct NumberSums {
    ExactSum exact;
    double floating;
    int64_t floats; // values summed as floats
};

// Adds one field of a number column of `kind`: as a float8 when `as_float` (a real read as a
// float first when `single`, as the server widens it), else an integer by value and a numeric by
// its text. A field that is no number of its kind, or of another kind, adds nothing.
void number_sums_add(NumberSums *s, ColumnKind kind, bool as_float, bool single, const char *field,
                     size_t len);

// Appends the sum, then `between`, then the average: float sums as float8 results print, the
// others exactly. Where no value was summed both say "null", as the server does.
void number_sums_text(const NumberSums *s, bool as_float, const char *between, StrBuf *out);

void number_sums_free(NumberSums *s);
