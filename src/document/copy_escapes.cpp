// COPY escapes decoded in pieces.
#include "document/copy_escapes.h"

#include <string.h>

namespace {

bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte an escape stands for; s is after the backslash, at a byte before end. Advances s past
// the escape.
uint8_t escaped_byte(const char **s, const char *end) {
    const char *p = *s;
    char c = *p++;
    unsigned value = static_cast<unsigned char>(c);
    switch (c) {
    case 'b': value = '\b'; break;
    case 'f': value = '\f'; break;
    case 'n': value = '\n'; break;
    case 'r': value = '\r'; break;
    case 't': value = '\t'; break;
    case 'v': value = '\v'; break;
    case 'x':
        if (p < end && hex_value(*p) >= 0) {
            value = static_cast<unsigned>(hex_value(*p++));
            if (p < end && hex_value(*p) >= 0)
                value = value * 16 + static_cast<unsigned>(hex_value(*p++));
        }
        break;
    default:
        if (is_octal(c)) {
            value = static_cast<unsigned>(c - '0');
            for (int more = 0; more < 2 && p < end && is_octal(*p); ++more)
                value = value * 8 + static_cast<unsigned>(*p++ - '0');
        }
        break;
    }
    *s = p;
    return static_cast<uint8_t>(value);
}

} // namespace

size_t copy_unescape(const char **p, const char *end, uint8_t *out, size_t want) {
    const char *s = *p;
    size_t n = 0;
    while (n < want && s < end) {
        size_t span = static_cast<size_t>(end - s);
        if (span > want - n) span = want - n;
        // Eight bytes a step while none is a backslash: keys are read a dozen bytes at a time,
        // where library calls would cost more than the copy.
        for (; span >= 8; span -= 8, s += 8, n += 8) {
            uint64_t v;
            memcpy(&v, s, sizeof v);
            uint64_t x = v ^ 0x5C5C5C5C5C5C5C5Cull;
            if ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) break;
            memcpy(out + n, &v, sizeof v);
        }
        for (; span > 0 && *s != '\\'; --span) out[n++] = static_cast<uint8_t>(*s++);
        if (span == 0) continue;
        ++s;
        out[n++] = s < end ? escaped_byte(&s, end) : static_cast<uint8_t>('\\');
    }
    *p = s;
    return n;
}
