// The fast scan: SSE2 compares of 16 positions at once where the compiler targets it, one byte at
// a time elsewhere and at the edges of an area.
#include "find/find_scan.h"

#include "base/stop.h"
#include "document/fields.h"

#include "find/needle.h"

#include <stddef.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Whether the backslash at p begins a field that is exactly "\N": a field bounded by the area's
// ends or by the bytes that end a field in the rows' stretch (document/fields.h).
inline bool null_field_at(const ScanArea *area, const char *p) {
    bool field_start = p == area->lo || ends_field(p[-1]);
    return field_start && area->hi - p >= 2 && p[1] == 'N' &&
           (area->hi - p == 2 || ends_field(p[2]));
}

// Whether a match of the needle's bytes starts at p, the filter on its two end bytes first.
inline bool match_starts(const Needle *needle, const ScanArea *area, const char *p) {
    const ptrdiff_t len = needle->len;
    return area->hi - p >= len && byte_in(needle->first, static_cast<unsigned char>(p[0])) &&
           byte_in(needle->last, static_cast<unsigned char>(p[len - 1])) &&
           match_at(needle, p, area->hi) != 0;
}

inline bool stop_at(const Needle *needle, const ScanArea *area, const char *p) {
    if (area->escapes && *p == '\\' && !null_field_at(area, p)) return true;
    return match_starts(needle, area, p);
}

#if defined(__SSE2__)

struct VecSet {
    __m128i mask;
    __m128i bytes[4]; // unused places repeat the first byte, so all four compares can run
};

VecSet vec_set(const ByteSet &set) {
    VecSet v;
    v.mask = _mm_set1_epi8(static_cast<char>(set.mask));
    for (int k = 0; k < 4; ++k)
        v.bytes[k] = _mm_set1_epi8(static_cast<char>(set.bytes[k < set.count ? k : 0]));
    return v;
}

inline __m128i load(const char *p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
}

// Lanes of x whose byte is in the set. WIDE: sets of more than one byte (Greek sigma's three
// forms, say); most needles have one byte at each end and need one compare.
template <bool WIDE> inline __m128i in_set16(const VecSet &set, __m128i x) {
    x = _mm_or_si128(x, set.mask);
    __m128i m = _mm_cmpeq_epi8(x, set.bytes[0]);
    if (WIDE) {
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, set.bytes[1]));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, set.bytes[2]));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, set.bytes[3]));
    }
    return m;
}

// Lanes of x holding a byte that ends a field (document/fields.h: ends_field).
inline __m128i separator16(__m128i x) {
    return _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8('\t')),
                        _mm_cmpeq_epi8(x, _mm_set1_epi8('\n')));
}

// The stops among blocks of 16 or 32 positions, one bit each. Most blocks hold no candidate and no
// backslash, so a block is first tested for both with the fewest loads; only then are the
// backslashes of NULLs told apart, which takes three more loads.
template <bool ESCAPES, bool WIDE> struct Blocks {
    VecSet first, last;
    ptrdiff_t len;

    // Candidates and, with ESCAPES, every backslash among p .. p + 15. Reads p .. p + len + 14.
    unsigned rough16(const char *p) const {
        const __m128i at = load(p);
        __m128i m =
            _mm_and_si128(in_set16<WIDE>(first, at), in_set16<WIDE>(last, load(p + len - 1)));
        if (ESCAPES) m = _mm_or_si128(m, _mm_cmpeq_epi8(at, _mm_set1_epi8('\\')));
        return static_cast<unsigned>(_mm_movemask_epi8(m));
    }

    // The stops among p .. p + 15: the backslashes of NULLs dropped. Also reads p - 1 .. p + 17.
    unsigned exact16(const char *p) const {
        const __m128i at = load(p);
        __m128i m =
            _mm_and_si128(in_set16<WIDE>(first, at), in_set16<WIDE>(last, load(p + len - 1)));
        const __m128i null =
            _mm_and_si128(_mm_and_si128(separator16(load(p - 1)), separator16(load(p + 2))),
                          _mm_cmpeq_epi8(load(p + 1), _mm_set1_epi8('N')));
        m = _mm_or_si128(m, _mm_andnot_si128(null, _mm_cmpeq_epi8(at, _mm_set1_epi8('\\'))));
        return static_cast<unsigned>(_mm_movemask_epi8(m));
    }

    unsigned stops16(const char *p) const {
        unsigned m = rough16(p);
        return ESCAPES && m ? exact16(p) : m;
    }

    uint32_t stops32(const char *p) const {
        uint32_t m = rough16(p) | rough16(p + 16) << 16;
        return ESCAPES && m ? exact16(p) | exact16(p + 16) << 16 : m;
    }

    // How far past a block of 16's first position its loads reach; a block of 32 reaches 16 more.
    ptrdiff_t reach() const {
        ptrdiff_t r = len + 15;
        return ESCAPES && r < 18 ? 18 : r;
    }
};

// A place the blocks flagged: a backslash the blocks found outside a NULL, or a candidate to check.
template <bool ESCAPES>
inline bool is_stop(const Needle *needle, const ScanArea *area, const char *p) {
    if (ESCAPES && *p == '\\') return true;
    return match_at(needle, p, area->hi) != 0;
}

template <bool ESCAPES, bool WIDE> Blocks<ESCAPES, WIDE> blocks(const Needle *needle) {
    return {vec_set(needle->first), vec_set(needle->last), needle->len};
}

#endif

template <bool ESCAPES, bool WIDE>
const char *next_stop(const Needle *needle, const ScanArea *area, const char *p, const char *to) {
#if defined(__SSE2__)
    const Blocks<ESCAPES, WIDE> b = blocks<ESCAPES, WIDE>(needle);
    const ptrdiff_t reach = b.reach();
    // The byte before the area's first is not there to load.
    if (ESCAPES && p == area->lo && p < to) {
        if (stop_at(needle, area, p)) return p;
        ++p;
    }
    while (to - p >= 32 && area->hi - p >= reach + 16) {
        for (uint32_t m = b.stops32(p); m; m &= m - 1)
            if (const char *s = p + __builtin_ctz(m); is_stop<ESCAPES>(needle, area, s)) return s;
        p += 32;
    }
    while (to - p >= 16 && area->hi - p >= reach) {
        for (unsigned m = b.stops16(p); m; m &= m - 1)
            if (const char *s = p + __builtin_ctz(m); is_stop<ESCAPES>(needle, area, s)) return s;
        p += 16;
    }
#endif
    for (; p < to; ++p)
        if (stop_at(needle, area, p)) return p;
    return to;
}

template <bool ESCAPES, bool WIDE>
const char *prev_stop(const Needle *needle, const ScanArea *area, const char *from, const char *p) {
#if defined(__SSE2__)
    const Blocks<ESCAPES, WIDE> b = blocks<ESCAPES, WIDE>(needle);
    const ptrdiff_t reach = b.reach();
    // Near the area's end the loads would reach past it: those positions go one at a time.
    while (p - from >= 16 && area->hi - (p - 16) < reach) {
        --p;
        if (stop_at(needle, area, p)) return p;
    }
    while (p - from >= 32 && (!ESCAPES || p - 32 > area->lo)) {
        for (uint32_t m = b.stops32(p - 32); m; m &= ~(1u << (31 - __builtin_clz(m))))
            if (const char *s = p - 32 + (31 - __builtin_clz(m)); is_stop<ESCAPES>(needle, area, s))
                return s;
        p -= 32;
    }
    while (p - from >= 16 && (!ESCAPES || p - 16 > area->lo)) {
        for (unsigned m = b.stops16(p - 16); m; m &= ~(1u << (31 - __builtin_clz(m))))
            if (const char *s = p - 16 + (31 - __builtin_clz(m)); is_stop<ESCAPES>(needle, area, s))
                return s;
        p -= 16;
    }
#endif
    while (p > from) {
        --p;
        if (stop_at(needle, area, p)) return p;
    }
    return nullptr;
}

bool wide(const Needle *needle) {
    return needle->first.count > 1 || needle->last.count > 1;
}

// One stretch of a scan, of any length.
const char *next_in(const Needle *needle, const ScanArea *area, const char *from, const char *to) {
    if (area->escapes)
        return wide(needle) ? next_stop<true, true>(needle, area, from, to)
                            : next_stop<true, false>(needle, area, from, to);
    return wide(needle) ? next_stop<false, true>(needle, area, from, to)
                        : next_stop<false, false>(needle, area, from, to);
}

const char *prev_in(const Needle *needle, const ScanArea *area, const char *from, const char *to) {
    if (area->escapes)
        return wide(needle) ? prev_stop<true, true>(needle, area, from, to)
                            : prev_stop<true, false>(needle, area, from, to);
    return wide(needle) ? prev_stop<false, true>(needle, area, from, to)
                        : prev_stop<false, false>(needle, area, from, to);
}

} // namespace

// A long scan goes a few megabytes at a time, looking between them whether it is to stop; a match
// may run past a stretch's end, since only where it starts is bounded.
const char *scan_next(const Needle *needle, const ScanArea *area, const char *from,
                      const char *to) {
    while (to - from > static_cast<ptrdiff_t>(STOP_BYTES)) {
        const char *part = from + STOP_BYTES;
        const char *at = next_in(needle, area, from, part);
        if (at != part) return at;
        if (stop_asked()) return to;
        from = part;
    }
    return next_in(needle, area, from, to);
}

const char *scan_prev(const Needle *needle, const ScanArea *area, const char *from,
                      const char *to) {
    while (to - from > static_cast<ptrdiff_t>(STOP_BYTES)) {
        const char *part = to - STOP_BYTES;
        if (const char *at = prev_in(needle, area, part, to)) return at;
        if (stop_asked()) return nullptr;
        to = part;
    }
    return prev_in(needle, area, from, to);
}
