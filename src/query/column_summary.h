// A column's summary: what a data tool says about a column at a glance, over the rows as shown,
// each fact as the server's aggregate over the same rows would give it.
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"

#include <stdint.h>

// The most bytes of a value the summary shows; a longer one is cut at a character and ends in "…".
enum { SUMMARY_VALUE_MAX = 1000 };

// Appends the summary of column `col` (its type from the record's col_types; text when unknown)
// over the file rows in[0 .. n - 1] (null `in`: rows 0 .. n - 1), one fact a line:
//
//   <name> <type> — <N> rows         the name as the header shows it; N as the status line counts
//   null: <n>
//   distinct: <n>                    count(DISTINCT col); "distinct: ≈<n>" when estimated (below)
//   min: <value>                     min(col) and max(col) by the sort's order (booleans false
//   max: <value>                     first); "null" when no row holds a value
//   sum: <value>                     integer, numeric and float columns: sum(col) and avg(col) as
//   avg: <value>                     the server prints them (query/exact_sum.h; floats as float8
//                                    to 15 digits, a real widened as the server widens it)
//   shortest: <n>                    character columns: the fewest and most characters of a value,
//   longest: <n>                     as length(col) counts them
//   most common:
//   <count>\t<percent>%\t<value>     up to 10, the most frequent first, equal counts in the type's
//                                    order; the percent of the N rows, to one decimal
//
// A value shows as the file stores it (escapes as written, as the grid shows a cell), spelled as
// the first row in file order holding it (1.0 before 1.00 when 1.0 comes first); equal values are
// the sort's (order/sort_key.h): 1.0 = 1.00, -0 = 0, timestamptz by instant, text by its bytes.
//
// Memory: a table of the distinct values (16 bytes a slot, at most 70 % used) of at most 8 bytes
// a row, or 4 MiB where that is more. Where the column's distinct values do not fit it, the
// table keeps the most frequent ones (Misra and Gries) while a HyperLogLog sketch of 16 KiB counts
// the distinct values: "distinct: ≈<n>", within about 2 % of the count at 99 % odds; a second pass
// then counts exactly the kept values counted most often (at most 1,024 of them, in a table of
// their own), and `most common` lists those held by more rows than any value left out can be,
// closed by "… each other value: at most <m> rows" when that leaves fewer than 10.
//
// Looks at the stop flag every STOP_ROWS rows. Returns 1; or 0 when the memory cannot be had or
// the work is asked to stop, and then `out` is to be discarded. May reallocate out's data.
int column_summary_text(const Viewer *viewer, int32_t col, const int32_t *in, int32_t n,
                        StrBuf *out);
