// The field walk over the grid's shown rows.
#include "export/row_fields.h"

#include "grid/shown_rows.h"

void row_fields_start(const Viewer *viewer, int32_t r, int32_t col, RowFields *walk) {
    const RowLine line = shown_line(viewer, r);
    *walk = field_walk(line.start, line.end, col);
}
