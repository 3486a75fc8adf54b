// The viewer's own commands acted on: what key_command decides for a key, or a menu picks, done in
// the viewer's windows. The grid calls viewer_key directly; the text view and the find bar's field
// reach it through WM_VIEWER_KEY.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "keys/key_commands.h"

// Acts on key-down `key` at `place` when it is one of the viewer's own keys; returns whether it
// was. Ctrl and Shift are read from the keyboard state of the message being handled; `alt` says
// whether the key came with Alt held (a system key-down's own bit).
bool viewer_key(HWND viewer_window, Viewer *viewer, WPARAM key, KeyPlace place, bool alt);

// Acts on a command (the tab for CMD_SHOW_TAB) at `place`. `menu_at`, in screen coordinates, is
// where a context menu opens; null opens it at the cursor cell or the caret.
void run_command(HWND viewer_window, Viewer *viewer, KeyAction action, KeyPlace place,
                 const POINT *menu_at);

// Ctrl+C and Ctrl+A of the current tab (the host's Copy and Select all do the same): the grid's
// selection and select-all, or the text view's (the value view's while it shows a value). The copy
// runs as work of the viewer; false when other work running refused it.
bool tab_copy(HWND viewer_window, Viewer *viewer);
void tab_select_all(HWND viewer_window, Viewer *viewer);

// The value view closed and the grid shown again, the cursor in view; nothing when it is closed.
void leave_value_view(HWND viewer_window, Viewer *viewer);

// The value view, holding what it was just given (a value, a summary), shown over the grid's place
// with the keyboard.
void reveal_value_view(HWND viewer_window, Viewer *viewer);
