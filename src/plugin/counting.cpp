// The first screen read at once, and the count's channel told to the window by posted messages, at
// most one waiting in the queue at a time.
#include "plugin/counting.h"

#include <stdlib.h>

#include "document/load.h"
#include "document/read_step.h"
#include "plugin/viewer_messages.h"
#include "plugin/viewer_window.h"
#include "work/viewer_work.h"

namespace {

// How often the window hears of the count. A posted message goes before input and paints, and
// taking one up costs the window milliseconds (under Wine, telling the list view its new row count
// alone takes 10): told of every step, the window would paint only once the count ended.
const ULONGLONG PROGRESS_MS = 100;

// On the count's thread, after a step: a message for the window, at most every PROGRESS_MS but
// for the last.
bool tell_window(void *ctx, bool done) {
    ViewerWork *work = static_cast<ViewerWork *>(ctx);
    const ULONGLONG now = GetTickCount64();
    if (!done && now - work->count_told < PROGRESS_MS) return false;
    work->count_told = now;
    return PostMessageW(static_cast<HWND>(work->window), WM_COUNT_PROGRESS, 0, 0) != 0;
}

} // namespace

int open_document(Viewer *viewer, const void *path, bool wide, DumpScan *scan) {
    FileMap map;
    int opened = wide ? file_map_open_wide(&map, static_cast<const uint16_t *>(path))
                      : file_map_open(&map, static_cast<const char *>(path));
    if (!opened) return 0;
    // Built in a record of its own and moved over only when it loaded, so a refused load leaves
    // `viewer` untouched.
    Viewer p{};
    if (!load_begin(&p, &map, scan)) {
        file_map_close(&map);
        return 0;
    }
    read_first_screen(scan, &p.map);
    if (scan->no_memory || !load_adopt(&p, scan)) {
        viewer_free_blocks(&p);
        return 0;
    }
    viewer_take_document(viewer, &p);
    scan->rows = &viewer->rows; // the index moved with the record
    return 1;
}

void count_rest(HWND window, Viewer *viewer, const DumpScan *scan) {
    if (scan->phase == SCAN_DONE) return;
    ViewerWork *work = viewer->work;
    work->count_told = GetTickCount64();
    work->count = count_start(scan, &viewer->map, tell_window, work);
    if (work->count) return;
    // No thread: the rest now, and shown as a count's end is.
    DumpScan rest = *scan;
    show_count_news(window, viewer, count_rest_here(viewer, &rest, &viewer->map));
}

void stop_counting(Viewer *viewer) {
    if (viewer && viewer->work) count_end(&viewer->work->count);
}

unsigned count_progressed(Viewer *viewer) {
    return viewer->work ? count_take(&viewer->work->count, viewer) : 0;
}
