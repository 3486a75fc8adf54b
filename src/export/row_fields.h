// The one place the formats read a shown row's bytes: its extent and its tab-separated fields.
#pragma once

#include "document/viewer.h"
#include "export/byte_marks.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// A walk over the fields of one row, [next, end) being what is left of it. The row's bytes end
// before its line feed and before a carriage return just ahead of it: the server writes a CR in a
// value as "\r", so a raw one there is the line end of a file saved with CR LF. `next` is null
// once the row has no more fields. The walk points into the document and owns nothing.
struct RowFields {
    const char *next;
    const char *end;
};

// Starts the walk of shown row r (0 <= r < shown_row_count) at field `col` (0 or more); the walk
// is already finished when the row has col fields or fewer.
void row_fields_start(const Viewer *viewer, int32_t r, int32_t col, RowFields *walk);

// The next field's raw bytes into *raw and *len, and 1; 0 when the row has no more fields.
inline int row_fields_next(RowFields *walk, const char **raw, size_t *len) {
    const char *field = walk->next;
    if (!field) return 0;
    const size_t left = static_cast<size_t>(walk->end - field);
    const char *tab = static_cast<const char *>(memchr(field, '\t', left));
    *raw = field;
    *len = tab ? static_cast<size_t>(tab - field) : left;
    walk->next = tab ? tab + 1 : nullptr;
    return 1;
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
    if (!*clean) p = static_cast<const char *>(memchr(p, '\t', static_cast<size_t>(end - p)));
    if (!p) p = end;
    *raw = field;
    *len = static_cast<size_t>(p - field);
    walk->next = p < end ? p + 1 : nullptr;
    return 1;
}
