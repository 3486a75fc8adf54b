// ChildProc: tab digits, Escape to the host, grid navigation, copy, and clicks in the grid.
#include "plugin/child_proc.h"

#include <commctrl.h>

#include "grid/cursor.h"
#include "plugin/clipboard.h"
#include "plugin/key_state.h"
#include "plugin/find_bar.h"
#include "plugin/text_view.h"
#include "plugin/viewer_window.h"

void install_child_proc(Viewer *viewer) {
    HWND grid = static_cast<HWND>(viewer->grid);
    HWND edit = static_cast<HWND>(viewer->edit);
    viewer->grid_proc = reinterpret_cast<void *>(
        SetWindowLongPtrW(grid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
    viewer->edit_proc = reinterpret_cast<void *>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
}

// The control's own procedure; both children are Unicode windows.
static LRESULT pass_on(Viewer *viewer, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    void *proc = window == static_cast<HWND>(viewer->grid) ? viewer->grid_proc : viewer->edit_proc;
    return CallWindowProcW(reinterpret_cast<WNDPROC>(proc), window, message, wparam, lparam);
}

void tab_copy(Viewer *viewer) {
    if (viewer->tab == TAB_DATA)
        copy_grid_selection(viewer);
    else
        text_view_copy(static_cast<HWND>(viewer->edit));
}

void tab_select_all(Viewer *viewer) {
    if (viewer->tab == TAB_DATA)
        grid_apply_key(viewer, KEY_A, 1, 0, 0);
    else
        text_view_select_all(static_cast<HWND>(viewer->edit));
}

static LRESULT grid_key(Viewer *viewer, HWND grid, WPARAM key, bool ctrl, bool shift,
                        LPARAM lparam) {
    int page = 0;
    if (key == VK_PRIOR || key == VK_NEXT)
        page = static_cast<int>(SendMessageW(grid, LVM_GETCOUNTPERPAGE, 0, 0));
    if (grid_apply_key(viewer, static_cast<int>(key), ctrl, shift, page)) return 0;
    return pass_on(viewer, grid, WM_KEYDOWN, key, lparam);
}

static LRESULT key_down(Viewer *viewer, HWND window, WPARAM key, LPARAM lparam) {
    bool ctrl = key_held(VK_CONTROL);
    bool shift = key_held(VK_SHIFT);
    HWND viewer_window = GetParent(window);
    if (key == VK_ESCAPE) {
        PostMessageA(GetParent(viewer_window), WM_KEYDOWN, VK_ESCAPE, 0);
        return 0;
    }
    if (key >= '1' && key <= '4') {
        PostMessageA(viewer_window, WM_SHOWTAB, key - '0', 0);
        return 0;
    }
    if ((ctrl && key == 'F') || key == VK_F7) {
        find_bar_open(viewer_window, viewer);
        return 0;
    }
    if (key == VK_F3) {
        find_again(viewer_window, viewer, shift);
        return 0;
    }
    if (ctrl && shift && key == 'C' && viewer->tab == TAB_DATA) {
        copy_grid_selection_with_names(viewer);
        return 0;
    }
    if (ctrl && (key == 'C' || key == VK_INSERT)) {
        tab_copy(viewer);
        return 0;
    }
    if (ctrl && key == 'A') {
        tab_select_all(viewer);
        return 0;
    }
    if (window == static_cast<HWND>(viewer->grid))
        return grid_key(viewer, window, key, ctrl, shift, lparam);
    return pass_on(viewer, window, WM_KEYDOWN, key, lparam);
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
    if (message == WM_KEYDOWN) return key_down(viewer, window, wparam, lparam);
    if (window == static_cast<HWND>(viewer->grid)) {
        switch (message) {
        case WM_LBUTTONDOWN: return left_button_down(viewer, window, lparam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS: InvalidateRect(window, nullptr, FALSE); break;
        default: break;
        }
    }
    return pass_on(viewer, window, message, wparam, lparam);
}
