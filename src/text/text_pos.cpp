// Positions of the block text taken from outside: counted in UTF-16 units, or moved back to a
// character boundary.
#include "text/text_pos.h"

#include "base/utf8.h"

#include <string.h>

size_t text_pos_of_utf16(const TextDoc *doc, size_t units) {
    size_t u = 0;
    for (int k = 0; k < doc->block_count; ++k) {
        const TextBlock &b = doc->blocks[k];
        const size_t start = doc->block_start[k];
        size_t i = 0;
        while (i < b.len) {
            // Eight ASCII bytes, eight units, skipped at once while the count lies beyond them.
            if (b.len - i >= 8 && units - u >= 8) {
                uint64_t w;
                memcpy(&w, b.bytes + i, sizeof w);
                if ((w & 0x8080808080808080ull) == 0) {
                    i += 8;
                    u += 8;
                    continue;
                }
            }
            uint32_t cp = static_cast<unsigned char>(b.bytes[i]);
            size_t n = cp < 0x80 ? 1 : utf8_decode(b.bytes + i, b.len - i, &cp);
            size_t cu = utf16_units(cp);
            if (units < u + cu) return start + i;
            u += cu;
            i += n;
        }
        if (b.line_feed_after) {
            if (units == u) return start + b.len;
            ++u;
        }
    }
    return doc->len;
}

size_t text_char_floor(const TextDoc *doc, size_t pos) {
    if (pos >= doc->len) return doc->len;
    size_t line = text_line_of(doc, pos);
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    size_t off = pos - text_line_start(doc, line);
    if (off >= len) return pos - (off - len); // on the line break, or between CR and LF
    return pos - (off - utf8_char_floor(s, len, off));
}
