// A field's whole value: its COPY escapes decoded (document/copy_escapes.h), nothing cut.
#include "export/field_value.h"

#include <string.h>

size_t value_decode_into(const char *raw, size_t len, char *out) {
    const char *p = raw;
    return copy_unescape(&p, raw + len, reinterpret_cast<uint8_t *>(out), len);
}

void value_decode(const char *raw, size_t len, StrBuf *out) {
    char *room = sb_prep(out, len);
    if (!room) return;
    sb_commit(out, value_decode_into(raw, len, room));
}
