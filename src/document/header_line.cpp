// Header line parsing: names and table name, with double-quoted identifiers kept whole.
#include "document/header_line.h"

#include <stdio.h>
#include <string.h>

namespace {

// First occurrence of `c` (followed by `next` when that is not NUL) outside double quotes in the
// NUL-terminated text, or null. A doubled quote toggles twice, so it stays inside its stretch.
char *find_unquoted(char *text, char c, char next) {
    bool quoted = false;
    for (char *p = text; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (!quoted && *p == c && (next == '\0' || p[1] == next)) {
            return p;
        }
    }
    return nullptr;
}

} // namespace

int cut_column_names(char *line, size_t len, char *names[MAX_COLS]) {
    char *open = static_cast<char *>(memchr(line, '(', len));
    if (!open) return 0;
    char *close = find_unquoted(open + 1, ')', '\0');
    if (!close) return 0;
    *close = '\0';
    char *pos = open + 1;
    if (*pos == '\0') return 0;

    int count = 0;
    while (count < MAX_COLS) {
        names[count++] = pos;
        char *sep = find_unquoted(pos, ',', ' ');
        if (!sep) break;
        *sep = '\0';
        if (sep[2] == '\0') break;
        pos = sep + 2;
    }
    return count;
}

void table_name_of(const char *line, char *out) {
    size_t n = 0;
    if (strnlen(line, 6) > 5) {
        bool quoted = false;
        for (const char *p = line + 5; *p && n < TABLE_NAME_MAX; ++p) {
            if (*p == '"') quoted = !quoted;
            if (*p == ' ' && !quoted) break;
            out[n++] = *p;
        }
    }
    out[n] = '\0';
    if (n == 0) snprintf(out, TABLE_NAME_MAX + 1, "%s", "table");
}

void format_status(char *status, const char *name, int32_t rows, StatusCount count) {
    snprintf(status, STATUS_LEN, "%s   \xE2\x80\x94   %s%d rows", name,
             count == STATUS_COUNTING ? "counting\xE2\x80\xA6 " : "", static_cast<int>(rows));
}
