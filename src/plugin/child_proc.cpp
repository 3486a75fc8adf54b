// ChildProc: the viewer's own keys, grid navigation, and clicks in the grid.
#include "plugin/child_proc.h"

#include <commctrl.h>

#include "grid/cursor.h"
#include "plugin/key_state.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_record.h"

void install_child_proc(Viewer *viewer) {
    HWND grid = static_cast<HWND>(viewer->grid);
    HWND edit = static_cast<HWND>(viewer->edit);
    viewer->grid_proc = reinterpret_cast<void *>(
        SetWindowLongPtrW(grid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
    viewer->edit_proc = reinterpret_cast<void *>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
}

// The control's own procedure; the grid is a Unicode window.
static LRESULT pass_on(Viewer *viewer, HWND grid, UINT message, WPARAM wparam, LPARAM lparam) {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(viewer->grid_proc), grid, message, wparam,
                           lparam);
}

static LRESULT key_down(Viewer *viewer, HWND grid, WPARAM key, LPARAM lparam) {
    if (viewer_key(GetParent(grid), viewer, key, PLACE_GRID)) return 0;
    int page = 0;
    if (key == VK_PRIOR || key == VK_NEXT)
        page = static_cast<int>(SendMessageW(grid, LVM_GETCOUNTPERPAGE, 0, 0));
    if (grid_apply_key(viewer, static_cast<int>(key), key_held(VK_CONTROL), key_held(VK_SHIFT),
                       page))
        return 0;
    return pass_on(viewer, grid, WM_KEYDOWN, key, lparam);
}

static LRESULT left_button_down(Viewer *viewer, HWND grid, LPARAM lparam) {
    bool shift = key_held(VK_SHIFT);
    LVHITTESTINFO hit = {};
    hit.pt.x = static_cast<short>(LOWORD(lparam));
    hit.pt.y = static_cast<short>(HIWORD(lparam));
    SetFocus(grid);
    SendMessageW(grid, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem >= 0) grid_goto(viewer, hit.iItem, hit.iSubItem, shift);
    return 0;
}

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Viewer *viewer = viewer_of(GetParent(window));
    if (!viewer) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_KEYDOWN: return key_down(viewer, window, wparam, lparam);
    case WM_LBUTTONDOWN: return left_button_down(viewer, window, lparam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, FALSE); break;
    default: break;
    }
    return pass_on(viewer, window, message, wparam, lparam);
}
