// Test support: the grid as the list-view control and its parent see it — headers, cells asked
// of the control, notifications sent to the viewer window as the grid would send them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

// UTF-16 as UTF-8, for comparing with the document's texts.
std::string utf8_of(const std::wstring &text);

int column_count(HWND grid);
// A column title as the control holds it (LVM_GETCOLUMNW), as UTF-8.
std::string column_text(HWND grid, int column);
std::wstring column_text_w(HWND grid, int column);
int column_width(HWND grid, int column);
int item_count(HWND grid);

// A cell's text as the control itself obtains it (LVM_GETITEMTEXTW asks the viewer window), in a
// room of `room` units; item_text gives it as UTF-8.
std::wstring item_text_w(HWND grid, int row, int column, int room = 512);
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
// The same as LVN_GETDISPINFOW, the request the Unicode grid sends; '#' units show untouched room.
std::wstring ask_dispinfo_w(HWND viewer, HWND sender, int row, int column, int room);

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
