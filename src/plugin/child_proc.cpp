// ChildProc: the viewer's own keys, grid navigation, and clicks in the grid.
#include "plugin/child_proc.h"

#include <commctrl.h>
#include <windowsx.h>

#include "grid/cursor.h"
#include "plugin/column_widths.h"
#include "plugin/grid_binding.h"
#include "plugin/key_state.h"
#include "plugin/module_frames.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_messages.h"
#include "plugin/viewer_record.h"

// The grid of this thread that holds the focus, or none; kept by the grid's focus messages.
static thread_local HWND g_focused_grid;

bool grid_has_focus(HWND grid) {
    return grid && grid == g_focused_grid;
}

void install_child_proc(Viewer *viewer) {
    HWND grid = static_cast<HWND>(viewer->grid);
    // The grid is made when first shown, and subclassed then; once is all it takes.
    if (!grid || GetWindowLongPtrW(grid, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ChildProc))
        return;
    if (GetFocus() == grid) g_focused_grid = grid;
    viewer->grid_proc = reinterpret_cast<void *>(
        SetWindowLongPtrW(grid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ChildProc)));
}

// The control's own procedure; the grid is a Unicode window.
static LRESULT pass_on(Viewer *viewer, HWND grid, UINT message, WPARAM wparam, LPARAM lparam) {
    return CallWindowProcW(reinterpret_cast<WNDPROC>(viewer->grid_proc), grid, message, wparam,
                           lparam);
}

static LRESULT key_down(Viewer *viewer, HWND grid, WPARAM key, LPARAM lparam) {
    if (viewer_key(GetParent(grid), viewer, key, PLACE_GRID, false)) return 0;
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

// A double click shows the cell's whole value, as Enter does.
static LRESULT left_double_click(Viewer *viewer, HWND grid, LPARAM lparam) {
    LVHITTESTINFO hit = {};
    hit.pt.x = GET_X_LPARAM(lparam);
    hit.pt.y = GET_Y_LPARAM(lparam);
    SendMessageW(grid, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0) return 0;
    grid_goto(viewer, hit.iItem, hit.iSubItem, 0);
    run_command(GetParent(grid), viewer, {CMD_VALUE_OPEN, 0}, PLACE_GRID, nullptr);
    return 0;
}

// The right button moves the cursor onto a cell outside the selection first, as spreadsheets do,
// so that the menu acts on the cell clicked; inside the selection it leaves the selection alone.
static LRESULT right_button_down(Viewer *viewer, HWND grid, LPARAM lparam) {
    LVHITTESTINFO hit = {};
    hit.pt.x = GET_X_LPARAM(lparam);
    hit.pt.y = GET_Y_LPARAM(lparam);
    SetFocus(grid);
    SendMessageW(grid, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.iItem < 0) return 0;
    SelectionRect sel = selection_rect(viewer);
    if (hit.iItem < sel.r0 || hit.iItem > sel.r1 || hit.iSubItem < sel.c0 || hit.iSubItem > sel.c1)
        grid_goto(viewer, hit.iItem, hit.iSubItem, 0);
    return 0;
}

static LRESULT right_button_up(Viewer *viewer, HWND grid, LPARAM lparam) {
    POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
    ClientToScreen(grid, &at);
    run_command(GetParent(grid), viewer, {CMD_CONTEXT_MENU, 0}, PLACE_GRID, &at);
    return 0;
}

// A double click on a header's divider fits the column to the rows in view. The list view's own
// answer would measure every row of the file, one request for its text at a time.
static bool header_divider_double_click(Viewer *viewer, HWND grid, LPARAM lparam) {
    const NMHDR *header = reinterpret_cast<const NMHDR *>(lparam);
    if (!header || (header->code != HDN_DIVIDERDBLCLICKW && header->code != HDN_DIVIDERDBLCLICKA))
        return false;
    fit_column_to_view(grid, viewer, reinterpret_cast<const NMHEADERW *>(lparam)->iItem);
    return true;
}

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    ModuleFrame frame;
    Viewer *viewer = viewer_of(GetParent(window));
    if (!viewer) return DefWindowProcW(window, message, wparam, lparam);
    switch (message) {
    case WM_KEYDOWN: return key_down(viewer, window, wparam, lparam);
    case WM_SYSKEYDOWN:
        if (viewer_key(GetParent(window), viewer, wparam, PLACE_GRID, key_with_alt(lparam)))
            return 0;
        break;
    case WM_LBUTTONDOWN: return left_button_down(viewer, window, lparam);
    case WM_LBUTTONDBLCLK: return left_double_click(viewer, window, lparam);
    case WM_RBUTTONDOWN: return right_button_down(viewer, window, lparam);
    case WM_RBUTTONUP: return right_button_up(viewer, window, lparam);
    case WM_NOTIFY:
        if (header_divider_double_click(viewer, window, lparam)) return 0;
        break;
    case WM_CONTEXTMENU: {
        bool keyboard = lparam == -1;
        POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        run_command(GetParent(window), viewer, {CMD_CONTEXT_MENU, 0}, PLACE_GRID,
                    keyboard ? nullptr : &at);
        return 0;
    }
    case WM_SETFOCUS:
        g_focused_grid = window;
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_KILLFOCUS:
        if (g_focused_grid == window) g_focused_grid = nullptr;
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_DESTROY:
        if (g_focused_grid == window) g_focused_grid = nullptr;
        break;
    case WM_ERASEBKGND:
    case WM_PAINT: grid_follow_window_colour(window); break;
    default: break;
    }
    return pass_on(viewer, window, message, wparam, lparam);
}
