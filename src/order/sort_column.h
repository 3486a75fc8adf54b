// The column being sorted, and the one place the order code reads a row's bytes: rows are about to
// stop being NUL-terminated lines, and only this header should need to change when they do.
#pragma once

#include "document/column_types.h"
#include "document/viewer.h"
#include "grid/cells.h"
#include "order/sort_key.h"

#include <stddef.h>
#include <stdint.h>

// Column `col` of the document's rows, read as values of `kind`. Borrows the viewer.
struct SortColumn {
    const Viewer *viewer;
    int32_t col;
    ColumnKind kind;
};

// The field of file row `row` (0 <= row < row_count) in the column: its bytes, with its length in
// *len, or null when the row has fewer fields.
inline const char *sort_column_field(const SortColumn *column, int32_t row, size_t *len) {
    return field_at(column->viewer->rows[row], column->col, len);
}

// The sort key of file row `row`'s field.
inline void sort_column_key(const SortColumn *column, int32_t row, SortKey *key) {
    size_t len = 0;
    const char *field = sort_column_field(column, row, &len);
    sort_key_open(key, column->kind, field, len);
}
