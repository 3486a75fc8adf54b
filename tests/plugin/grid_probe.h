// Test support: the grid as the list-view control and its parent see it — headers, cells asked
// of the control, notifications sent to the viewer window as the grid would send them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

int column_count(HWND grid);
std::string column_text(HWND grid, int column);
int column_width(HWND grid, int column);
int item_count(HWND grid);

// A cell's text as the control itself obtains it (LVM_GETITEMTEXTA asks the viewer window).
std::string item_text(HWND grid, int row, int column);

// A cell's rectangle in the grid's client coordinates; column 0 is its label, since the bounds
// of sub-item 0 are those of the whole row.
RECT cell_rect(HWND grid, int row, int column);
POINT cell_center(HWND grid, int row, int column);

// LVN_GETDISPINFOA sent to `viewer` from `sender` for (row, column). The buffer of `room` bytes
// starts filled with '#', so untouched bytes show; `text` is what it holds afterwards, up to its
// first NUL or all of it.
struct DispInfoAnswer {
    LRESULT result;
    std::string text;
};
DispInfoAnswer ask_dispinfo(HWND viewer, HWND sender, int row, int column, int room,
                            UINT mask = LVIF_TEXT);

// NM_CUSTOMDRAW sent to `viewer` from `sender` for one stage of (row, column), with the given
// item state; the answer carries the colours and item state the viewer wrote back.
struct DrawAnswer {
    LRESULT result;
    COLORREF back, text;
    UINT item_state;
};
DrawAnswer ask_custom_draw(HWND viewer, HWND sender, DWORD stage, int row, int column,
                           UINT item_state = 0);

// The grid as the viewer colours it, one character per cell and rows joined by '|': 'C' the
// cursor, 'S' the rest of the selection, '.' any other cell. Focus decides only the shade, so
// the map reads the same focused or not.
std::string drawn_cells(HWND viewer, HWND grid, int rows, int columns);
