// Grid binding: columns, virtual row count, cell text and colour notifications, scrolling.
#include "plugin/grid_binding.h"

#include <commctrl.h>

#include "grid/cells.h"
#include "grid/cursor.h"

enum {
    COLUMN_WIDTH = 120,
    EMPTY_COLUMN_WIDTH = 200,
    // Autosizing makes the control ask for every row's text, so it only sees this many rows
    // while it measures: the widths fit what the user sees first, and opening a file of millions
    // of rows costs no more than opening a small one.
    AUTOSIZE_ROWS = 100,
    SCROLL_MARGIN = 2,
    HEADER_PADDING = 16,
};

static HWND grid_of(const Viewer *viewer) {
    return static_cast<HWND>(viewer->grid);
}

static void insert_column(HWND grid, int index, const char *text, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = width;
    column.pszText = const_cast<char *>(text);
    SendMessageA(grid, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

// Sizing the last column to its header makes it fill what is left of the view, and when the other
// columns take the whole width that is next to nothing: the column would be there but unseen.
static void keep_header_readable(HWND grid, int index, const char *title) {
    int least = static_cast<int>(
                    SendMessageA(grid, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title))) +
                HEADER_PADDING;
    if (SendMessageA(grid, LVM_GETCOLUMNWIDTH, index, 0) < least)
        SendMessageA(grid, LVM_SETCOLUMNWIDTH, index, least);
}

void populate_grid(Viewer *viewer) {
    HWND grid = grid_of(viewer);
    while (SendMessageA(grid, LVM_DELETECOLUMN, 0, 0)) {
    }
    SendMessageA(grid, LVM_DELETEALLITEMS, 0, 0);

    for (int i = 0; i < viewer->col_count; ++i)
        insert_column(grid, i, column_title(viewer, i), COLUMN_WIDTH);
    if (viewer->col_count == 0) insert_column(grid, 0, "(no columns)", EMPTY_COLUMN_WIDTH);

    int measured = viewer->row_count < AUTOSIZE_ROWS ? viewer->row_count : AUTOSIZE_ROWS;
    SendMessageA(grid, LVM_SETITEMCOUNT, measured, LVSICF_NOSCROLL);
    for (int i = 0; i < viewer->col_count; ++i)
        SendMessageA(grid, LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE_USEHEADER);
    if (viewer->col_count > 0)
        keep_header_readable(grid, viewer->col_count - 1,
                             column_title(viewer, viewer->col_count - 1));
    SendMessageA(grid, LVM_SETITEMCOUNT, viewer->row_count, LVSICF_NOSCROLL);
}

static LRESULT answer_dispinfo(Viewer *viewer, NMLVDISPINFOA *info) {
    LVITEMA *item = &info->item;
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0)
        cell_text(viewer, item->iItem, item->iSubItem, item->pszText,
                  static_cast<size_t>(item->cchTextMax));
    return 0;
}

static LRESULT answer_custom_draw(Viewer *viewer, NMLVCUSTOMDRAW *draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The control's own selection and focus are never drawn: only the viewer's cursor and
        // selection are.
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        int focused = GetFocus() == grid_of(viewer);
        CellColors colors = cell_colors(viewer, static_cast<int32_t>(draw->nmcd.dwItemSpec),
                                        draw->iSubItem, focused);
        draw->clrTextBk = colors.back;
        draw->clrText = colors.text;
        return CDRF_NEWFONT;
    }
    default: return 0;
    }
}

LRESULT grid_notify(Viewer *viewer, const NMHDR *header) {
    switch (header->code) {
    case LVN_GETDISPINFOA:
        return answer_dispinfo(viewer,
                               reinterpret_cast<NMLVDISPINFOA *>(const_cast<NMHDR *>(header)));
    case NM_CUSTOMDRAW:
        return answer_custom_draw(viewer,
                                  reinterpret_cast<NMLVCUSTOMDRAW *>(const_cast<NMHDR *>(header)));
    default: return 0;
    }
}

void ensure_cell_visible(Viewer *viewer) {
    if (viewer->row_count <= 0) return;
    HWND grid = grid_of(viewer);
    SendMessageA(grid, LVM_ENSUREVISIBLE, viewer->cur_row, FALSE);
    RECT cell = {};
    cell.top = viewer->cur_col;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageA(grid, LVM_GETSUBITEMRECT, viewer->cur_row, reinterpret_cast<LPARAM>(&cell)))
        return;
    RECT client;
    GetClientRect(grid, &client);
    if (cell.left < 0)
        SendMessageA(grid, LVM_SCROLL, cell.left - SCROLL_MARGIN, 0);
    else if (viewer->cur_col > 0 && cell.right > client.right)
        SendMessageA(grid, LVM_SCROLL, cell.right - client.right + SCROLL_MARGIN, 0);
}

static void repaint_grid(Viewer *viewer) {
    InvalidateRect(grid_of(viewer), nullptr, FALSE);
}

void install_grid_view(void) {
    static const GridView view = {ensure_cell_visible, repaint_grid};
    grid_set_view(&view);
}
