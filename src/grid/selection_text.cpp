// Selection export text: each row walked once from its first selected field.
#include "grid/selection_text.h"

#include "grid/cells.h"
#include "grid/cursor.h"

#include <string.h>

size_t unescape_cell(const char *raw, size_t raw_len, char *out) {
    size_t o = 0;
    const size_t limit = CELL_SCRATCH - 1;
    for (size_t i = 0; i < raw_len && o < limit; ++i) {
        char c = raw[i];
        if (c != '\\') {
            out[o++] = c;
        } else if (i + 1 == raw_len) {
            out[o++] = '\\';
        } else {
            char x = raw[++i];
            if (x == 't')
                out[o++] = ' ';
            else if (x != 'n' && x != 'r')
                out[o++] = x;
        }
    }
    out[o] = '\0';
    return o;
}

static void add_cell(StrBuf *text, const char *field, size_t len, char *decoded) {
    if (!field) return;
    if (len > CELL_SCRATCH - 1) len = CELL_SCRATCH - 1;
    if (len == 2 && field[0] == '\\' && field[1] == 'N') return;
    sb_add_len(text, decoded, unescape_cell(field, len, decoded));
}

int selection_text(const Viewer *viewer, StrBuf *text) {
    text->data = nullptr;
    if (viewer->row_count <= 0 || viewer->col_count <= 0) return 0;
    SelectionRect sel = selection_rect(viewer);
    if (!sb_init(text)) return 0;
    char decoded[CELL_SCRATCH];
    for (int32_t r = sel.r0; r <= sel.r1 && !text->failed; ++r) {
        size_t len = 0;
        const char *field = field_at(viewer->rows[r], sel.c0, &len);
        for (int32_t c = sel.c0; c <= sel.c1; ++c) {
            add_cell(text, field, len, decoded);
            if (c < sel.c1) {
                sb_add_len(text, "\t", 1);
                if (field) field = next_field(field + len, &len);
            }
        }
        sb_add_len(text, "\r\n", 2);
    }
    if (text->failed) {
        sb_drop(text);
        return 0;
    }
    return 1;
}
