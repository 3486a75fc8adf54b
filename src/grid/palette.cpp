// The viewer's palette and the high-contrast one, and which of their colours a cell takes.
#include "grid/palette.h"

#include "grid/cursor.h"

Palette palette_for(const SystemColors *system, int high_contrast) {
    const SystemColors &s = *system;
    Palette p = {};
    if (high_contrast) {
        // Stripes would be a colour the theme did not choose; the cursor has the selection's
        // colours and a frame.
        p.cursor[1] = p.selected[1] = {s.highlight, s.highlight_text};
        p.cursor[0] = p.selected[0] = {s.button_face, s.button_text};
        p.rows[0] = p.rows[1] = {s.window, s.window_text};
        p.cursor_frame = 1;
        p.bar = {s.button_face, s.button_text};
        p.bar_rule = s.button_text;
        p.text_selected[0] = {s.button_face, s.button_text};
    } else {
        p.cursor[1] = {COLOR_CURSOR_FOCUSED, COLOR_TEXT_ON_CURSOR};
        p.cursor[0] = {COLOR_CURSOR_UNFOCUSED, COLOR_TEXT_ON_CURSOR};
        p.selected[1] = {COLOR_SELECTED_FOCUSED, COLOR_TEXT};
        p.selected[0] = {COLOR_SELECTED_UNFOCUSED, COLOR_TEXT};
        p.rows[0] = {COLOR_ROW_EVEN, COLOR_TEXT};
        p.rows[1] = {COLOR_ROW_ODD, COLOR_TEXT};
        p.bar = {s.button_face, COLOR_BAR_TEXT};
        p.bar_rule = COLOR_BAR_RULE;
        p.text_selected[0] = {s.button_face, s.window_text};
    }
    p.text = {s.window, s.window_text};
    p.text_selected[1] = {s.highlight, s.highlight_text};
    return p;
}

CellColors cell_colors_in(const Palette *palette, const Viewer *viewer, int32_t row, int32_t col,
                          int focused) {
    const int f = focused ? 1 : 0;
    if (row == viewer->cur_row && col == viewer->cur_col) return palette->cursor[f];
    SelectionRect sel = selection_rect(viewer);
    if (row >= sel.r0 && row <= sel.r1 && col >= sel.c0 && col <= sel.c1)
        return palette->selected[f];
    return palette->rows[row % 2 ? 1 : 0];
}

CellColors cell_colors(const Viewer *viewer, int32_t row, int32_t col, int focused) {
    const SystemColors unused = {};
    const Palette own = palette_for(&unused, 0);
    return cell_colors_in(&own, viewer, row, col, focused);
}
