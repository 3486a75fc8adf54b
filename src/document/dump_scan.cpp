// The scan: one pass that stops only at the bytes the rules name (NUL, 0x01, and line feeds inside
// the data block), found sixteen at a time.
#include "document/dump_scan.h"

#include "document/rows.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

const char *const MARKERS[3] = {"\x01[SQL]\n", "\x01[INFO]\n", "\x01[DATA]\n"};
const size_t MARKER_LENS[3] = {7, 8, 8};

// The first byte in [from, to) that is a NUL, a 0x01 or, with `lines`, a line feed; `to` when
// there is none.
const char *next_stop(const char *from, const char *to, bool lines) {
    const char *p = from;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1),
                  lf = _mm_set1_epi8(lines ? '\n' : 0);
    while (to - p >= 16) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, zero), _mm_cmpeq_epi8(x, one)),
                                   _mm_cmpeq_epi8(x, lf));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
        if (mask) return p + __builtin_ctz(mask);
        p += 16;
    }
#endif
    for (; p < to; ++p)
        if (*p == '\0' || *p == '\x01' || (lines && *p == '\n')) return p;
    return to;
}

// The line that ends the rows is exactly "\.": with a carriage return before its line feed it is
// a row like any other, as that byte is the line's own (document/fields.h).
bool is_end_line(const char *line, uint64_t len) {
    return len == 2 && line[0] == '\\' && line[1] == '.';
}

void done(DumpScan *s, uint64_t text_end);

// The data block ends at `at`: the row being read, when there is one, ends there too.
void end_data(DumpScan *s, uint64_t at) {
    if (s->phase == SCAN_HEADER) s->header_end = at;
    if (s->phase == SCAN_ROWS && s->row_start < at &&
        !is_end_line(s->bytes + s->row_start, at - s->row_start)) {
        if (s->rows_found == ROWS_MAX)
            s->capped = 1;
        else if (row_index_push(s->rows, &s->entries, row_entry_after(s->bytes + at)))
            ++s->rows_found;
        else
            s->no_memory = 1;
    }
    s->end[SECTION_DATA] = at;
    s->ended[SECTION_DATA] = 1;
    s->phase = SCAN_REST;
}

// The text ends at `text_end`: every section still open ends there, and so does the scan.
void done(DumpScan *s, uint64_t text_end) {
    if (s->phase == SCAN_HEADER || s->phase == SCAN_ROWS) end_data(s, text_end);
    for (int k = SECTION_SQL; k <= SECTION_INFO; ++k)
        if (s->start[k] >= 0 && !s->ended[k]) {
            s->end[k] = text_end;
            s->ended[k] = 1;
        }
    s->pos = s->len;
    s->phase = SCAN_DONE;
}

// A 0x01 at `at`: the end of an SQL or INFO section begun before it (and of a data block it lies
// in), then the start of a section when a marker's first occurrence begins here.
void marker_byte(DumpScan *s, uint64_t at) {
    for (int k = SECTION_SQL; k <= SECTION_INFO; ++k) {
        if (s->start[k] < 0 || s->ended[k] || static_cast<uint64_t>(s->start[k]) > at) continue;
        s->end[k] = at;
        s->ended[k] = 1;
        if (s->phase == SCAN_HEADER || s->phase == SCAN_ROWS) end_data(s, at);
    }
    for (int k = 0; k < 3; ++k) {
        if (s->start[k] >= 0 || s->len - at < MARKER_LENS[k]) continue;
        if (memcmp(s->bytes + at, MARKERS[k], MARKER_LENS[k]) != 0) continue;
        s->start[k] = static_cast<int64_t>(at + MARKER_LENS[k]);
        if (k == SECTION_DATA) {
            // The block begins after its marker's line feed, which ends no line of it.
            s->phase = SCAN_HEADER;
            s->pos = at + MARKER_LENS[k];
        }
        break;
    }
}

// A line feed at `at` inside the data block: the header line's end, or a row's.
void line_feed(DumpScan *s, uint64_t at) {
    if (s->phase == SCAN_HEADER) {
        s->header_end = at;
        s->phase = SCAN_ROWS;
        s->row_start = at + 1;
        if (!row_index_push(s->rows, &s->entries, s->bytes + s->row_start)) {
            s->no_memory = 1;
            s->phase = SCAN_REST;
        }
        return;
    }
    if (is_end_line(s->bytes + s->row_start, at - s->row_start)) {
        // The end line stays out, its start marking where the last row's line feed was.
        s->end[SECTION_DATA] = s->row_start;
        s->ended[SECTION_DATA] = 1;
        s->phase = SCAN_REST;
        return;
    }
    if (s->rows_found == ROWS_MAX) {
        s->capped = 1;
        s->phase = SCAN_REST;
        return;
    }
    if (!row_index_push(s->rows, &s->entries, row_entry_after(s->bytes + at))) {
        s->no_memory = 1;
        s->phase = SCAN_REST;
        return;
    }
    ++s->rows_found;
    s->row_start = at + 1;
}

} // namespace

void scan_begin(DumpScan *scan, const char *bytes, uint64_t len, RowIndex *rows) {
    *scan = DumpScan{};
    scan->bytes = bytes;
    scan->len = len;
    scan->pos = 8; // the magic
    scan->rows = rows;
    for (int k = 0; k < 3; ++k) scan->start[k] = -1;
}

int scan_step(DumpScan *s, uint64_t budget) {
    if (s->phase == SCAN_DONE) return 0;
    const uint64_t stop = s->len - s->pos > budget ? s->pos + budget : s->len;
    while (s->pos < stop) {
        const bool lines = s->phase == SCAN_HEADER || s->phase == SCAN_ROWS;
        const char *p = next_stop(s->bytes + s->pos, s->bytes + stop, lines);
        const uint64_t at = static_cast<uint64_t>(p - s->bytes);
        if (at == stop) {
            s->pos = stop;
            break;
        }
        s->pos = at + 1;
        if (*p == '\0') {
            done(s, at);
            return 0;
        }
        if (*p == '\x01')
            marker_byte(s, at);
        else
            line_feed(s, at);
    }
    if (s->pos >= s->len) {
        done(s, s->len);
        return 0;
    }
    return 1;
}
