// The fields' extent: a library search for a field near the line's start, an SSE2 walk where its
// end must be found without knowing the line's.
#include "document/fields.h"

const char *field_at(const char *line, const char *line_end, int32_t n, size_t *len) {
    if (n < 0) return nullptr;
    const char *p = line;
    for (int32_t i = 0; i < n; ++i) {
        p = static_cast<const char *>(memchr(p, '\t', static_cast<size_t>(line_end - p)));
        if (!p) return nullptr;
        ++p;
    }
    *len = field_length(p, line_end);
    return p;
}

const char *field_stop(const char *p, const char *limit) {
#if defined(__SSE2__)
    const __m128i tabs = _mm_set1_epi8('\t'), line_feeds = _mm_set1_epi8('\n');
    for (; limit - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const int mask = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, tabs), _mm_cmpeq_epi8(bytes, line_feeds)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    while (p < limit && !ends_field(*p)) ++p;
    return p;
}
