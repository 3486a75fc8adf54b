// The module's exports: the Lister plug-in interface the host calls.
#include <windows.h>

#include <commctrl.h>

#include <stdlib.h>

#include "base/file_map.h"
#include "document/load.h"
#include "plugin/counting.h"
#include "plugin/child_proc.h"
#include "plugin/find_bar.h"
#include "plugin/notice.h"
#include "plugin/fonts.h"
#include "plugin/grid_binding.h"
#include "plugin/long_job.h"
#include "plugin/text_view.h"
#include "plugin/value_view.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_window.h"

#define WLX_EXPORT extern "C" __declspec(dllexport)

// The process-wide set-up the first viewer needs. The classes stay registered; the fonts go when
// the module is freed (DllMain).
static void set_up_process(void) {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    bar_font();
    register_viewer_class();
    register_text_view_class();
    register_find_bar_class();
    register_value_view_class();
    install_grid_view();
}

// Records of viewers closed while work ran for them. The call came from a message answered while
// the work ran (long_job.h), and the frames below it still hold the record (and its file, open and
// mapped): it goes at the thread's next call of the module with no work running, once those frames
// have returned, or when the module does. A host that closes a hundred viewers so before calling
// again loses the rest. `g_closed_lock` guards the table against hosts calling from several
// threads.
struct ClosedWorking {
    Viewer *viewer;
    DWORD thread;
};
static ClosedWorking g_closed_working[100];
static SRWLOCK g_closed_lock = SRWLOCK_INIT;

static void free_closed_viewers() {
    if (job_runs_on_this_thread()) return;
    const DWORD me = GetCurrentThreadId();
    for (;;) {
        Viewer *gone = nullptr;
        AcquireSRWLockExclusive(&g_closed_lock);
        for (ClosedWorking &slot : g_closed_working)
            if (slot.viewer && slot.thread == me) {
                gone = slot.viewer;
                slot = ClosedWorking{};
                break;
            }
        ReleaseSRWLockExclusive(&g_closed_lock);
        if (!gone) return;
        viewer_delete(gone);
    }
}

// ListLoad and ListLoadW: the file named 8-bit (through the ANSI code page, as the host passes
// it) or in UTF-16 (any name, any length).
static HWND load_viewer(HWND parent, const void *path, bool wide) {
    static int reg = 0;
    free_closed_viewers();
    Viewer *viewer = static_cast<Viewer *>(calloc(1, sizeof(Viewer)));
    if (!viewer) return nullptr;
    DumpScan scan;
    if (!open_document(viewer, path, wide, &scan)) {
        viewer_delete(viewer);
        return nullptr;
    }
    if (!reg) {
        reg = 1;
        set_up_process();
    }
    RECT client = {};
    GetClientRect(parent, &client);
    int w = client.right - client.left, h = client.bottom - client.top;
    HWND window = CreateWindowExA(0, VIEWER_CLASS, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                  0, w, h, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        viewer_delete(viewer);
        return nullptr;
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(viewer));
    create_children(window, viewer, w, h);
    install_child_proc(viewer);
    populate_grid(viewer);
    show_first_tab(window, viewer);
    count_rest(window, viewer, &scan);
    return window;
}

// ListLoadNext and ListLoadNextW.
static int reload_viewer(HWND window, const void *path, bool wide) {
    free_closed_viewers();
    Viewer *viewer = viewer_of_viewer_window(window);
    // Asked from a message answered while work runs on the document (long_job.h): the work and
    // the frames below it hold the document, which stays.
    if (!viewer || job_note(window)) return 1;
    Viewer scratch = {};
    DumpScan scan;
    if (!open_document(&scratch, path, wide, &scan)) return 1;

    // Nothing may read the old document once it goes: its count, and the text view's blocks.
    stop_counting(window);
    text_view_forget(static_cast<HWND>(viewer->edit));
    viewer_free_blocks(viewer);
    viewer_take_document(viewer, &scratch);
    scan.rows = &viewer->rows;
    find_bar_forget_filter(find_bar_of(window));
    notice_clear(window);

    populate_grid(viewer);
    show_first_tab(window, viewer);
    count_rest(window, viewer, &scan);
    return 0;
}

WLX_EXPORT HWND __stdcall ListLoad(HWND parent, char *path, int show_flags) {
    (void)show_flags;
    return load_viewer(parent, path, false);
}

WLX_EXPORT HWND __stdcall ListLoadW(HWND parent, WCHAR *path, int show_flags) {
    (void)show_flags;
    return load_viewer(parent, path, true);
}

WLX_EXPORT int __stdcall ListLoadNext(HWND parent, HWND window, char *path, int show_flags) {
    (void)parent;
    (void)show_flags;
    return reload_viewer(window, path, false);
}

WLX_EXPORT int __stdcall ListLoadNextW(HWND parent, HWND window, WCHAR *path, int show_flags) {
    (void)parent;
    (void)show_flags;
    return reload_viewer(window, path, true);
}

WLX_EXPORT void __stdcall ListCloseWindow(HWND window) {
    free_closed_viewers();
    Viewer *viewer = viewer_of_viewer_window(window);
    const bool working = job_note(window) != nullptr;
    stop_job(window);
    if (viewer) stop_counting(window);
    DestroyWindow(window);
    if (!working) {
        viewer_delete(viewer);
        return;
    }
    AcquireSRWLockExclusive(&g_closed_lock);
    for (ClosedWorking &slot : g_closed_working)
        if (!slot.viewer) {
            slot = ClosedWorking{viewer, GetCurrentThreadId()};
            break;
        }
    ReleaseSRWLockExclusive(&g_closed_lock);
}

WLX_EXPORT void __stdcall ListGetDetectString(char *detect, int size) {
    if (detect && size > 0) lstrcpynA(detect, "EXT=\"PG\"", size);
}

// The host's own menu commands: its Copy and Select all act on the current tab as Ctrl+C and
// Ctrl+A do. Its other commands (view options changed, scroll to a percentage) ask nothing of
// this viewer.
enum { LC_COPY = 1, LC_SELECTALL = 3 };
enum { LISTPLUGIN_ERROR = 1 };

WLX_EXPORT int __stdcall ListSendCommand(HWND window, int command, int parameter) {
    (void)parameter;
    Viewer *viewer = viewer_of_viewer_window(window);
    if (!viewer) return 0;
    // Asked from a message answered while work runs: the work is changing the rows copy reads.
    if (job_note(window)) return LISTPLUGIN_ERROR;
    if (command == LC_COPY) tab_copy(window, viewer);
    if (command == LC_SELECTALL) tab_select_all(window, viewer);
    return 0;
}

// The fonts live as long as this copy of the module. At process exit (reserved set) the system
// reclaims them.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        for (ClosedWorking &kept : g_closed_working) {
            viewer_delete(kept.viewer);
            kept = ClosedWorking{};
        }
        fonts_free();
        file_map_release_guard();
    }
    return TRUE;
}
