// The viewer's own keys acted on: what key_command decides, done in the viewer's windows. The grid
// calls it directly; the text view and the find bar's field reach it through WM_VIEWER_KEY.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "keys/key_commands.h"

// Acts on key-down `key` (Ctrl and Shift read from the keyboard state of the message being
// handled) at `place` when it is one of the viewer's own keys; returns whether it was.
bool viewer_key(HWND viewer_window, Viewer *viewer, WPARAM key, KeyPlace place);

// Ctrl+C and Ctrl+A of the current tab (the host's Copy and Select all do the same): the grid's
// selection and select-all, or the text view's.
void tab_copy(Viewer *viewer);
void tab_select_all(Viewer *viewer);
