// Case folding by a sorted table of ranges, each shifting its letters by one offset.
#include "find/case_fold.h"

namespace {

// Code points lo..hi fold to themselves plus delta; with `alternate`, only every other one does
// (lo, lo + 2, ...), as in the blocks where capital and small letters take turns.
struct FoldRange {
    uint32_t lo, hi;
    int32_t delta; // Cherokee's small letters lie 38,864 code points above their capitals
    uint8_t alternate;
};

// Sorted by lo, never overlapping; no range's result lies in any range, so folding is idempotent.
// The generator checks both, and leaves out ASCII, which the functions below fold themselves.
const FoldRange RANGES[] = {
#include "find/case_fold_table.inc"
};
const int RANGE_COUNT = sizeof RANGES / sizeof RANGES[0];

// Whether range r folds cp (which lies in it).
bool folds(const FoldRange &r, uint32_t cp) {
    return !r.alternate || (cp - r.lo) % 2 == 0;
}

} // namespace

uint32_t fold_case(uint32_t cp) {
    if (cp < 0x80) return cp - 'A' < 26u ? cp + 32 : cp;
    if (cp < RANGES[0].lo || cp > RANGES[RANGE_COUNT - 1].hi) return cp;
    // The last range starting at or before cp.
    int lo = 0, hi = RANGE_COUNT - 1;
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (RANGES[mid].lo <= cp)
            lo = mid;
        else
            hi = mid - 1;
    }
    const FoldRange &r = RANGES[lo];
    if (cp > r.hi || !folds(r, cp)) return cp;
    return static_cast<uint32_t>(static_cast<int32_t>(cp) + r.delta);
}

size_t case_variants(uint32_t cp, uint32_t out[CASE_VARIANTS_MAX]) {
    const uint32_t folded = fold_case(cp);
    size_t n = 0;
    out[n++] = folded;
    if (folded - 'a' < 26u) {
        out[n++] = folded - 32;
        return n;
    }
    for (const FoldRange &r : RANGES) {
        uint32_t from = static_cast<uint32_t>(static_cast<int32_t>(folded) - r.delta);
        if (from >= r.lo && from <= r.hi && folds(r, from) && n < CASE_VARIANTS_MAX)
            out[n++] = from;
    }
    return n;
}
