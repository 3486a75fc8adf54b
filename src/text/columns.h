// Columns of the text view's lines: which column a position is at, and which position a column is
// at, through the column cache (column_cache.h) and the character widths (char_width.h).
#pragma once

#include "text/column_cache.h"
#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// The column at which position pos (on line `line`, between its start and end) is: the columns
// of the characters before it. A null cache walks from the line's start.
size_t column_of(ColumnCache *c, const TextDoc *doc, size_t line, size_t pos);

// The position on line `line` for column col: the start of the character that covers col (a tab
// covers every column up to its stop), or the line's end when col lies at or past it. With
// `nearest`, a column in the right half of a character gives the position after it instead, as a
// click between characters expects.
size_t pos_at_column(ColumnCache *c, const TextDoc *doc, size_t line, size_t col, int nearest);

// The columns of a whole line (where its end is).
size_t line_columns(ColumnCache *c, const TextDoc *doc, size_t line);
