// The part of the text in view, and the view's decisions that are arithmetic on it: where to
// scroll so that the caret shows, which position a point hits, which columns a selection covers.
#pragma once

#include "text/columns.h"
#include "text/text_doc.h"

#include <stddef.h>

// top and left: the first line and column in view; rows and cols: the whole lines and columns the
// window shows (at least 1 each; a partly shown last line or column does not count).
struct TextViewport {
    size_t top, left;
    size_t rows, cols;
};

// Keeps the view inside the text: `top` at most the line that shows the text's last line at the
// bottom, `left` at most the column that shows column `columns` (the widest line's end, where a
// caret may stand) at the right edge; so no key, bar or wheel scrolls into blank space beyond.
void viewport_clamp(TextViewport *v, size_t line_count, size_t columns);

// Scrolls the least that brings line `line`, column `col` into view. A column out of view to the
// side is brought in with a margin of up to 8 columns, so that the characters around the caret
// show too, rather than one column at a time.
void viewport_show(TextViewport *v, size_t line, size_t col);

// The position a point hits: `row` whole lines below the top line (negative above it; clamped to
// the text), at `x` eighths of a column from the view's left edge (negative left of it). A point
// over a character's left half gives the position before it, over its right half the one after;
// past a line's end, its end.
size_t viewport_hit(const TextViewport *v, const TextDoc *doc, ColumnCache *c, long row, long x);

// The columns [*c0, *c1) of line `line` that the selection [start, end) covers, the line break
// counting as one column when the selection runs on past the line's end. Returns 0 (and sets
// nothing) when the selection leaves the line alone.
int selection_columns(const TextDoc *doc, ColumnCache *c, size_t line, size_t start, size_t end,
                      size_t *c0, size_t *c1);
