// Cell texts straight from the row lines.
#include "grid/cells.h"

#include "document/copy_escapes.h"
#include "document/fields.h"

#include "grid/shown_rows.h"
#include "base/utf8.h"

#include <string.h>

const char *column_title(const Viewer *viewer, int32_t col) {
    const char *name = col >= 0 && col < MAX_COLS ? viewer->col_names[col] : nullptr;
    return name ? name : "col";
}

void cell_text(const Viewer *viewer, int32_t row, int32_t col, char *room, size_t m) {
    if (m == 0) return;
    room[0] = '\0';
    if (row < 0 || row >= shown_row_count(viewer)) return;
    size_t len = 0;
    RowLine line = shown_line(viewer, row);
    const char *field = field_at(line.start, line.end, col, &len);
    if (!field) return;
    if (len > m - 1) len = m - 1;
    memcpy(room, field, len);
    room[len] = '\0';
    if (field_is_null(field, len)) {
        strncpy(room, "null", m - 1);
        room[m - 1] = '\0';
    }
}

void cell_text_utf16(const Viewer *viewer, int32_t row, int32_t col, uint16_t *room, size_t m) {
    if (m == 0) return;
    room[0] = 0;
    if (row < 0 || row >= shown_row_count(viewer)) return;
    size_t len = 0;
    RowLine line = shown_line(viewer, row);
    const char *field = field_at(line.start, line.end, col, &len);
    if (!field) return;
    if (field_is_null(field, len)) {
        field = "null";
        len = 4;
    }
    utf8_to_utf16(field, len, room, m, nullptr);
}
