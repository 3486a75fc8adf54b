// The cell cursor, its anchor, the selection rectangle and the navigation rules.
#pragma once

#include "base/keys.h"
#include "document/viewer.h"

#include <stdint.h>

// Rows r0..r1 and columns c0..c1, both ends included.
struct SelectionRect {
    int32_t r0, r1, c0, c1;
};

// The rectangle spanned by the anchor and the cursor.
SelectionRect selection_rect(const Viewer *viewer);

// What the grid view does after the cursor moves: bring the cursor cell into view, then repaint
// the whole grid. The Windows side installs these; until then (and in tests that install none)
// moves touch no view.
struct GridView {
    void (*ensure_cell_visible)(Viewer *viewer);
    void (*repaint)(Viewer *viewer);
};
void grid_set_view(const GridView *view);

// Moves the cursor to (row, col) clamped into the grid; without `extend` the anchor follows.
// Then asks the view to scroll and repaint. A grid without rows is left alone entirely.
void grid_goto(Viewer *viewer, int32_t row, int32_t col, int extend);

enum MoveKind { MOVE_NONE, MOVE_GOTO, MOVE_SELECT_ALL };

// A key's effect: MOVE_NONE (not a navigation key; the control gets it), MOVE_GOTO to (row, col)
// for grid_goto (unclamped; grid_goto clamps), or MOVE_SELECT_ALL.
struct GridMove {
    MoveKind kind;
    int32_t row, col;
};

// The movement rule: key, Ctrl state and page (rows the grid shows fully; 10 when 0 or less)
// applied to the cursor and grid size.
GridMove grid_move_for_key(int key, int ctrl, int page, int32_t cur_row, int32_t cur_col,
                           int32_t row_count, int32_t col_count);

// Applies the movement rule to the viewer: a goto extends when Shift is held; select-all sets the
// anchor to (0, 0) and goes to the last cell extending. Returns 1 when the key was a move.
int grid_apply_key(Viewer *viewer, int key, int ctrl, int shift, int page);
