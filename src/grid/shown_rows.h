// The rows as the grid shows them. Everything that reads the grid (cells, colours, cursor,
// selection, copy, find) counts and reads its rows through these, never through the document's
// rows directly, so that the order the grid shows them in (the record's RowOrder) is honoured
// everywhere alike.
#pragma once

#include "document/rows.h"
#include "document/viewer.h"

#include <stdint.h>

// How many rows the grid shows.
inline int32_t shown_row_count(const Viewer *viewer) {
    return viewer->order.shown ? viewer->order.shown_count : viewer->row_count;
}

// The file row the grid shows at position r (0 <= r < shown_row_count).
inline int32_t shown_file_row(const Viewer *viewer, int32_t r) {
    return viewer->order.shown ? viewer->order.shown[r] : r;
}

// The line of the row the grid shows at position r (0 <= r < shown_row_count).
inline RowLine shown_line(const Viewer *viewer, int32_t r) {
    return row_line(viewer, shown_file_row(viewer, r));
}
