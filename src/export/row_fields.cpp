// Row extent and field walk over the grid's shown rows.
#include "export/row_fields.h"

#include "grid/shown_rows.h"

void row_fields_start(const Viewer *viewer, int32_t r, int32_t col, RowFields *walk) {
    RowLine line = shown_line(viewer, r);
    size_t len = static_cast<size_t>(line.end - line.start);
    if (len > 0 && line.start[len - 1] == '\r') --len;
    walk->next = line.start;
    walk->end = line.start + len;
    const char *skipped = nullptr;
    size_t unused = 0;
    for (int32_t c = 0; c < col && row_fields_next(walk, &skipped, &unused); ++c) {
    }
}
