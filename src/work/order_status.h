// What the status line says of the rows the grid shows.
#pragma once

#include "document/viewer.h"
#include "work/row_filter.h"

#include <stddef.h>

// The rows shown of the rows there are: "1,234 of 1,000,000 rows" while a filter holds or while an
// order made before the count ended shows fewer rows than are counted, else "1,000,000 rows".
// Written as UTF-8 into out (n bytes).
void format_row_count(char *out, size_t n, const Viewer *viewer);

// What the status line adds to the record's own: the filter in force, named before the count of
// rows while the grid's order is filtered (null: not named), and the selection's sums, shown in
// place of the cursor's column (null: the column is named).
struct StatusParts {
    const RowFilter *filter;
    const char *sums;
};

// The most bytes of a filter's name the status line shows: a longer one is cut at a character and
// ends in "…", so that the count after it still shows.
enum { STATUS_FILTER_NAME_MAX = 240 };

// The header bar's status: the load's status (the table's name and its rows), or while the grid
// shows fewer rows than there are, the name, what filters them ("status = 'paid' — ") and
// format_row_count's "1,234 of 1,000,000 rows" ("counting… " before it while the count goes on).
// On the Data tab then the keys the rows are sorted by, as the header names their columns
// ("   ·   sorted by customer ↑, created ↓"), and the cursor's column, its name as the header shows
// it and its type ("   ·   price numeric(10,2)"), or in its place the selection's sums. UTF-8
// into out (n bytes), cut there at a character.
void format_grid_status(char *out, size_t n, const Viewer *viewer,
                        const StatusParts *parts = nullptr);
