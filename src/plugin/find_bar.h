// The find bar: a strip along the bottom of the viewer window with a Unicode field for the text
// to find, and the searches it starts in the current tab.
#pragma once

#include <windows.h>

#include "document/viewer.h"

enum { FIND_BAR_HEIGHT = 30 };

// Ctrl+F, F7: opens the bar (making its field the first time) holding the last text searched, all
// of it selected, and focuses the field.
void find_bar_open(HWND window, Viewer *viewer);

// Escape in the field: closes the bar and gives the focus back to the current tab's child.
void find_bar_close(HWND window, Viewer *viewer);

// F3, Shift+F3: finds the next (previous) match of the last text in the current tab, the bar open
// or closed. With no text searched yet it opens the bar instead.
void find_again(HWND window, Viewer *viewer, bool backward);

// Pixels the bar takes from the bottom of the viewer's client area: 0 while it is closed.
int find_bar_height(const Viewer *viewer);

// Puts the field in place for a client area of w x h pixels.
void find_bar_layout(const Viewer *viewer, int w, int h);

// Paints the bar's strip and its label in the viewer window's WM_PAINT; the field and the note
// beside it, which says what the last search found, are controls of their own.
void find_bar_paint(HDC dc, const RECT &client, const Viewer *viewer);
