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
#include "plugin/module_frames.h"
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

// ListLoad and ListLoadW: the file named 8-bit (through the ANSI code page, as the host passes
// it) or in UTF-16 (any name, any length).
static HWND load_viewer(HWND parent, const void *path, bool wide) {
    static int reg = 0;
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
    if (!work_create(window, viewer)) {
        DestroyWindow(window);
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
    Viewer *viewer = viewer_of_viewer_window(window);
    // Asked from inside a procedure of the module (a hook, a menu's loop): the frames below hold
    // the document, which stays.
    if (!viewer || viewer_closing(viewer) || module_frames_on_stack()) return 1;
    Viewer scratch = {};
    DumpScan scan;
    if (!open_document(&scratch, path, wide, &scan)) return 1;

    // Nothing may read the old document once it goes: its work, its count, the value shown, and
    // the text view's blocks.
    stop_job(window);
    stop_counting(viewer);
    leave_value_view(window, viewer);
    row_filter_free(&viewer->work->filter);
    sums_forget(&viewer->work->sums);
    viewer->work->remake = false;
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
    Viewer *viewer = viewer_of_viewer_window(window);
    if (viewer_closing(viewer)) return;
    close_viewer(window, viewer);
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
    if (!viewer || viewer_closing(viewer)) return 0;
    // A copy refused because other work runs (it would read what that work hands over).
    if (command == LC_COPY && !tab_copy(window, viewer)) return LISTPLUGIN_ERROR;
    if (command == LC_SELECTALL) tab_select_all(window, viewer);
    return 0;
}

// The fonts live as long as this copy of the module. At process exit (reserved set) the system
// reclaims them.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    (void)module;
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        close_put_off_viewers();
        fonts_free();
        file_map_release_guard();
    }
    return TRUE;
}
