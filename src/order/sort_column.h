// The column being sorted, and the one place the order code reads the rows' bytes.
#pragma once

#include "document/column_types.h"
#include "document/rows.h"
#include "document/viewer.h"
#include "order/sort_key.h"

#include <stddef.h>
#include <stdint.h>

// Column `col` of the document's rows, read as values of `kind`. Borrows the viewer.
//
// Relies on the rows being the consecutive lines of one block (document/rows.h): row r + 1 starts
// right after row r's line feed, so a row's end is known without a search. A field's place is a
// 32-bit number that grows with the row, so comparing two places compares their rows: the field's
// offset from the first row's start while the rows' block is under 4 GiB, which finds the field
// again at once, and the row itself past that (`by_row`), whose field is then found again by a walk
// along its line.
struct SortColumn {
    const Viewer *viewer;
    int32_t col;
    ColumnKind kind;
    const char *block_end; // the last row's end: the rows' bytes may be read up to it
    bool by_row;
};

// The column `col` of the viewer's rows (row_count > 0), read as `kind`.
SortColumn sort_column_of(const Viewer *viewer, int32_t col, ColumnKind kind);

// The field of file row `row` (0 <= row < row_count) in the column: its start, with its length in
// *len and its offset in *offset; null when the row has fewer fields, and then *offset is that of
// the row's end, which keeps the row's place.
const char *sort_column_field(const SortColumn *column, int32_t row, size_t *len, uint32_t *offset);

// The field at `offset` (as sort_column_field gave it, for a field the row has), and its length.
const char *sort_column_field_at(const SortColumn *column, uint32_t offset, size_t *len);

// Hints for a walk over rows or fields in an order of their own, where each read would otherwise
// wait on memory: fetch a row's slot in the row array (some 16 steps ahead), the row's first bytes
// (some 8 steps ahead, once its slot has come: two cache lines, which most rows fill), or the
// field at an offset.
inline void sort_column_prefetch_slot(const SortColumn *column, int32_t row) {
    const RowIndex *index = &column->viewer->rows;
    __builtin_prefetch(&index->chunks[row >> ROW_CHUNK_BITS][row & (ROW_CHUNK - 1)]);
}
inline void sort_column_prefetch_row(const SortColumn *column, int32_t row) {
    const char *line = row_start(column->viewer, row);
    __builtin_prefetch(line);
    __builtin_prefetch(line + 64);
}
inline void sort_column_prefetch_at(const SortColumn *column, uint32_t place) {
    if (column->by_row)
        sort_column_prefetch_row(column, static_cast<int32_t>(place));
    else
        __builtin_prefetch(rows_begin(column->viewer) + place);
}

// The sort key of file row `row`'s field, with the field's offset in *offset.
inline void sort_column_key(const SortColumn *column, int32_t row, SortKey *key, uint32_t *offset) {
    size_t len = 0;
    const char *field = sort_column_field(column, row, &len, offset);
    sort_key_open(key, column->kind, field, len);
}
