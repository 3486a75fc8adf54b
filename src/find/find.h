// Finding a text in the grid's cells and in a text tab, ignoring case: what the grid and the text
// tabs call. The needle (needle.h) is the search text made ready; the scan over the document's
// bytes that both searches share is find_scan.h's.
#pragma once

#include "document/viewer.h"
#include "find/needle.h"
#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

enum FindDir { FIND_NEXT, FIND_PREV };

// A match in the grid: its cell, and whether the search went round the end (or the start, going
// back) to reach it.
struct GridHit {
    int32_t row, col;
    int wrapped;
};

// Finds the next (or previous) cell, in the order the grid shows (its rows in the record's
// RowOrder, each row's cells left to right over the grid's col_count columns), after (before) cell
// (row, col) of the grid as shown, whose text as Ctrl+C copies it (its first CELL_SCRATCH - 1
// bytes with the escapes decoded; a NULL as nothing) holds the needle, ignoring case. Goes round
// the grid's end (start) once, so the cell (row, col) itself is the last one tried; a cell outside
// the grid is taken as the nearest one inside. Returns 1 with the hit (its row as shown), or 0,
// leaving *hit alone, when no cell matches (or the grid has no rows or no columns). Reads the row
// lines' bytes with a fast scan and decodes only the cells that can hold a match.
int grid_find(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col, FindDir dir,
              GridHit *hit);

// A match in a text: [start, end), and whether the search went round.
struct TextHit {
    size_t start, end;
    int wrapped;
};

// Finds the first match starting at or after `from` (FIND_NEXT), or the last one starting before
// `from` (FIND_PREV), in the text as shown (the characters utf8.h decodes, a match within one
// line), ignoring case; goes round once. A `from` past the text's end is its end. Returns 1 with
// the hit, or 0, leaving *hit alone, when the text holds none.
int text_find(const TextDoc *doc, const Needle *needle, size_t from, FindDir dir, TextHit *hit);
