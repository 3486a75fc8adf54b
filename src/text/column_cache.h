// Remembered columns of long lines, so that a column of a line of megabytes costs a walk from the
// nearest remembered point, never from the line's start each time.
#pragma once

#include <stddef.h>

// A place on a line: a character start's byte offset from the line's start, and its column.
struct ColumnSpot {
    size_t off, col;
};

// Owned by its user, who must clear it whenever the text it was used with changes. Its memory is
// bounded (at most 1 MiB however long or many the lines), taken through the allocation seam; when
// that memory cannot be had it still answers, by walking from the line's start.
struct ColumnCache;
ColumnCache *column_cache_new(void);     // null when the memory cannot be had
void column_cache_clear(ColumnCache *c); // forget every line
void column_cache_delete(ColumnCache *c);

// On line number `line`, whose content is s[0, len): the character start at byte offset `off`, or
// the first after it, with its column. A null cache walks from the line's start.
ColumnSpot column_seek_offset(ColumnCache *c, size_t line, const char *s, size_t len, size_t off);

// The start of the character covering column col on that line, or the line's end before col.
ColumnSpot column_seek_column(ColumnCache *c, size_t line, const char *s, size_t len, size_t col);
