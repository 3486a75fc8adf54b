// The rows as the grid shows them. Everything that reads the grid (cells, colours, cursor,
// selection, copy, find) counts and reads its rows through these, never through the document's
// rows directly, so that the order the grid shows them in is decided in one place.
#pragma once

#include "document/viewer.h"

#include <stdint.h>

// How many rows the grid shows.
inline int32_t shown_row_count(const Viewer *viewer) {
    return viewer->row_count;
}

// The line of the row the grid shows at position r (0 <= r < shown_row_count).
inline const char *shown_row(const Viewer *viewer, int32_t r) {
    return viewer->rows[r];
}
