// The viewer's own keys: Escape to the host, tabs, the find bar, copy and select all.
#include "plugin/viewer_keys.h"

#include "grid/cursor.h"
#include "plugin/clipboard.h"
#include "plugin/find_bar.h"
#include "plugin/key_state.h"
#include "plugin/text_view.h"
#include "plugin/viewer_messages.h"

void tab_copy(Viewer *viewer) {
    if (viewer->tab == TAB_DATA)
        copy_grid_selection(viewer);
    else
        text_view_copy(static_cast<HWND>(viewer->edit));
}

void tab_select_all(Viewer *viewer) {
    if (viewer->tab == TAB_DATA)
        grid_apply_key(viewer, KEY_A, 1, 0, 0);
    else
        text_view_select_all(static_cast<HWND>(viewer->edit));
}

bool viewer_key(HWND viewer_window, Viewer *viewer, WPARAM key, KeyPlace place) {
    int mods = (key_held(VK_CONTROL) ? KEYMOD_CTRL : 0) | (key_held(VK_SHIFT) ? KEYMOD_SHIFT : 0);
    KeyAction action = key_command(static_cast<int>(key), mods, place);
    HWND bar = find_bar_of(viewer_window);
    switch (action.command) {
    case CMD_NONE: return false;
    case CMD_TO_HOST: PostMessageA(GetParent(viewer_window), WM_KEYDOWN, VK_ESCAPE, 0); break;
    case CMD_SHOW_TAB: PostMessageA(viewer_window, WM_SHOWTAB, action.tab, 0); break;
    case CMD_FIND_OPEN: find_bar_open(bar); break;
    case CMD_FIND_NEXT: find_again(bar, false); break;
    case CMD_FIND_PREV: find_again(bar, true); break;
    case CMD_FIND_CLOSE: find_bar_close(bar); break;
    case CMD_FILTER_OPEN:
        if (viewer->tab != TAB_DATA) return false;
        find_bar_open_filter(bar);
        break;
    case CMD_FILTER_KEEP: find_bar_keep_filter(bar); break;
    case CMD_FILTER_CLEAR: find_bar_clear_filter(bar); break;
    case CMD_COPY: tab_copy(viewer); break;
    case CMD_COPY_WITH_NAMES: copy_grid_selection_with_names(viewer); break;
    case CMD_SELECT_ALL: tab_select_all(viewer); break;
    }
    return true;
}
