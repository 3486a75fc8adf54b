// The selection's sums in the status line: when they are worked out, and the last ones kept for
// the cells they were worked out for.
#pragma once

#include "document/viewer.h"
#include "grid/cursor.h"

#include <stddef.h>
#include <stdint.h>

// A selection of up to this many cells is summed before the status line is next painted; a
// bigger one once the keys have stopped, as work that Escape stops (it may read millions of rows).
enum : int64_t { SUMS_AT_ONCE_CELLS = 100000 };

// The most bytes of sums the status line shows: a sum longer than that (numeric holds 131,072
// digits) is cut at the end and ends in "…".
enum { SUMS_TEXT_MAX = 200 };

// The sums last worked out and the cells they are for. The window thread's own; a zeroed one keeps
// nothing. Whoever changes the rows shown or what the columns' types are (an order installed, a
// new document, the columns found) forgets them (sums_forget): the same rectangle then holds other
// cells.
// `refused` names cells whose sums were asked to stop (Escape): they are not worked out again
// until the selection changes.
struct KeptSums {
    bool valid;
    SelectionRect rect;
    char text[SUMS_TEXT_MAX + 4];
    bool refused;
    SelectionRect refused_rect;
};

enum SumsWhen {
    SUMS_NONE,  // one cell or none selected, or sums refused for these cells: the status line
                // names the cursor's column
    SUMS_KEPT,  // the kept sums are the selection's
    SUMS_NOW,   // to be worked out now (sums_work_out), before the status line is painted
    SUMS_LATER, // too many cells: worked out once the keys have stopped
};

// Which it is for the viewer's selection now.
SumsWhen sums_when(const Viewer *viewer, const KeptSums *kept);

// The selection's cells: rows times columns of its rectangle.
int64_t selection_cells(const SelectionRect &rect);

// Works the sums of the viewer's selection out (query/selection_sums.h) and keeps them. Returns 1;
// or 0 when the memory cannot be had or the work is asked to stop, keeping nothing.
int sums_work_out(const Viewer *viewer, KeptSums *kept);

// Keeps `text` (len bytes) as the sums of the cells in `rect`, cut as SUMS_TEXT_MAX says.
void sums_keep(KeptSums *kept, const SelectionRect &rect, const char *text, size_t len);

// Forgets the sums kept and the cells refused.
void sums_forget(KeptSums *kept);

// The sums of the cells in `rect` were asked to stop: not worked out again while they are the
// selection.
void sums_refuse(KeptSums *kept, const SelectionRect &rect);

// What the status line shows in place of the cursor's column: the kept sums when they are the
// selection's; "Count …" while a large selection's are still to come; null for one cell or none.
const char *sums_shown(const Viewer *viewer, const KeptSums *kept);
