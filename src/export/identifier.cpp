// Quoted identifiers read back to the names they stand for, and the names of unnamed columns.
#include "export/identifier.h"

#include <stdio.h>

void add_unquoted_name(StrBuf *out, const char *written) {
    if (written[0] != '"') {
        sb_add(out, written);
        return;
    }
    const char *p = written + 1;
    while (*p) {
        if (*p != '"') {
            sb_add_len(out, p++, 1);
        } else if (p[1] == '"') {
            sb_add_len(out, "\"", 1);
            p += 2;
        } else {
            sb_add(out, p + 1);
            return;
        }
    }
}

const char *column_written_name(const Viewer *viewer, int32_t col) {
    const char *name = col >= 0 && col < MAX_COLS ? viewer->col_names[col] : nullptr;
    if (!name || !name[0] || (name[0] == '"' && name[1] == '"' && !name[2])) return nullptr;
    return name;
}

void add_column_name(StrBuf *out, const Viewer *viewer, int32_t col) {
    const char *written = column_written_name(viewer, col);
    if (written) {
        add_unquoted_name(out, written);
        return;
    }
    char name[24];
    snprintf(name, sizeof name, "column%ld", static_cast<long>(col) + 1);
    sb_add(out, name);
}
