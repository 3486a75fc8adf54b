// The value view: one cell's whole value in the module's text view, in place of the grid within
// the Data tab. A window of its own (class "TavrinValue") that holds a text view and knows which
// cell it shows; the viewer window lays it out over the grid's place and routes its keys.
#pragma once

#include <windows.h>

#include <stddef.h>
#include <stdint.h>

#include "document/viewer.h"

// Registers the class under the host's instance, replacing one left behind by an earlier load.
void register_value_view_class(void);

// Creates it, hidden, as a child of the viewer window; null when it cannot be made. Made on the
// first Enter (plugin/child_windows.h): the functions below take a null view and do nothing with
// it.
HWND create_value_view(HWND viewer_window);

// The value view of a viewer window, or null.
HWND value_view_of(HWND viewer_window);

// Whether it shows (a cell's value is open).
bool value_view_open(HWND view);

// The text view inside it, which has the keyboard while it shows.
HWND value_view_text_view(HWND view);

// Shows the whole value of cell (row, col) of the grid as shown: COPY escapes decoded, a json
// column's valid JSON indented, a NULL as an empty view. Returns false, leaving the view as it
// was, when there is no such cell or its value cannot be had.
bool value_view_show(HWND view, Viewer *viewer, int32_t row, int32_t col);

// Shows column col's summary (query/column_summary.h): `text`, len bytes from the allocation seam,
// which it takes over in every case. Returns false when there is no view.
bool value_view_show_summary(HWND view, const Viewer *viewer, int32_t col, char *text, size_t len);

// Whether it shows a column's summary (and so no cell).
bool value_view_summary_open(HWND view);

// Hides it and forgets the value; the grid shows again.
void value_view_close(HWND view);

// What the status line says of the open value: "Row 12 of 300, column "price" numeric(10,2)",
// with " — NULL" for a NULL and " — not valid JSON, shown as stored" where that applies; of a
// summary, "Summary of column price numeric(10,2) over 1,234 of 5,000 rows". UTF-8 into out (n
// bytes).
void value_view_describe(HWND view, const Viewer *viewer, char *out, size_t n);

// The cell it shows: where its record's row shows in the grid now, and its column. False when
// none is open, or its record no longer shows (a filter made again over more rows let it out).
bool value_view_cell(HWND view, const Viewer *viewer, int32_t *row, int32_t *col);

// After the grid's order changed: whether the value open (if any) still shows in the grid, so
// that Alt+Up and Alt+Down step from where it is now. True when none is open.
bool value_view_follow(HWND view, const Viewer *viewer);
