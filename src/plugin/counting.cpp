// The count's thread and its record: steps of the scan, each published to the window thread under
// a lock, with at most one progress message waiting in the queue at a time.
#include "plugin/counting.h"

#include <stdlib.h>

#include "document/load.h"
#include "document/read_step.h"
#include "plugin/viewer_messages.h"

namespace {

#define COUNT_PROP L"TavrinCount"

const uint64_t STEP_BYTES = 4u << 20; // a step of the thread: milliseconds
// How often the window hears of the count. A posted message goes before input and paints, and
// taking one up costs the window milliseconds (under Wine, telling the list view its new row count
// alone takes 10): told of every step, the window would paint only once the count ended.
const ULONGLONG PROGRESS_MS = 100;

// One per counted window, owned by it (a window property) from count_rest until the count ends.
// `scan` and the reading of `map` (the record's) are the thread's; `published` the copy the window
// thread takes, under `lock`. `waiting` is set while a progress message is in the queue; `stop`
// asks the thread to end. `told` is when the thread last posted (the thread's own).
struct Count {
    HWND window;
    HANDLE thread;
    DumpScan scan;
    FileMap *map;
    DumpScan published;
    CRITICAL_SECTION lock;
    volatile LONG waiting;
    volatile LONG stop;
    volatile LONG done;
    ULONGLONG told;
};

Count *count_of(HWND window) {
    return static_cast<Count *>(GetPropW(window, COUNT_PROP));
}

void publish(Count *c, bool done) {
    EnterCriticalSection(&c->lock);
    c->published = c->scan;
    LeaveCriticalSection(&c->lock);
    if (done) InterlockedExchange(&c->done, 1);
    const ULONGLONG now = GetTickCount64();
    if (!done && now - c->told < PROGRESS_MS) return;
    if (InterlockedExchange(&c->waiting, 1) == 0 || done) {
        PostMessageW(c->window, WM_COUNT_PROGRESS, 0, 0);
        c->told = now;
    }
}

DWORD WINAPI count_thread(void *arg) {
    Count *c = static_cast<Count *>(arg);
    bool more = true;
    while (more && !c->stop) {
        more = read_step(&c->scan, c->map, STEP_BYTES) == 1;
        publish(c, !more);
    }
    return 0;
}

void free_count(Count *c) {
    DeleteCriticalSection(&c->lock);
    free(c);
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
    Count *c = static_cast<Count *>(calloc(1, sizeof(Count)));
    if (c) {
        c->window = window;
        c->scan = *scan;
        c->map = &viewer->map;
        c->published = *scan;
        c->told = GetTickCount64();
        InitializeCriticalSection(&c->lock);
        c->thread = CreateThread(nullptr, 0, count_thread, c, CREATE_SUSPENDED, nullptr);
        // The window's thread goes first: on a machine of few cores the count must not be what
        // keeps a key or a paint waiting.
        if (c->thread) {
            SetThreadPriority(c->thread, THREAD_PRIORITY_BELOW_NORMAL);
            ResumeThread(c->thread);
        }
        if (c->thread && SetPropW(window, COUNT_PROP, c)) return;
        if (c->thread) {
            c->stop = 1;
            WaitForSingleObject(c->thread, INFINITE);
            CloseHandle(c->thread);
        }
        free_count(c);
    }
    // No thread: the rest now, as before the viewer counted in steps.
    DumpScan rest = *scan;
    while (read_step(&rest, &viewer->map, UINT64_MAX)) {
    }
    load_adopt(viewer, &rest);
}

void stop_counting(HWND window) {
    Count *c = count_of(window);
    if (!c) return;
    RemovePropW(window, COUNT_PROP);
    InterlockedExchange(&c->stop, 1);
    WaitForSingleObject(c->thread, INFINITE);
    CloseHandle(c->thread);
    free_count(c);
}

unsigned count_progressed(HWND window, Viewer *viewer) {
    Count *c = count_of(window);
    if (!c) return 0;
    InterlockedExchange(&c->waiting, 0);
    const bool done = c->done != 0;
    DumpScan now;
    EnterCriticalSection(&c->lock);
    now = c->published;
    LeaveCriticalSection(&c->lock);
    const int32_t rows = viewer->row_count;
    const bool had_columns = viewer->copy_line != nullptr;
    const bool had_sql = viewer->sql != nullptr, had_info = viewer->info != nullptr;
    load_adopt(viewer, &now);
    unsigned news = 0;
    if (viewer->row_count != rows) news |= COUNT_ROWS;
    if (!had_columns && viewer->copy_line) news |= COUNT_COLUMNS;
    if ((!had_sql && viewer->sql) || (!had_info && viewer->info)) news |= COUNT_SECTIONS;
    if (done) {
        news |= COUNT_DONE;
        stop_counting(window);
    }
    return news;
}
