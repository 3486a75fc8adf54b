// The Data grid: an owner-data report list view fed from the record at paint time.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Rebuilds the grid's columns and row count from the record.
void populate_grid(Viewer *viewer);

// Answers a notification whose sender is the grid: cell texts and custom-drawn colours.
LRESULT grid_notify(Viewer *viewer, const NMHDR *header);

// After the rows shown changed (a filter, a sort): gives the grid its new row count, brings the
// cursor into view and repaints.
void grid_rows_changed(Viewer *viewer);

// More rows were counted while the grid shows them in file order: its row count grows, the rows
// in view and the scroll position staying.
void grid_rows_grew(Viewer *viewer);

// Sorts the grid's rows by column col (SORT_NONE: file order again) as work of the viewer
// (plugin/grid_orders.h): once handed over, the header's arrow shows on the sorted column, and the
// cursor stays on its record, in view.
void grid_sort(Viewer *viewer, int32_t col, SortDir dir);

// The header control's own sort arrow on each sort key's column, and on no other.
void grid_show_sort_arrows(Viewer *viewer);

// Before the grid paints: the part below its last row and right of its last column, which shows
// the list view's own background, takes the system's window colour as it is now, as the views
// do (plugin/high_contrast.h).
void grid_follow_window_colour(HWND grid);

// Scrolls the cursor cell into view; nothing when there are no rows.
void ensure_cell_visible(Viewer *viewer);

// Connects cursor moves to this grid's scrolling and repainting.
void install_grid_view(void);
