// Ranges of the block text: copied as UTF-8 or UTF-16, counted and found by UTF-16 units.
#include "text/text_range.h"

#include "text/utf8.h"

#include <string.h>

namespace {

// The part of block k inside [from, to): bytes [*lo, *hi) of the block (empty when lo >= hi), and
// whether the block's line feed after it lies inside too.
bool block_part(const TextDoc *doc, int k, size_t from, size_t to, size_t *lo, size_t *hi) {
    const size_t start = doc->block_start[k], end = start + doc->blocks[k].len;
    *lo = from > start ? from - start : 0;
    *hi = to < end ? (to > start ? to - start : 0) : end - start;
    return doc->blocks[k].line_feed_after && from <= end && end < to;
}

// The rows' NULs stand where their line feeds were.
void nuls_to_line_feeds(char *p, size_t n) {
    char *end = p + n;
    while ((p = static_cast<char *>(memchr(p, '\0', static_cast<size_t>(end - p))))) *p++ = '\n';
}

void clamp_range(const TextDoc *doc, size_t *from, size_t *to) {
    if (*to > doc->len) *to = doc->len;
    if (*from > *to) *from = *to;
}

} // namespace

void text_copy_utf8(const TextDoc *doc, size_t from, size_t to, char *out) {
    clamp_range(doc, &from, &to);
    char *o = out;
    for (int k = 0; k < doc->block_count; ++k) {
        size_t lo, hi;
        bool line_feed = block_part(doc, k, from, to, &lo, &hi);
        if (lo < hi) {
            memcpy(o, doc->blocks[k].bytes + lo, hi - lo);
            nuls_to_line_feeds(o, hi - lo);
            o += hi - lo;
        }
        if (line_feed) *o++ = '\n';
    }
    *o = '\0';
}

size_t text_utf16_count(const TextDoc *doc, size_t from, size_t to) {
    clamp_range(doc, &from, &to);
    size_t units = 0;
    for (int k = 0; k < doc->block_count; ++k) {
        size_t lo, hi;
        bool line_feed = block_part(doc, k, from, to, &lo, &hi);
        if (lo < hi) units += utf16_length(doc->blocks[k].bytes + lo, hi - lo);
        if (line_feed) ++units;
    }
    return units;
}

size_t text_copy_utf16(const TextDoc *doc, size_t from, size_t to, uint16_t *out, size_t room) {
    if (room == 0) return 0;
    clamp_range(doc, &from, &to);
    size_t n = 0;
    for (int k = 0; k < doc->block_count; ++k) {
        size_t lo, hi;
        bool line_feed = block_part(doc, k, from, to, &lo, &hi);
        if (lo < hi) {
            size_t used = 0;
            size_t w = utf8_to_utf16(doc->blocks[k].bytes + lo, hi - lo, out + n, room - n, &used);
            for (size_t i = n; i < n + w; ++i)
                if (out[i] == 0) out[i] = '\n';
            n += w;
            if (used < hi - lo) return n; // full; utf8_to_utf16 ended it
        }
        if (line_feed) {
            if (n + 1 > room - 1) break;
            out[n++] = '\n';
        }
    }
    out[n] = 0;
    return n;
}

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
    // A character reaching off starts at the nearest byte before it that is no continuation byte;
    // continuation bytes that no such start reaches stand alone.
    for (size_t k = 0; k < 4 && k <= off; ++k) {
        unsigned char b = static_cast<unsigned char>(s[off - k]);
        if ((b & 0xC0) == 0x80) continue;
        uint32_t cp;
        return utf8_decode(s + off - k, len - (off - k), &cp) > k ? pos - k : pos;
    }
    return pos;
}
