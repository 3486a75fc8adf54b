// Character cells of the text view: how wide each character is on screen, which column a position
// is at, which position a column is at, and the cells of the part of a line that is in view.
#pragma once

#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// Tabs stop every TAB_STOP columns, counted from the line's start.
enum { TAB_STOP = 8 };

// Columns a character other than a tab takes: 2 for East Asian wide and fullwidth characters
// (CJK ideographs, kana, hangul syllables, fullwidth forms, emoji), else 1.
int char_columns(uint32_t cp);

// What the view draws for a character other than a tab: a control character (U+0000 to U+001F
// and U+007F) as its Unicode control picture (U+2400 + code, U+2421 for DEL), so a stray carriage
// return shows; everything else as itself.
uint32_t shown_char(uint32_t cp);

// Remembered columns of long lines, so that a column of a line of megabytes costs a walk from the
// nearest remembered point, never from the line's start each time. Owned by its user, who must
// clear it whenever the text it was used with changes. Its memory is bounded (at most 1 MiB
// however long or many the lines), taken through the allocation seam; when that memory cannot be
// had it still answers, by walking from the line's start.
struct ColumnCache;
ColumnCache *column_cache_new(void);     // null when the memory cannot be had
void column_cache_clear(ColumnCache *c); // forget every line
void column_cache_delete(ColumnCache *c);

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

// The part of line `line` between columns first and first + count, as UTF-16 to draw: a tab as
// blanks up to its stop, each character as shown_char, ill-formed bytes as U+FFFD, a character
// cut by either edge as blanks for its columns in view. Writes at most `room` units into `units`
// and, for each, in `unit_cols` (room + 1 entries), its column counted from `first`; the second
// unit of a surrogate pair has the same column as the first. unit_cols[n] is the column after the
// last character written. Returns n, the units written. Costs the columns in view, plus the walk
// to `first` from the nearest remembered point.
size_t line_cells(ColumnCache *c, const TextDoc *doc, size_t line, size_t first, size_t count,
                  uint16_t *units, uint32_t *unit_cols, size_t room);
