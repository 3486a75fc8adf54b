// The one place the formats read a shown row's bytes: its extent and its tab-separated fields.
#pragma once

#include "document/viewer.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

// A walk over the fields of one row, [next, end) being what is left of it. The row's bytes end
// before its line feed and before a carriage return just ahead of it: the server writes a CR in a
// value as "\r", so a raw one there is the line end of a file saved with CR LF. `next` is null
// once the row has no more fields. `escaped` tells whether the row holds a backslash anywhere, so
// that rows without one skip the per-field test. The walk points into the document and owns
// nothing.
struct RowFields {
    const char *next;
    const char *end;
    bool escaped;
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
