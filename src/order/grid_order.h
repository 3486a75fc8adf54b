// The order the grid shows its rows in: a filter that narrows them to the rows holding a text,
// and a sort by one column in PostgreSQL's order for its type, together or apart. Each change
// keeps the cursor on its record (the same file row) when that row still shows, the selection
// collapsed onto it; the Windows side then tells the grid its new row count and repaints.
#pragma once

#include "document/viewer.h"
#include "find/needle.h"

#include <stdint.h>

// Shows only the rows with a cell (among the grid's columns) whose text as Ctrl+C copies it holds
// the needle, ignoring case as find does, in the sort's order; a null or empty needle shows every
// row again. Returns 1, or 0 when the memory cannot be had (the grid then shows what it showed).
// Costs one scan over the data block and one pass over the sort's order.
int grid_set_filter(Viewer *viewer, const Needle *needle);

// Sorts the rows shown by column `col` in PostgreSQL's order for its type (the record's
// col_types; text when unknown), ascending or descending, equal values in file order both ways;
// SORT_NONE puts them back in file order. A filter that holds keeps holding. Returns 1, or 0 when
// the memory cannot be had (the grid then shows what it showed). The order costs 4 bytes a row
// while it holds (4 more for a filter's rows); a sort takes at most 16 more a row while it runs,
// and turning an ascending sort of the same column round takes none and one pass.
int grid_set_sort(Viewer *viewer, int32_t col, SortDir dir);

// Back to every row in file order, no sort and no filter, the cursor and the anchor on the records
// they stood on: for an order to be made again over rows that were not all there (a count that
// ended) without losing the cursor's record.
void grid_forget_order(Viewer *viewer);

// The rows shown of the rows there are, for the status line: "1,234 of 1,000,000 rows" while a
// filter holds, else "1,000,000 rows". Written as UTF-8 into out (n bytes).
void format_row_count(char *out, size_t n, const Viewer *viewer);

// The header bar's status: the load's status (the table's name and its rows), or while a filter
// holds the name and format_row_count's "1,234 of 1,000,000 rows"; on the Data tab then the
// cursor's column, its name as the header shows it and its type: "   ·   price numeric(10,2)".
// UTF-8 into out (n bytes, cut there).
void format_grid_status(char *out, size_t n, const Viewer *viewer);
