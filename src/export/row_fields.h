// The one place the formats read a shown row's bytes: its fields where document/fields.h says
// they lie, a carriage return before the line feed staying the last byte of the last field, as
// the grid, Ctrl+C, find and sort read it.
#pragma once

#include "document/fields.h"
#include "document/viewer.h"
#include "export/byte_marks.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// A walk over the fields of one shown row (document/fields.h).
using RowFields = FieldWalk;

// Starts the walk of shown row r (0 <= r < shown_row_count) at field `col` (0 or more); the walk
// is already finished when the row has col fields or fewer.
void row_fields_start(const Viewer *viewer, int32_t r, int32_t col, RowFields *walk);

// The next field's raw bytes into *raw and *len, and 1; 0 when the row has no more fields.
inline int row_fields_next(RowFields *walk, const char **raw, size_t *len) {
    return field_walk_next(walk, raw, len) ? 1 : 0;
}

// The same, finding the field's end in the one pass that looks for the bytes `stops` marks,
// which must mark the tab: *clean tells whether the field holds none of them, so that a format
// whose special bytes they are need not look at a clean field again.
inline int row_fields_next_clean(RowFields *walk, const ByteMarks &stops, const char **raw,
                                 size_t *len, bool *clean) {
    const char *field = walk->next;
    if (!field) return 0;
    const char *end = walk->end;
    const char *p = field + first_marked(stops, field, static_cast<size_t>(end - field));
    *clean = p == end || *p == '\t';
    if (!*clean) p = field_end(p, end);
    *raw = field;
    *len = static_cast<size_t>(p - field);
    walk->next = field_after(p, end);
    return 1;
}
