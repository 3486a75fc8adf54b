// Range tables: one binary search for every table of code points.
#include "base/code_ranges.h"

bool code_in_ranges(uint32_t cp, const CodeRange *ranges, size_t n) {
    if (n == 0 || cp < ranges[0].lo || cp > ranges[n - 1].hi) return false;
    size_t lo = 0, hi = n; // the range holding cp, if any, is in [lo, hi)
    while (lo + 1 < hi) {
        size_t mid = lo + (hi - lo) / 2;
        if (ranges[mid].lo <= cp)
            lo = mid;
        else
            hi = mid;
    }
    return cp <= ranges[lo].hi;
}
