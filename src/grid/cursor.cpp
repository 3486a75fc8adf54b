// Cursor moves with clamping, and the key-to-target rule the keyboard code applies.
#include "grid/cursor.h"

#include "grid/shown_rows.h"

static GridView g_view = {nullptr, nullptr};

void grid_set_view(const GridView *view) {
    g_view = view ? *view : GridView{nullptr, nullptr};
}

static int32_t min32(int32_t a, int32_t b) {
    return a < b ? a : b;
}
static int32_t max32(int32_t a, int32_t b) {
    return a > b ? a : b;
}
static int32_t clamp32(int32_t v, int32_t lo, int32_t hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

SelectionRect selection_rect(const Viewer *viewer) {
    return {min32(viewer->anchor_row, viewer->cur_row), max32(viewer->anchor_row, viewer->cur_row),
            min32(viewer->anchor_col, viewer->cur_col), max32(viewer->anchor_col, viewer->cur_col)};
}

void grid_goto(Viewer *viewer, int32_t row, int32_t col, int extend) {
    const int32_t rows = shown_row_count(viewer);
    if (rows <= 0) return;
    int32_t last_col = viewer->col_count > 0 ? viewer->col_count - 1 : 0;
    viewer->cur_row = clamp32(row, 0, rows - 1);
    viewer->cur_col = clamp32(col, 0, last_col);
    if (!extend) {
        viewer->anchor_row = viewer->cur_row;
        viewer->anchor_col = viewer->cur_col;
    }
    if (g_view.ensure_cell_visible) g_view.ensure_cell_visible(viewer);
    if (g_view.repaint) g_view.repaint(viewer);
}

// Saturating step, so that a page move from near INT32_MAX cannot overflow before clamping.
static int32_t step(int32_t from, int32_t by) {
    int64_t to = static_cast<int64_t>(from) + by;
    return to > INT32_MAX ? INT32_MAX : to < INT32_MIN ? INT32_MIN : static_cast<int32_t>(to);
}

GridMove grid_move_for_key(int key, int ctrl, int page, int32_t cur_row, int32_t cur_col,
                           int32_t row_count, int32_t col_count) {
    if (page <= 0) page = 10;
    int32_t last_row = row_count - 1, last_col = col_count - 1;
    switch (key) {
    case KEY_UP: return {MOVE_GOTO, ctrl ? 0 : step(cur_row, -1), cur_col};
    case KEY_DOWN: return {MOVE_GOTO, ctrl ? last_row : step(cur_row, 1), cur_col};
    case KEY_LEFT: return {MOVE_GOTO, cur_row, ctrl ? 0 : step(cur_col, -1)};
    case KEY_RIGHT: return {MOVE_GOTO, cur_row, ctrl ? last_col : step(cur_col, 1)};
    case KEY_HOME: return {MOVE_GOTO, ctrl ? 0 : cur_row, 0};
    case KEY_END: return {MOVE_GOTO, ctrl ? last_row : cur_row, last_col};
    case KEY_PRIOR: return {MOVE_GOTO, step(cur_row, -page), cur_col};
    case KEY_NEXT: return {MOVE_GOTO, step(cur_row, page), cur_col};
    case KEY_A:
        if (ctrl) return {MOVE_SELECT_ALL, last_row, last_col};
        return {MOVE_NONE, 0, 0};
    default: return {MOVE_NONE, 0, 0};
    }
}

int grid_apply_key(Viewer *viewer, int key, int ctrl, int shift, int page) {
    GridMove move = grid_move_for_key(key, ctrl, page, viewer->cur_row, viewer->cur_col,
                                      shown_row_count(viewer), viewer->col_count);
    switch (move.kind) {
    case MOVE_GOTO: grid_goto(viewer, move.row, move.col, shift); return 1;
    case MOVE_SELECT_ALL:
        viewer->anchor_row = 0;
        viewer->anchor_col = 0;
        grid_goto(viewer, move.row, move.col, 1);
        return 1;
    case MOVE_NONE: break;
    }
    return 0;
}
