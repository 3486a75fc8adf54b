// Text search: the fast scan over each block's bytes. A needle holds no line break, so a match
// found in a block's bytes lies within one line without looking for the lines.
#include "find/find.h"
#include "find/find_scan.h"
#include "find/needle.h"
#include "base/stop.h"
#include "base/utf8.h"

namespace {

// The bytes of one block.
struct Bytes {
    const char *p;
    size_t len;
};

// A match in a block: where it starts and its length, in bytes.
struct Match {
    size_t start, len;
};

size_t char_len(Bytes b, size_t at) {
    uint32_t cp;
    return utf8_decode(b.p + at, b.len - at, &cp);
}

// The first (or with `last`, the last) match starting in [s, e) of the block.
bool block_find(const Needle *needle, Bytes b, size_t s, size_t e, bool last, Match *m) {
    const char *end = b.p + b.len;
    if (needle->replacement) {
        bool found = false;
        unsigned looked = 0;
        for (size_t i = utf8_char_ceil(b.p, b.len, s); i < e; i += char_len(b, i)) {
            if (++looked % STOP_BYTES == 0 && stop_asked()) return false;
            size_t len = match_at(needle, b.p + i, end);
            if (!len) continue;
            *m = {i, len};
            found = true;
            if (!last) break;
        }
        return found;
    }
    const ScanArea area = {b.p, end, 0};
    const char *at = last ? scan_prev(needle, &area, b.p + s, b.p + e)
                          : scan_next(needle, &area, b.p + s, b.p + e);
    if (!at || at == b.p + e) return false;
    *m = {static_cast<size_t>(at - b.p), static_cast<size_t>(needle->len)};
    return true;
}

// The first (or last) match starting in [lo, hi) of the text.
bool range_find(const TextDoc *doc, const Needle *needle, size_t lo, size_t hi, bool last,
                TextHit *hit) {
    for (int i = 0; i < doc->block_count; ++i) {
        int k = last ? doc->block_count - 1 - i : i;
        const TextBlock &block = doc->blocks[k];
        size_t bs = doc->block_start[k];
        if (hi <= bs || lo >= bs + block.len) continue;
        size_t s = lo > bs ? lo - bs : 0;
        size_t e = hi < bs + block.len ? hi - bs : block.len;
        Match m;
        if (block_find(needle, {block.bytes, block.len}, s, e, last, &m)) {
            *hit = {bs + m.start, bs + m.start + m.len, 0};
            return true;
        }
    }
    return false;
}

} // namespace

int text_find(const TextDoc *doc, const Needle *needle, size_t from, FindDir dir, TextHit *hit) {
    if (needle->char_count <= 0) return 0;
    if (from > doc->len) from = doc->len;
    const bool back = dir == FIND_PREV;
    if (range_find(doc, needle, back ? 0 : from, back ? from : doc->len, back, hit)) return 1;
    if (range_find(doc, needle, back ? from : 0, back ? doc->len : from, back, hit)) {
        hit->wrapped = 1;
        return 1;
    }
    return 0;
}
