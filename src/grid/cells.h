// Cells of the Data grid: the text the grid shows of a row's fields (document/fields.h says where
// they lie), and cell colours.
#pragma once

#include "document/fields.h"
#include "document/viewer.h"

#include <stddef.h>
#include <stdint.h>

// The title the grid's header shows over column col: its name as the header line writes it
// (quotes included), or "col" for a column without a name slot (MAX_COLS and beyond) or without
// a name. Points into the document or at a literal; never null.
const char *column_title(const Viewer *viewer, int32_t col);

// Writes the grid text of cell (row, col) into room (m bytes): the field's first m - 1 bytes and
// a NUL; "null" for a field that is exactly "\N"; empty for a missing field or a row outside the
// document. Other escapes are shown as written. m == 0 writes nothing.
void cell_text(const Viewer *viewer, int32_t row, int32_t col, char *room, size_t m);

// The same text as UTF-16 for a Unicode grid, written into room (m units) and ended with a 0 unit:
// as many whole characters as fit in m - 1 units, never half a surrogate pair, ill-formed bytes as
// U+FFFD (text/utf8.h). Costs the characters written, however long the field. m == 0 writes
// nothing.
void cell_text_utf16(const Viewer *viewer, int32_t row, int32_t col, uint16_t *room, size_t m);

// Colours as COLORREF values (0x00BBGGRR).
struct CellColors {
    uint32_t back;
    uint32_t text;
};

enum : uint32_t {
    COLOR_CURSOR_FOCUSED = 0xB56126,   // RGB(38, 97, 181)
    COLOR_CURSOR_UNFOCUSED = 0xAAAAAA, // RGB(170, 170, 170)
    COLOR_SELECTED_FOCUSED = 0xF1D9C5, // RGB(197, 217, 241)
    COLOR_SELECTED_UNFOCUSED = 0xE4E4E4,
    COLOR_ROW_EVEN = 0xFFFFFF,
    COLOR_ROW_ODD = 0xFAF7F5, // RGB(245, 247, 250)
    COLOR_TEXT_ON_CURSOR = 0xFFFFFF,
    COLOR_TEXT = 0x000000,
    COLOR_BAR_TEXT = 0x141414, // RGB(20, 20, 20) on the system's button face
    COLOR_BAR_RULE = 0x808080,
};

// Background and text colour of a cell in the viewer's own palette (grid/palette.h): the cursor
// cell, then the selection, then the row's parity; the first two depend on whether the grid has the
// keyboard focus.
CellColors cell_colors(const Viewer *viewer, int32_t row, int32_t col, int focused);
