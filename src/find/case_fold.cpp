// Case folding by a sorted table of ranges, each shifting its letters by one offset.
#include "find/case_fold.h"

namespace {

// Code points lo..hi fold to themselves plus delta; with `alternate`, only every other one does
// (lo, lo + 2, ...), as in the blocks where capital and small letters take turns.
struct FoldRange {
    uint16_t lo, hi;
    int16_t delta;
    uint8_t alternate;
};

// Sorted by lo, never overlapping; no range's result lies in any range, so folding is idempotent.
const FoldRange RANGES[] = {
    {0x00B5, 0x00B5, 775, 0}, // micro sign to mu
    {0x00C0, 0x00D6, 32, 0},
    {0x00D8, 0x00DE, 32, 0},
    {0x0100, 0x012F, 1, 1},
    {0x0132, 0x0137, 1, 1},
    {0x0139, 0x0148, 1, 1},
    {0x014A, 0x0177, 1, 1},
    {0x0178, 0x0178, -121, 0}, // Y with diaeresis, whose small letter is in Latin-1
    {0x0179, 0x017E, 1, 1},
    {0x0181, 0x0181, 210, 0},
    {0x0182, 0x0185, 1, 1},
    {0x0186, 0x0186, 206, 0},
    {0x0187, 0x0187, 1, 0},
    {0x0189, 0x018A, 205, 0},
    {0x018B, 0x018B, 1, 0},
    {0x018E, 0x018E, 79, 0},
    {0x018F, 0x018F, 202, 0},
    {0x0190, 0x0190, 203, 0},
    {0x0191, 0x0191, 1, 0},
    {0x0193, 0x0193, 205, 0},
    {0x0194, 0x0194, 207, 0},
    {0x0196, 0x0196, 211, 0},
    {0x0197, 0x0197, 209, 0},
    {0x0198, 0x0198, 1, 0},
    {0x019C, 0x019C, 211, 0},
    {0x019D, 0x019D, 213, 0},
    {0x019F, 0x019F, 214, 0},
    {0x01A0, 0x01A5, 1, 1},
    {0x01A6, 0x01A6, 218, 0},
    {0x01A7, 0x01A7, 1, 0},
    {0x01A9, 0x01A9, 218, 0},
    {0x01AC, 0x01AC, 1, 0},
    {0x01AE, 0x01AE, 218, 0},
    {0x01AF, 0x01AF, 1, 0},
    {0x01B1, 0x01B2, 217, 0},
    {0x01B3, 0x01B6, 1, 1},
    {0x01B7, 0x01B7, 219, 0},
    {0x01B8, 0x01B8, 1, 0},
    {0x01BC, 0x01BC, 1, 0},
    {0x01C4, 0x01C4, 2, 0}, // DZ with caron; its title-case form folds the same way
    {0x01C5, 0x01C5, 1, 0},
    {0x01C7, 0x01C7, 2, 0},
    {0x01C8, 0x01C8, 1, 0},
    {0x01CA, 0x01CA, 2, 0},
    {0x01CB, 0x01DB, 1, 1},
    {0x01DE, 0x01EF, 1, 1},
    {0x01F1, 0x01F1, 2, 0},
    {0x01F2, 0x01F4, 1, 1},
    {0x01F6, 0x01F6, -97, 0},
    {0x01F7, 0x01F7, -56, 0},
    {0x01F8, 0x021F, 1, 1},
    {0x0220, 0x0220, -130, 0},
    {0x0222, 0x0233, 1, 1},
    {0x023B, 0x023B, 1, 0},
    {0x023D, 0x023D, -163, 0},
    {0x0241, 0x0241, 1, 0},
    {0x0243, 0x0243, -195, 0},
    {0x0244, 0x0244, 69, 0},
    {0x0245, 0x0245, 71, 0},
    {0x0246, 0x024F, 1, 1},
    {0x0345, 0x0345, 116, 0}, // combining ypogegrammeni to iota
    {0x0370, 0x0373, 1, 1},
    {0x0376, 0x0376, 1, 0},
    {0x037F, 0x037F, 116, 0},
    {0x0386, 0x0386, 38, 0},
    {0x0388, 0x038A, 37, 0},
    {0x038C, 0x038C, 64, 0},
    {0x038E, 0x038F, 63, 0},
    {0x0391, 0x03A1, 32, 0},
    {0x03A3, 0x03AB, 32, 0},
    {0x03C2, 0x03C2, 1, 0}, // final sigma
    {0x03CF, 0x03CF, 8, 0},
    {0x03D0, 0x03D0, -30, 0},
    {0x03D1, 0x03D1, -25, 0},
    {0x03D5, 0x03D5, -15, 0},
    {0x03D6, 0x03D6, -22, 0},
    {0x03D8, 0x03EF, 1, 1},
    {0x03F0, 0x03F0, -54, 0},
    {0x03F1, 0x03F1, -48, 0},
    {0x03F4, 0x03F4, -60, 0},
    {0x03F5, 0x03F5, -64, 0},
    {0x03F7, 0x03F7, 1, 0},
    {0x03F9, 0x03F9, -7, 0},
    {0x03FA, 0x03FA, 1, 0},
    {0x03FD, 0x03FF, -130, 0},
    {0x0400, 0x040F, 80, 0},
    {0x0410, 0x042F, 32, 0},
    {0x0460, 0x0481, 1, 1},
    {0x048A, 0x04BF, 1, 1},
    {0x04C0, 0x04C0, 15, 0},
    {0x04C1, 0x04CE, 1, 1},
    {0x04D0, 0x052F, 1, 1},
    {0x0531, 0x0556, 48, 0},
    {0x10A0, 0x10C5, 7264, 0},
    {0x10C7, 0x10C7, 7264, 0},
    {0x10CD, 0x10CD, 7264, 0},
    {0x1C90, 0x1CBA, -3008, 0}, // Georgian Mtavruli to Mkhedruli
    {0x1CBD, 0x1CBF, -3008, 0},
    {0x1E00, 0x1E95, 1, 1},
    {0x1E9B, 0x1E9B, -58, 0},
    {0x1EA0, 0x1EFF, 1, 1},
    {0xA640, 0xA66D, 1, 1},
    {0xA680, 0xA69B, 1, 1},
    {0xFF21, 0xFF3A, 32, 0},
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
