// The viewer's own commands: Escape to the host, tabs, the find bar, copy, select all, the context
// menu and sorting.
#include "plugin/viewer_keys.h"

#include <commctrl.h>

#include "grid/cursor.h"
#include "grid/shown_rows.h"
#include "plugin/child_windows.h"
#include "plugin/context_menu.h"
#include "plugin/copy_jobs.h"
#include "plugin/find_bar.h"
#include "plugin/grid_binding.h"
#include "plugin/grid_orders.h"
#include "plugin/key_state.h"
#include "plugin/long_job.h"
#include "plugin/module_frames.h"
#include "plugin/notice.h"
#include "plugin/summary_job.h"
#include "plugin/text_view.h"
#include "plugin/value_view.h"
#include "plugin/viewer_messages.h"
#include "work/row_filter.h"

namespace {

// The text view a text command acts on: the value view's while it shows, the text tab's on a
// text tab; null on the grid.
HWND text_in_view(HWND viewer_window, const Viewer *viewer) {
    if (viewer->tab != TAB_DATA) return static_cast<HWND>(viewer->edit);
    HWND value = value_view_of(viewer_window);
    return value_view_open(value) ? value_view_text_view(value) : nullptr;
}

// The grid's selection copied as work of the viewer; false when other work refused it.
bool copy_grid(HWND viewer_window, const Viewer *viewer, bool titles, bool as_format,
               CopyFormat format) {
    return copy_grid_job(viewer_window, viewer, titles, as_format, format) != JOB_BUSY;
}

// The value view over the grid's place, showing cell (row, col) with the cursor there; nothing
// when the cell has no value to show.
void show_value(HWND viewer_window, Viewer *viewer, int32_t row, int32_t col) {
    HWND value = value_view_made(viewer_window);
    if (!value || !value_view_show(value, viewer, row, col)) return;
    if (row != viewer->cur_row || col != viewer->cur_col) grid_goto(viewer, row, col, 0);
    reveal_value_view(viewer_window, viewer);
}

// A condition on the cursor cell's value (or its NULL) added to the filter as last asked.
void filter_by_cell(HWND viewer_window, Viewer *viewer, CellTest test) {
    if (viewer->tab != TAB_DATA || shown_row_count(viewer) <= 0) return;
    Condition *c = cell_condition(viewer, viewer->cur_row, viewer->cur_col, test);
    RowFilter filter;
    if (!c || !row_filter_with_value(&filter, asked_filter(viewer_window, viewer), c)) {
        notice_show(viewer_window, "not enough memory for that filter");
        return;
    }
    ask_filter(viewer_window, viewer, &filter);
}

// Every row again: the bar's text and condition and the cells' conditions gone.
void clear_filters(HWND viewer_window, Viewer *viewer) {
    find_bar_forget_filter(find_bar_of(viewer_window));
    RowFilter none = {};
    ask_filter(viewer_window, viewer, &none);
}

} // namespace

void reveal_value_view(HWND viewer_window, Viewer *viewer) {
    HWND value = value_view_of(viewer_window);
    if (!value) return;
    ShowWindow(value, SW_SHOW);
    ShowWindow(static_cast<HWND>(viewer->grid), SW_HIDE);
    SetFocus(value_view_text_view(value));
    InvalidateRect(viewer_window, nullptr, FALSE); // the status line names what it shows
}

void leave_value_view(HWND viewer_window, Viewer *viewer) {
    HWND value = value_view_of(viewer_window);
    if (!value_view_open(value)) return;
    value_view_close(value);
    ShowWindow(static_cast<HWND>(viewer->grid), SW_SHOW);
    ShowWindow(value, SW_HIDE);
    ensure_cell_visible(viewer);
    SetFocus(static_cast<HWND>(viewer->grid));
    InvalidateRect(viewer_window, nullptr, FALSE);
}

namespace {

// Alt+Up, Alt+Down: the value of the cell above or below, the grid's cursor following.
void step_value(HWND viewer_window, Viewer *viewer, int step) {
    int32_t row = 0, col = 0;
    HWND value = value_view_of(viewer_window);
    if (!value_view_open(value)) return;
    if (!value_view_cell(value, viewer, &row, &col)) return;
    int32_t to = row + step;
    if (to < 0 || to >= shown_row_count(viewer)) return;
    show_value(viewer_window, viewer, to, col);
}

// Where a menu opened from the keyboard appears: over the cursor cell, or at the caret of the text
// view the menu is for (the text tab's, or the value view's).
POINT keyboard_menu_point(HWND viewer_window, Viewer *viewer, KeyPlace place) {
    POINT at = {0, 0};
    HWND child =
        place == PLACE_GRID ? static_cast<HWND>(viewer->grid) : text_in_view(viewer_window, viewer);
    if (place == PLACE_GRID) {
        RECT cell = {};
        cell.top = viewer->cur_col;
        cell.left = LVIR_BOUNDS;
        if (SendMessageW(child, LVM_GETSUBITEMRECT, viewer->cur_row,
                         reinterpret_cast<LPARAM>(&cell)))
            at = {cell.left + (cell.right - cell.left) / 2,
                  cell.top + (cell.bottom - cell.top) / 2};
    } else if (GetFocus() == child) {
        GetCaretPos(&at);
    }
    ClientToScreen(child, &at);
    return at;
}

// The menu's modal loop reads the window's messages: what a job or the count hands over meanwhile
// waits until it has closed, so that the command picked acts on the rows the menu was opened over.
void open_context_menu(HWND viewer_window, Viewer *viewer, KeyPlace place, const POINT *at) {
    ViewerWork *work = viewer->work;
    if (!work || work->menu_open) return;
    POINT where = at ? *at : keyboard_menu_point(viewer_window, viewer, place);
    work->menu_open = true;
    KeyCommand picked = track_context_menu(viewer_window, place, where);
    work->menu_open = false;
    if (viewer_closing(viewer)) return; // the host closed the viewer meanwhile
    const unsigned put_off = work->put_off;
    work->put_off = 0;
    if (put_off & PUT_OFF_JOB) PostMessageW(viewer_window, WM_JOB_DONE, 0, 0);
    if (put_off & PUT_OFF_COUNT) PostMessageW(viewer_window, WM_COUNT_PROGRESS, 0, 0);
    if (picked != CMD_NONE) run_command(viewer_window, viewer, {picked, 0}, place, nullptr);
    remake_if_due(viewer_window, viewer);
}

} // namespace

bool tab_copy(HWND viewer_window, Viewer *viewer) {
    HWND text = text_in_view(viewer_window, viewer);
    if (!text) return copy_grid(viewer_window, viewer, false, false, COPY_CSV);
    text_view_copy(text);
    return true;
}

void tab_select_all(HWND viewer_window, Viewer *viewer) {
    HWND text = text_in_view(viewer_window, viewer);
    if (text)
        text_view_select_all(text);
    else
        grid_apply_key(viewer, KEY_A, 1, 0, 0);
}

void run_command(HWND viewer_window, Viewer *viewer, KeyAction action, KeyPlace place,
                 const POINT *menu_at) {
    // The bar is made by the commands that open it or search from it; a closed bar not made yet
    // has nothing to close or keep.
    HWND bar = find_bar_of(viewer_window);
    notice_clear(viewer_window);
    switch (action.command) {
    case CMD_NONE: break;
    case CMD_TO_HOST:
        // Escape stops the work that runs, and only when none runs goes to the host.
        if (!cancel_job(viewer_window))
            PostMessageA(GetParent(viewer_window), WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case CMD_SHOW_TAB: PostMessageA(viewer_window, WM_SHOWTAB, action.tab, 0); break;
    case CMD_FIND_OPEN: find_bar_open(find_bar_made(viewer_window)); break;
    case CMD_FIND_NEXT: find_again(find_bar_made(viewer_window), false); break;
    case CMD_FIND_PREV: find_again(find_bar_made(viewer_window), true); break;
    case CMD_FIND_CLOSE: find_bar_close(bar); break;
    case CMD_FILTER_OPEN:
        if (viewer->tab == TAB_DATA) find_bar_open_filter(find_bar_made(viewer_window));
        break;
    case CMD_FILTER_KEEP: find_bar_keep_filter(bar); break;
    case CMD_FILTER_CLEAR: find_bar_clear_filter(bar); break;
    case CMD_COPY: tab_copy(viewer_window, viewer); break;
    case CMD_COPY_WITH_NAMES: copy_grid(viewer_window, viewer, true, false, COPY_CSV); break;
    case CMD_SELECT_ALL: tab_select_all(viewer_window, viewer); break;
    case CMD_CONTEXT_MENU: open_context_menu(viewer_window, viewer, place, menu_at); break;
    case CMD_SORT_ASC: grid_sort(viewer, viewer->cur_col, SORT_ASC); break;
    case CMD_SORT_DESC: grid_sort(viewer, viewer->cur_col, SORT_DESC); break;
    case CMD_SORT_NONE: grid_sort(viewer, viewer->cur_col, SORT_NONE); break;
    case CMD_VALUE_OPEN: show_value(viewer_window, viewer, viewer->cur_row, viewer->cur_col); break;
    case CMD_VALUE_CLOSE: leave_value_view(viewer_window, viewer); break;
    case CMD_VALUE_PREV: step_value(viewer_window, viewer, -1); break;
    case CMD_VALUE_NEXT: step_value(viewer_window, viewer, 1); break;
    case CMD_COPY_CSV: copy_grid(viewer_window, viewer, false, true, COPY_CSV); break;
    case CMD_COPY_INSERT: copy_grid(viewer_window, viewer, false, true, COPY_SQL_INSERT); break;
    case CMD_COPY_JSON: copy_grid(viewer_window, viewer, false, true, COPY_JSON); break;
    case CMD_COPY_MARKDOWN: copy_grid(viewer_window, viewer, false, true, COPY_MARKDOWN); break;
    case CMD_SUMMARY_OPEN: ask_column_summary(viewer_window, viewer); break;
    case CMD_GOTO_OPEN:
        if (viewer->tab == TAB_DATA && !value_view_open(value_view_of(viewer_window)))
            find_bar_open_goto(find_bar_made(viewer_window));
        break;
    case CMD_GOTO_ROW: find_bar_go_to_row(bar); break;
    case CMD_FILTER_EQUAL: filter_by_cell(viewer_window, viewer, CELL_EQUAL); break;
    case CMD_FILTER_NOT_EQUAL: filter_by_cell(viewer_window, viewer, CELL_NOT_EQUAL); break;
    case CMD_FILTER_NULL: filter_by_cell(viewer_window, viewer, CELL_IS_NULL); break;
    case CMD_FILTER_NOT_NULL: filter_by_cell(viewer_window, viewer, CELL_NOT_NULL); break;
    case CMD_FILTER_CLEAR_ALL: clear_filters(viewer_window, viewer); break;
    }
}

bool viewer_key(HWND viewer_window, Viewer *viewer, WPARAM key, KeyPlace place, bool alt) {
    if (viewer_closing(viewer)) return true; // closed by the host: no key acts any more
    // Escape, wherever the keyboard is, stops the work that runs first.
    if (key == VK_ESCAPE && !alt && cancel_job(viewer_window)) return true;
    int mods = (key_held(VK_CONTROL) ? KEYMOD_CTRL : 0) | (key_held(VK_SHIFT) ? KEYMOD_SHIFT : 0);
    if (alt) mods |= KEYMOD_ALT;
    KeyAction action = key_command(static_cast<int>(key), mods, place);
    if (action.command == CMD_NONE) return false;
    // Filtering, going to a row and a column's summary act on the grid's rows: in a text tab they
    // are nobody's keys.
    if ((action.command == CMD_FILTER_OPEN || action.command == CMD_GOTO_OPEN ||
         action.command == CMD_SUMMARY_OPEN) &&
        viewer->tab != TAB_DATA)
        return false;
    run_command(viewer_window, viewer, action, place, nullptr);
    return true;
}
