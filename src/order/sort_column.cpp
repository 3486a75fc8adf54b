// Fields of the sorted column found in the rows' block, where document/fields.h says they lie.
#include "order/sort_column.h"

#include "document/fields.h"

SortColumn sort_column_of(const Viewer *viewer, int32_t col, ColumnKind kind) {
    const char *end = rows_end(viewer);
    const bool by_row = static_cast<uint64_t>(end - rows_begin(viewer)) > UINT32_MAX;
    return {viewer, col, kind, end, by_row};
}

const char *sort_column_field(const SortColumn *column, int32_t row, size_t *len,
                              uint32_t *offset) {
    const Viewer *v = column->viewer;
    RowLine line = row_line(v, row);
    const char *field = nullptr, *stop = line.end;
    if (column->col >= 0)
        field_find(line.start, line.end, column->col, column->block_end, &field, &stop);
    *offset = column->by_row ? static_cast<uint32_t>(row)
                             : static_cast<uint32_t>((field ? field : line.end) - rows_begin(v));
    *len = static_cast<size_t>(stop - (field ? field : stop));
    return field;
}

const char *sort_column_field_at(const SortColumn *column, uint32_t offset, size_t *len) {
    if (column->by_row) {
        uint32_t unused;
        return sort_column_field(column, static_cast<int32_t>(offset), len, &unused);
    }
    const char *field = rows_begin(column->viewer) + offset;
    *len = static_cast<size_t>(field_stop(field, column->block_end) - field);
    return field;
}
