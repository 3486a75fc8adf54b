// Cell texts straight from the row lines.
#include "grid/cells.h"

#include "document/copy_escapes.h"

#include "grid/shown_rows.h"
#include "base/utf8.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A vectorised library search; this runs for every cell painted or copied.
size_t field_length(const char *field, const char *end) {
    const char *tab =
        static_cast<const char *>(memchr(field, '\t', static_cast<size_t>(end - field)));
    return static_cast<size_t>((tab ? tab : end) - field);
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
    while (p < limit && *p != '\t' && *p != '\n') ++p;
    return p;
}

const char *field_at(const char *line, const char *end, int n, size_t *len) {
    if (n < 0) return nullptr;
    const char *p = line;
    for (int i = 0; i < n; ++i) {
        p = static_cast<const char *>(memchr(p, '\t', static_cast<size_t>(end - p)));
        if (!p) return nullptr;
        ++p;
    }
    *len = field_length(p, end);
    return p;
}

const char *column_title(const Viewer *viewer, int32_t col) {
    const char *name = col >= 0 && col < MAX_COLS ? viewer->col_names[col] : nullptr;
    return name ? name : "col";
}

void cell_text(const Viewer *viewer, int32_t row, int32_t col, char *room, size_t m) {
    if (m == 0) return;
    room[0] = '\0';
    if (row < 0 || row >= shown_row_count(viewer)) return;
    size_t len = 0;
    RowLine line = shown_line(viewer, row);
    const char *field = field_at(line.start, line.end, col, &len);
    if (!field) return;
    if (len > m - 1) len = m - 1;
    memcpy(room, field, len);
    room[len] = '\0';
    if (field_is_null(field, len)) {
        strncpy(room, "null", m - 1);
        room[m - 1] = '\0';
    }
}

void cell_text_utf16(const Viewer *viewer, int32_t row, int32_t col, uint16_t *room, size_t m) {
    if (m == 0) return;
    room[0] = 0;
    if (row < 0 || row >= shown_row_count(viewer)) return;
    size_t len = 0;
    RowLine line = shown_line(viewer, row);
    const char *field = field_at(line.start, line.end, col, &len);
    if (!field) return;
    if (field_is_null(field, len)) {
        field = "null";
        len = 4;
    }
    utf8_to_utf16(field, len, room, m, nullptr);
}
