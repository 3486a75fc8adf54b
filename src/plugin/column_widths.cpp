// Column widths from one device context: the titles and the first rows' cells measured in the
// grid's font.
#include "plugin/column_widths.h"

#include <commctrl.h>

#include <stdlib.h>
#include <string.h>

#include "base/utf8.h"
#include "grid/cells.h"
#include "plugin/dpi.h"

namespace {

enum {
    // Pixels at 96 DPI the list view adds to a cell's text and the header to a title (their
    // margins), and the units of a cell the list view draws at most.
    CELL_MARGIN = 12,
    TITLE_MARGIN = 16,
    CELL_UNITS = 260,
};

int text_width(HDC dc, const WCHAR *text, size_t units) {
    SIZE size = {};
    if (units == 0 || !GetTextExtentPoint32W(dc, text, static_cast<int>(units), &size)) return 0;
    return size.cx;
}

int title_width(HDC dc, const char *title) {
    WCHAR small[CELL_UNITS];
    size_t units = utf8_to_utf16(title, strlen(title), reinterpret_cast<uint16_t *>(small),
                                 CELL_UNITS, nullptr);
    return text_width(dc, small, units);
}

} // namespace

void fit_column_widths(HWND grid, const Viewer *viewer, int32_t rows) {
    const int n = viewer->col_count;
    if (!grid || n <= 0) return;
    HDC dc = GetDC(grid);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(grid, WM_GETFONT, 0, 0)));
    const int dpi = window_dpi(grid);
    const int cell_margin = scaled_px(CELL_MARGIN, dpi),
              title_margin = scaled_px(TITLE_MARGIN, dpi);
    WCHAR cell[CELL_UNITS];
    int total = 0;
    for (int col = 0; col < n; ++col) {
        const int title = title_width(dc, column_title(viewer, col)) + title_margin;
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
        int width = title;
        for (int32_t row = 0; row < rows; ++row) {
            cell_text_utf16(viewer, row, col, reinterpret_cast<uint16_t *>(cell), CELL_UNITS);
            size_t units = 0;
            while (cell[units]) ++units;
            int w = text_width(dc, cell, units) + cell_margin;
            if (w > width) width = w;
        }
        SendMessageW(grid, LVM_SETCOLUMNWIDTH, col, width);
        total += width;
    }
    SelectObject(dc, old);
    ReleaseDC(grid, dc);
}
