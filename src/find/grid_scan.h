// The grid's search in the data block's own bytes, in file order: the fast scan that grid_find
// (find.h) builds on, for the order the grid shows its rows in.
#pragma once

#include "document/viewer.h"
#include "find/find.h"

#include <stddef.h>
#include <stdint.h>

// Whether a cell whose raw field is `len` bytes at `field` holds the needle as Ctrl+C copies it:
// its first CELL_SCRATCH - 1 bytes decoded, a NULL as nothing.
bool grid_cell_holds(const Needle *needle, const char *field, size_t len);

// grid_find's answer for rows in file order (the record's RowOrder left aside): rows and cells in
// reading order, which is the data block's byte order.
int grid_scan_find(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col,
                   FindDir dir, GridHit *hit);

// Sets bit f (bits[f / 8] & 1 << f % 8) of every file row f with a cell, among the grid's
// col_count columns, holding the needle; leaves the other bits as they are. Returns how many rows
// it set. One scan over the data block, whatever the grid's order. `bits` holds
// (row_count + 7) / 8 bytes.
int32_t grid_scan_rows(const Viewer *viewer, const Needle *needle, uint8_t *bits);
