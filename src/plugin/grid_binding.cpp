// Grid binding: columns, virtual row count, cell text and colour notifications, scrolling. The
// grid is a Unicode list view: titles and cells go to it as UTF-16 converted from the document's
// UTF-8, so they read as written whatever the system's 8-bit code page.
#include "plugin/grid_binding.h"

#include <commctrl.h>

#include <stdlib.h>
#include <string.h>

#include "document/load.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/palette.h"
#include "grid/shown_rows.h"
#include "base/utf8.h"
#include "plugin/child_proc.h"
#include "plugin/column_widths.h"
#include "plugin/dpi.h"
#include "plugin/grid_orders.h"
#include "plugin/high_contrast.h"
#include "plugin/key_state.h"
#include "plugin/long_job.h"
#include "work/sort_keys.h"

// Pixels at 96 DPI, scaled to the grid's (plugin/dpi.h).
enum {
    COLUMN_WIDTH = 120,
    EMPTY_COLUMN_WIDTH = 200,
    // The columns are sized to this many rows (plugin/column_widths.h): the widths fit what the
    // user sees first, and opening a file of millions of rows costs no more than a small one.
    AUTOSIZE_ROWS = 100,
    SCROLL_MARGIN = 2,
    CELL_PADDING = 6,      // what the list view leaves at a cell's edge
    CELL_DRAW_UNITS = 260, // the most of a cell the list view itself would ask for
};

static HWND grid_of(const Viewer *viewer) {
    return static_cast<HWND>(viewer->grid);
}

// A column title as UTF-16, in `small` when it fits, else in a block the caller frees; null when
// that block cannot be had.
static WCHAR *title_utf16(const char *title, WCHAR *small, size_t small_room) {
    size_t len = strlen(title);
    size_t units = utf16_length(title, len) + 1;
    WCHAR *room = units <= small_room ? small : static_cast<WCHAR *>(malloc(units * sizeof(WCHAR)));
    if (room) utf8_to_utf16(title, len, reinterpret_cast<uint16_t *>(room), units, nullptr);
    return room;
}

// Numbers are right-aligned, as spreadsheets and the database's own tools show them.
static bool column_is_number(const Viewer *viewer, int col) {
    return viewer->col_types && col < viewer->col_count &&
           kind_is_number(viewer->col_types[col].kind);
}

static void insert_column(HWND grid, int index, const char *title, int width, bool right) {
    WCHAR small[128];
    WCHAR *text = title_utf16(title, small, 128);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
    column.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text ? text : const_cast<WCHAR *>(L"");
    SendMessageW(grid, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    if (text != small) free(text);
}

void populate_grid(Viewer *viewer) {
    HWND grid = grid_of(viewer);
    if (!grid) return; // made with its columns on the Data tab's first visit
    const int dpi = window_dpi(grid);
    // The list view's own deletion walks every item it holds, a hundred million of a big file
    // loaded before: told it has none first, it has none to walk.
    SendMessageW(grid, LVM_SETITEMCOUNT, 0, 0);
    while (SendMessageW(grid, LVM_DELETECOLUMN, 0, 0)) {
    }
    SendMessageW(grid, LVM_DELETEALLITEMS, 0, 0);

    for (int i = 0; i < viewer->col_count; ++i)
        insert_column(grid, i, column_title(viewer, i), scaled_px(COLUMN_WIDTH, dpi),
                      column_is_number(viewer, i));
    if (viewer->col_count == 0)
        insert_column(grid, 0, "(no columns)", scaled_px(EMPTY_COLUMN_WIDTH, dpi), false);
    grid_show_sort_arrows(viewer);

    // The rows first, so that the last column fills the view beside the scroll bar they need.
    const int32_t rows = shown_row_count(viewer);
    SendMessageW(grid, LVM_SETITEMCOUNT, rows, LVSICF_NOSCROLL);
    fit_column_widths(grid, viewer, rows < AUTOSIZE_ROWS ? rows : AUTOSIZE_ROWS);
}

void grid_show_sort_arrows(Viewer *viewer) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(grid_of(viewer), LVM_GETHEADER, 0, 0));
    if (!header) return;
    int n = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        int want = item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN);
        const SortDir dir = order_dir_of(&viewer->order, i);
        if (dir != SORT_NONE) want |= dir == SORT_ASC ? HDF_SORTUP : HDF_SORTDOWN;
        if (want == item.fmt) continue;
        item.fmt = want;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void grid_sort(Viewer *viewer, int32_t col, SortDir dir) {
    ask_sort(GetParent(grid_of(viewer)), viewer, col, dir);
}

// A click on a column's header: the column alone, ascending, then descending, then file order
// again; with Shift the column added as the next key, turned round, taken out
// (work/sort_keys.h). It goes on from the keys as last asked.
static void column_clicked(Viewer *viewer, int col) {
    HWND window = GetParent(grid_of(viewer));
    OrderKey asked[ORDER_KEYS_MAX], next[ORDER_KEYS_MAX];
    const int32_t n = asked_keys(window, viewer, asked);
    const int32_t m = keys_after_click(asked, n, col, key_held(VK_SHIFT), next);
    ask_keys(window, viewer, next, m);
}

void grid_rows_grew(Viewer *viewer) {
    SendMessageW(grid_of(viewer), LVM_SETITEMCOUNT, shown_row_count(viewer),
                 LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void grid_rows_changed(Viewer *viewer) {
    HWND grid = grid_of(viewer);
    SendMessageW(grid, LVM_SETITEMCOUNT, shown_row_count(viewer), 0);
    ensure_cell_visible(viewer);
    InvalidateRect(grid, nullptr, FALSE);
}

static LRESULT answer_dispinfo(Viewer *viewer, NMLVDISPINFOW *info) {
    LVITEMW *item = &info->item;
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0)
        cell_text_utf16(viewer, item->iItem, item->iSubItem,
                        reinterpret_cast<uint16_t *>(item->pszText),
                        static_cast<size_t>(item->cchTextMax));
    // A cell read from a part of the file that could no longer be read: the status says so.
    if (load_note_failure(viewer)) InvalidateRect(GetParent(grid_of(viewer)), nullptr, FALSE);
    return 0;
}

// The 8-bit request, which the Unicode grid itself never sends, still gets the bytes as they are.
static LRESULT answer_dispinfo_8bit(Viewer *viewer, NMLVDISPINFOA *info) {
    LVITEMA *item = &info->item;
    if ((item->mask & LVIF_TEXT) && item->pszText && item->cchTextMax > 0)
        cell_text(viewer, item->iItem, item->iSubItem, item->pszText,
                  static_cast<size_t>(item->cchTextMax));
    return 0;
}

// A cell drawn by the viewer rather than the list view: the list view keeps its first column
// left-aligned whatever its format says, so a number column there is drawn here, its text at the
// right; and in a high-contrast theme the cursor cell is drawn here with its frame.
static bool draw_cell(Viewer *viewer, NMLVCUSTOMDRAW *draw, CellColors colors, bool frame) {
    HWND grid = grid_of(viewer);
    const int32_t row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
    const int col = draw->iSubItem;
    RECT cell = {};
    cell.top = col;
    // The bounds of sub-item 0 are the whole row's; its label is the cell.
    cell.left = col == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    if (!SendMessageW(grid, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) return false;
    WCHAR text[CELL_DRAW_UNITS];
    cell_text_utf16(viewer, row, col, reinterpret_cast<uint16_t *>(text), CELL_DRAW_UNITS);
    HDC dc = draw->nmcd.hdc;
    fill_colour(dc, &cell, colors.back);
    const int dpi = window_dpi(grid), padding = scaled_px(CELL_PADDING, dpi);
    if (frame) {
        // Inside the grid lines, one pixel a 96th of an inch wide.
        const int w = scaled_px(1, dpi);
        const RECT r = {cell.left + w, cell.top + w, cell.right - w, cell.bottom - w};
        const RECT sides[4] = {{r.left, r.top, r.right, r.top + w},
                               {r.left, r.bottom - w, r.right, r.bottom},
                               {r.left, r.top, r.left + w, r.bottom},
                               {r.right - w, r.top, r.right, r.bottom}};
        for (const RECT &side : sides) fill_colour(dc, &side, colors.text);
    }
    COLORREF old_color = SetTextColor(dc, colors.text);
    int old_mode = SetBkMode(dc, TRANSPARENT);
    RECT inside = cell;
    const bool right = column_is_number(viewer, col);
    (right ? inside.right : inside.left) += right ? -padding : padding;
    DrawTextW(dc, text, -1, &inside,
              (right ? DT_RIGHT : DT_LEFT) | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                  DT_END_ELLIPSIS);
    SetBkMode(dc, old_mode);
    SetTextColor(dc, old_color);
    return true;
}

static LRESULT answer_custom_draw(Viewer *viewer, NMLVCUSTOMDRAW *draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: palette_begin_paint(); return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The control's own selection and focus are never drawn: only the viewer's cursor and
        // selection are.
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        const Palette *palette = palette_in_paint();
        const int32_t row = static_cast<int32_t>(draw->nmcd.dwItemSpec);
        CellColors colors =
            cell_colors_in(palette, viewer, row, draw->iSubItem, grid_has_focus(grid_of(viewer)));
        draw->clrTextBk = colors.back;
        draw->clrText = colors.text;
        const bool frame =
            palette->cursor_frame && row == viewer->cur_row && draw->iSubItem == viewer->cur_col;
        const bool right_in_first = draw->iSubItem == 0 && column_is_number(viewer, 0);
        if ((frame || right_in_first) && draw_cell(viewer, draw, colors, frame))
            return CDRF_SKIPDEFAULT;
        return CDRF_NEWFONT;
    }
    default: return 0;
    }
}

LRESULT grid_notify(Viewer *viewer, const NMHDR *header) {
    switch (header->code) {
    case LVN_GETDISPINFOW:
        return answer_dispinfo(viewer,
                               reinterpret_cast<NMLVDISPINFOW *>(const_cast<NMHDR *>(header)));
    case LVN_GETDISPINFOA:
        return answer_dispinfo_8bit(viewer,
                                    reinterpret_cast<NMLVDISPINFOA *>(const_cast<NMHDR *>(header)));
    case LVN_COLUMNCLICK:
        column_clicked(viewer, reinterpret_cast<const NMLISTVIEW *>(header)->iSubItem);
        return 0;
    case NM_CUSTOMDRAW:
        return answer_custom_draw(viewer,
                                  reinterpret_cast<NMLVCUSTOMDRAW *>(const_cast<NMHDR *>(header)));
    default: return 0;
    }
}

void grid_follow_window_colour(HWND grid) {
    const COLORREF want = palette_begin_paint()->text.back;
    if (static_cast<COLORREF>(SendMessageW(grid, LVM_GETBKCOLOR, 0, 0)) != want)
        SendMessageW(grid, LVM_SETBKCOLOR, 0, want);
}

void ensure_cell_visible(Viewer *viewer) {
    if (shown_row_count(viewer) <= 0) return;
    HWND grid = grid_of(viewer);
    SendMessageW(grid, LVM_ENSUREVISIBLE, viewer->cur_row, FALSE);
    RECT cell = {};
    cell.top = viewer->cur_col;
    cell.left = LVIR_BOUNDS;
    if (!SendMessageW(grid, LVM_GETSUBITEMRECT, viewer->cur_row, reinterpret_cast<LPARAM>(&cell)))
        return;
    RECT client;
    GetClientRect(grid, &client);
    const int margin = scaled_px(SCROLL_MARGIN, window_dpi(grid));
    if (cell.left < 0)
        SendMessageW(grid, LVM_SCROLL, cell.left - margin, 0);
    else if (viewer->cur_col > 0 && cell.right > client.right)
        SendMessageW(grid, LVM_SCROLL, cell.right - client.right + margin, 0);
}

// The grid, and the header bar above it, whose status names the cursor's column.
static void repaint_grid(Viewer *viewer) {
    HWND grid = grid_of(viewer);
    if (!grid) return;
    InvalidateRect(grid, nullptr, FALSE);
    RECT bar = {0, 0, 0, 0};
    HWND window = GetParent(grid);
    GetClientRect(window, &bar);
    RECT where;
    GetWindowRect(grid, &where);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&where), 2);
    bar.bottom = where.top;
    InvalidateRect(window, &bar, FALSE);
}

void install_grid_view(void) {
    static const GridView view = {ensure_cell_visible, repaint_grid};
    grid_set_view(&view);
}
