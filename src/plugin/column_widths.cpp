// Column widths from one device context: the titles and the cells measured in the grid's font.
#include "plugin/column_widths.h"

#include <commctrl.h>

#include <stdlib.h>
#include <string.h>

#include "base/utf8.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "plugin/dpi.h"

namespace {

enum {
    // Pixels at 96 DPI the list view adds to a cell's text and the header to a title (their
    // margins), the room the header's sort arrow takes beside a title, and the units of a cell
    // the list view draws at most.
    CELL_MARGIN = 12,
    TITLE_MARGIN = 16,
    SORT_ARROW = 18,
    CELL_UNITS = 260,
};

// The grid's font selected into a device context of the grid, for measuring its texts.
struct Measure {
    HWND grid;
    HDC dc;
    HGDIOBJ old;
    int cell_margin, title_room;
};

bool measure_begin(Measure *m, HWND grid) {
    m->grid = grid;
    m->dc = GetDC(grid);
    if (!m->dc) return false;
    m->old = SelectObject(m->dc, reinterpret_cast<HGDIOBJ>(SendMessageW(grid, WM_GETFONT, 0, 0)));
    const int dpi = window_dpi(grid);
    m->cell_margin = scaled_px(CELL_MARGIN, dpi);
    m->title_room = scaled_px(TITLE_MARGIN, dpi) + scaled_px(SORT_ARROW, dpi);
    return true;
}

void measure_end(Measure *m) {
    SelectObject(m->dc, m->old);
    ReleaseDC(m->grid, m->dc);
}

int text_width(HDC dc, const WCHAR *text, size_t units) {
    SIZE size = {};
    if (units == 0 || !GetTextExtentPoint32W(dc, text, static_cast<int>(units), &size)) return 0;
    return size.cx;
}

// The title with the header's margins and the arrow's room: a sorted column's title reads whole.
int title_width(const Measure &m, const Viewer *viewer, int32_t col) {
    const char *title = column_title(viewer, col);
    WCHAR small[CELL_UNITS];
    size_t units = utf8_to_utf16(title, strlen(title), reinterpret_cast<uint16_t *>(small),
                                 CELL_UNITS, nullptr);
    return text_width(m.dc, small, units) + m.title_room;
}

// The widest of the cells of rows first .. first + count - 1 of column col, with their margins.
int cells_width(const Measure &m, const Viewer *viewer, int32_t col, int32_t first, int32_t count) {
    WCHAR cell[CELL_UNITS];
    int widest = 0;
    for (int32_t row = first; row < first + count; ++row) {
        cell_text_utf16(viewer, row, col, reinterpret_cast<uint16_t *>(cell), CELL_UNITS);
        size_t units = 0;
        while (cell[units]) ++units;
        const int w = text_width(m.dc, cell, units) + m.cell_margin;
        if (w > widest) widest = w;
    }
    return widest;
}

} // namespace

void fit_column_widths(HWND grid, const Viewer *viewer, int32_t rows) {
    const int n = viewer->col_count;
    Measure m;
    if (!grid || n <= 0 || !measure_begin(&m, grid)) return;
    // At most a third of the viewer window, so that one long value leaves room for the others.
    RECT window = {};
    GetClientRect(GetParent(grid), &window);
    const int most = window.right / 3;
    int total = 0;
    for (int col = 0; col < n; ++col) {
        const int title = title_width(m, viewer, col);
        // The last column fills what is left of the view, its title readable whatever is left;
        // the list view's own sizing to the header makes it so.
        if (col == n - 1) {
            RECT client;
            GetClientRect(grid, &client);
            const int left = client.right - total;
            if (left > title) {
                SendMessageW(grid, LVM_SETCOLUMNWIDTH, col, left);
                break;
            }
        }
        int width = cells_width(m, viewer, col, 0, rows);
        if (title > width) width = title;
        if (most > 0 && width > most) width = most;
        SendMessageW(grid, LVM_SETCOLUMNWIDTH, col, width);
        total += width;
    }
    measure_end(&m);
}

void fit_column_to_view(HWND grid, const Viewer *viewer, int32_t col) {
    Measure m;
    if (!grid || col < 0 || col >= viewer->col_count || !measure_begin(&m, grid)) return;
    const int32_t shown = shown_row_count(viewer);
    int32_t first = static_cast<int32_t>(SendMessageW(grid, LVM_GETTOPINDEX, 0, 0));
    int32_t count = static_cast<int32_t>(SendMessageW(grid, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
    if (first < 0 || first > shown) first = 0;
    if (count > shown - first) count = shown - first;
    int width = cells_width(m, viewer, col, first, count);
    const int title = title_width(m, viewer, col);
    if (title > width) width = title;
    SendMessageW(grid, LVM_SETCOLUMNWIDTH, col, width);
    measure_end(&m);
}
