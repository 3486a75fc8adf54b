// The selection's sums for the status line, as a spreadsheet's status bar shows them: the count of
// the selected cells that hold a value, and for a selection of number columns their sum and
// average as the server would compute them.
#pragma once

#include "base/strbuf.h"
#include "document/viewer.h"

#include <stdint.h>

// Appends the sums of the rectangle of shown rows r0 .. r1 and columns c0 .. c1 (both included,
// within the grid) to out: "Count 1,234" (cells that are not NULL, the count grouped as the
// status line groups counts), then, when every selected column is a number column (the record's
// col_types), "   Sum 5.5   Avg 2.75". The sum and average are the server's: of integers and
// numerics exact, printed as sum() and avg() of numeric print them; with any real or double
// precision column among them in float8 (integers and numerics widened as the server widens
// them), to 15 significant digits; "null" over no values. A cell that is no value of its column's
// type (a damaged file) counts but is not summed.
//
// Looks at the stop flag every STOP_ROWS rows; returns 1, or 0 when asked to stop or when memory
// ran out, and then out is to be discarded. May reallocate out's data.
int selection_sums_text(const Viewer *viewer, int32_t r0, int32_t r1, int32_t c0, int32_t c1,
                        StrBuf *out);
