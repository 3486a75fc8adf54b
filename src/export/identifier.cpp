// Quoted identifiers read back to the names they stand for.
#include "export/identifier.h"

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
