// Row extent and field walk over the grid's shown rows.
#include "export/row_fields.h"

#include "grid/shown_rows.h"

void row_fields_start(const Viewer *viewer, int32_t r, int32_t col, RowFields *walk) {
    const char *line = shown_row(viewer, r);
    size_t len = strlen(line);
    if (len > 0 && line[len - 1] == '\r') --len;
    walk->next = line;
    walk->end = line + len;
    const char *skipped = nullptr;
    size_t unused = 0;
    for (int32_t c = 0; c < col && row_fields_next(walk, &skipped, &unused); ++c) {
    }
}
