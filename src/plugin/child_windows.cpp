// The viewer's children made when first needed, laid out at the window's scale.
#include "plugin/child_windows.h"

#include <commctrl.h>

#include "plugin/child_proc.h"
#include "plugin/dpi.h"
#include "plugin/find_bar.h"
#include "plugin/fonts.h"
#include "plugin/grid_binding.h"
#include "plugin/text_view.h"
#include "plugin/value_view.h"
#include "plugin/viewer_record.h"

namespace {

// The place of the views: below the header bar, above the find bar when it is open.
RECT view_place(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    RECT r = {0, bar_height(window), client.right, client.bottom};
    r.bottom -= find_bar_height(find_bar_of(window));
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

HWND make_grid(HWND window, Viewer *viewer) {
    const RECT r = view_place(window);
    HWND grid = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_OWNERDATA, r.left,
                                r.top, r.right - r.left, r.bottom - r.top, window, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (!grid) return nullptr;
    viewer->grid = grid;
    SendMessageW(grid, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    SendMessageW(grid, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(window_dpi(window))), TRUE);
    install_child_proc(viewer);
    return grid;
}

// The grid's column widths, measured with the font of `from` DPI, at `to`.
void scale_column_widths(HWND grid, int from, int to) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0));
    int n = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < n; ++i) {
        int w = static_cast<int>(SendMessageW(grid, LVM_GETCOLUMNWIDTH, i, 0));
        SendMessageW(grid, LVM_SETCOLUMNWIDTH, i, MulDiv(w, to, from));
    }
}

} // namespace

void make_first_children(HWND window, Viewer *viewer) {
    if (viewer->col_count > 0)
        make_grid(window, viewer);
    else
        text_view_made(window, viewer);
}

HWND grid_made(HWND window, Viewer *viewer) {
    if (viewer->grid) return static_cast<HWND>(viewer->grid);
    HWND grid = make_grid(window, viewer);
    if (grid) populate_grid(viewer);
    return grid;
}

HWND text_view_made(HWND window, Viewer *viewer) {
    if (!viewer->edit) {
        const RECT r = view_place(window);
        viewer->edit = create_text_view(window, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    return static_cast<HWND>(viewer->edit);
}

HWND value_view_made(HWND window) {
    HWND value = value_view_of(window);
    if (value) return value;
    value = create_value_view(window);
    if (Viewer *viewer = viewer_of(window); value && viewer) lay_out_children(window, viewer);
    return value;
}

HWND find_bar_made(HWND window) {
    HWND bar = find_bar_of(window);
    return bar ? bar : create_find_bar(window);
}

void lay_out_children(HWND window, Viewer *viewer) {
    const RECT r = view_place(window);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (viewer->grid) MoveWindow(static_cast<HWND>(viewer->grid), r.left, r.top, w, h, TRUE);
    if (viewer->edit) MoveWindow(static_cast<HWND>(viewer->edit), r.left, r.top, w, h, TRUE);
    if (HWND value = value_view_of(window)) MoveWindow(value, r.left, r.top, w, h, TRUE);
    // A closed bar is placed too, so that it opens where it belongs.
    if (HWND bar = find_bar_of(window)) {
        RECT client;
        GetClientRect(window, &client);
        const int bar_h = scaled_px(FIND_BAR_HEIGHT_96, window_dpi(window));
        MoveWindow(bar, 0, client.bottom - bar_h, w, bar_h, TRUE);
    }
}

void children_follow_scale(HWND window, Viewer *viewer) {
    const int dpi = window_dpi(window);
    if (HWND grid = static_cast<HWND>(viewer->grid)) {
        const int had = font_dpi(reinterpret_cast<HFONT>(SendMessageW(grid, WM_GETFONT, 0, 0)));
        SendMessageW(grid, WM_SETFONT, reinterpret_cast<WPARAM>(bar_font(dpi)), TRUE);
        if (had > 0 && had != dpi) scale_column_widths(grid, had, dpi);
    }
    lay_out_children(window, viewer);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}
