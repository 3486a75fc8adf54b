// Steps that read before they scan, and the first screen's bound.
#include "document/read_step.h"

namespace {

// The most a scan step looks at past its budget: a section marker that begins inside it.
const uint64_t MARKER_MOST = 8;

} // namespace

int read_step(DumpScan *scan, FileMap *map, uint64_t budget) {
    if (scan->phase != SCAN_DONE) {
        const uint64_t left = scan->len - scan->pos;
        file_map_fill(map, budget >= left ? scan->len : scan->pos + budget + MARKER_MOST);
    }
    return scan_step(scan, budget);
}

int read_first_screen(DumpScan *scan, FileMap *map) {
    for (;;) {
        if (scan_has_header(scan) && scan->rows_found >= static_cast<int64_t>(FIRST_SCREEN_ROWS) &&
            scan->pos >= FIRST_SCREEN_FLOOR)
            return 1;
        const bool header_open = scan->phase == SCAN_HEADER && scan->pos >= FIRST_SCREEN_BYTES;
        const uint64_t bound =
            header_open ? FIRST_SCREEN_BYTES + FIRST_SCREEN_HEADER_REST : FIRST_SCREEN_BYTES;
        if (scan->pos >= bound) return 1;
        const uint64_t step = header_open ? FIRST_SCREEN_HEADER_STEP : FIRST_SCREEN_STEP;
        if (!read_step(scan, map, bound - scan->pos < step ? bound - scan->pos : step)) return 0;
    }
}
