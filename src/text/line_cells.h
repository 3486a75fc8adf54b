// Drawing preparation for the text view: the characters of the columns in view as UTF-16 units,
// each with its column.
#pragma once

#include "text/column_cache.h"
#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// The part of line `line` between columns first and first + count, as UTF-16 to draw: a tab as
// blanks up to its stop, each character as shown_char, ill-formed bytes as U+FFFD, a character
// cut by either edge as blanks for its columns in view. Writes at most `room` units into `units`
// and, for each, in `unit_cols` (room + 1 entries), its column counted from `first`; the second
// unit of a surrogate pair has the same column as the first. unit_cols[n] is the column after the
// last character written. Returns n, the units written. Costs the columns in view, plus the walk
// to `first` from the nearest remembered point.
size_t line_cells(ColumnCache *c, const TextDoc *doc, size_t line, size_t first, size_t count,
                  uint16_t *units, uint32_t *unit_cols, size_t room);
