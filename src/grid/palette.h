// Which colour each part of the viewer is drawn in: the viewer's own palette, or in a
// high-contrast theme the colours the user's theme chose, which then replace every colour of the
// viewer's own.
#pragma once

#include "grid/cells.h"

#include <stdint.h>

// The system's colours a palette may draw from, as COLORREF values (0x00BBGGRR), read by the
// Windows side from the system at the time of a paint.
struct SystemColors {
    uint32_t window, window_text;       // a view's background and text
    uint32_t highlight, highlight_text; // the selection of the view that has the keyboard
    uint32_t button_face, button_text;  // bars, and the selection of a view without the keyboard
};

// The colours of one paint. Indices [0] and [1] are without and with the keyboard focus.
// `cursor_frame` asks for a frame inside the cursor cell, one pixel a 96th of an inch wide, in the
// cursor's text colour: in a high-contrast theme the cursor has the selection's colours and the
// frame is what sets it apart from the rest of a selection.
struct Palette {
    CellColors cursor[2];
    CellColors selected[2];
    CellColors rows[2]; // cells outside the selection: even rows, odd rows
    int cursor_frame;
    CellColors bar;    // the header bar and the find bar: their background and text
    uint32_t bar_rule; // the line between a bar and the view beside it
    CellColors text;   // the text views: their background and text
    CellColors text_selected[2];
};

// The palette for the system's colours: with `high_contrast` every part in the system's colours
// (selection HIGHLIGHT on HIGHLIGHTTEXT with the keyboard, BTNFACE and BTNTEXT without; other cells
// WINDOW and WINDOWTEXT, no stripes; the bars BTNFACE and BTNTEXT), otherwise the viewer's own
// palette for the grid and the bar's text, the system's colours for the rest.
Palette palette_for(const SystemColors *system, int high_contrast);

// Background and text colour of a cell in `palette`: the cursor cell, then the rest of the
// selection, then the row's parity.
CellColors cell_colors_in(const Palette *palette, const Viewer *viewer, int32_t row, int32_t col,
                          int focused);
