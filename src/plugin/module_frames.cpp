// The frame count is the thread's own; the viewers waiting to close are kept per thread too, since
// only the thread that holds their frames may end them.
#include "plugin/module_frames.h"

#include <commctrl.h>

#include "plugin/long_job.h"

namespace {

thread_local int t_depth = 0;

// Viewers closed while frames were on the stack. A host closes a few viewers at a time; one that
// closes more inside a single call of the module has the rest closed at once regardless.
struct PutOff {
    HWND window;
    Viewer *viewer;
};
enum { PUT_OFF_MAX = 16 };
thread_local PutOff t_put_off[PUT_OFF_MAX];

// What every close does, at once or put off: the work stopped, the list view told it has no rows
// (its teardown would otherwise walk every one of them), the windows and the record freed.
void close_now(HWND window, Viewer *viewer) {
    if (viewer) {
        work_destroy(viewer);
        if (IsWindow(static_cast<HWND>(viewer->grid)))
            SendMessageW(static_cast<HWND>(viewer->grid), LVM_SETITEMCOUNT, 0, 0);
    }
    if (IsWindow(window)) DestroyWindow(window);
    viewer_delete(viewer);
}

void close_put_off() {
    for (PutOff &slot : t_put_off) {
        if (!slot.viewer) continue;
        const PutOff gone = slot;
        slot = PutOff{};
        close_now(gone.window, gone.viewer);
    }
}

} // namespace

ModuleFrame::ModuleFrame() {
    ++t_depth;
}

ModuleFrame::~ModuleFrame() {
    if (--t_depth == 0) {
        // Closing runs window procedures of the module again: counted as frames meanwhile.
        ++t_depth;
        close_put_off();
        --t_depth;
    }
}

bool module_frames_on_stack() {
    return t_depth > 0;
}

void close_viewer(HWND window, Viewer *viewer) {
    if (!module_frames_on_stack() || !viewer) {
        close_now(window, viewer);
        return;
    }
    for (PutOff &slot : t_put_off) {
        if (slot.viewer == viewer) return;
        if (slot.viewer) continue;
        slot = PutOff{window, viewer};
        // Nothing of it runs or shows from now on; what reads the record may still return to it.
        stop_job(window);
        if (viewer->work) {
            count_end(&viewer->work->count);
            viewer->work->closing = true;
        }
        ShowWindow(window, SW_HIDE);
        return;
    }
    close_now(window, viewer);
}

bool viewer_closing(const Viewer *viewer) {
    return viewer && viewer->work && viewer->work->closing;
}

void close_put_off_viewers() {
    close_put_off();
}
