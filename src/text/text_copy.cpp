// Copies of the block text's ranges, as UTF-8 or UTF-16, and their UTF-16 counts.
#include "text/text_copy.h"

#include "base/stop.h"
#include "base/utf8.h"

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

// A NUL inside a block reads as a line feed (text_doc.h); the document's texts hold none, a file's
// text ending at its first NUL.
void nuls_to_line_feeds(char *p, size_t n) {
    char *end = p + n;
    while ((p = static_cast<char *>(memchr(p, '\0', static_cast<size_t>(end - p))))) *p++ = '\n';
}

// The end of the next piece of [p, end) to take at once: STOP_BYTES or fewer, cut before a
// character whose bytes it would part, so that a long block is counted or converted a piece at a
// time with a look at the stop flag between pieces.
const char *piece_end(const char *p, const char *end) {
    if (static_cast<size_t>(end - p) <= STOP_BYTES) return end;
    const char *q = p + STOP_BYTES;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(*q) & 0xC0) == 0x80; ++back) --q;
    return q;
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
        const char *p = doc->blocks[k].bytes + lo, *end = doc->blocks[k].bytes + hi;
        while (p < end) {
            const char *q = piece_end(p, end);
            units += utf16_length(p, static_cast<size_t>(q - p));
            p = q;
            if (p < end && stop_asked()) return TEXT_COUNT_STOPPED;
        }
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
        const char *p = doc->blocks[k].bytes + lo, *end = doc->blocks[k].bytes + hi;
        while (p < end) {
            const char *q = piece_end(p, end);
            size_t used = 0;
            size_t w = utf8_to_utf16(p, static_cast<size_t>(q - p), out + n, room - n, &used);
            for (size_t i = n; i < n + w; ++i)
                if (out[i] == 0) out[i] = '\n';
            n += w;
            if (used < static_cast<size_t>(q - p)) return n; // full; utf8_to_utf16 ended it
            p = q;
            if (p < end && stop_asked()) {
                out[n] = 0;
                return n;
            }
        }
        if (line_feed) {
            if (n + 1 > room - 1) break;
            out[n++] = '\n';
        }
    }
    out[n] = 0;
    return n;
}
