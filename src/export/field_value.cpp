// COPY text escapes decoded: runs without a backslash copied whole, each escape read by hand.
#include "export/field_value.h"

#include <string.h>

static bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

// The value of a hex digit, or -1.
static int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte the escape starting after a backslash at raw[*i] gives; advances *i past the escape.
static char decode_escape(const char *raw, size_t len, size_t *i) {
    char x = raw[(*i)++];
    switch (x) {
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case 'x': {
        int hi = *i < len ? hex_value(raw[*i]) : -1;
        if (hi < 0) return 'x';
        ++*i;
        int lo = *i < len ? hex_value(raw[*i]) : -1;
        if (lo < 0) return static_cast<char>(hi);
        ++*i;
        return static_cast<char>(hi * 16 + lo);
    }
    default: break;
    }
    if (!is_octal(x)) return x;
    unsigned value = static_cast<unsigned>(x - '0');
    for (int more = 0; more < 2 && *i < len && is_octal(raw[*i]); ++more)
        value = value * 8 + static_cast<unsigned>(raw[(*i)++] - '0');
    return static_cast<char>(value & 0xFF);
}

size_t value_decode_into(const char *raw, size_t len, char *out) {
    size_t i = 0, o = 0;
    while (i < len) {
        const char *slash = static_cast<const char *>(memchr(raw + i, '\\', len - i));
        size_t run = (slash ? static_cast<size_t>(slash - raw) : len) - i;
        memcpy(out + o, raw + i, run);
        o += run;
        i += run;
        if (!slash) break;
        if (++i == len) {
            out[o++] = '\\';
            break;
        }
        out[o++] = decode_escape(raw, len, &i);
    }
    return o;
}

void value_decode(const char *raw, size_t len, StrBuf *out) {
    char *room = sb_prep(out, len);
    if (!room) return;
    sb_commit(out, value_decode_into(raw, len, room));
}
