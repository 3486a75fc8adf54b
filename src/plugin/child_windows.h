// The viewer window's children, each made when first needed. ListLoad makes only what the first
// screen shows: the grid, or the text view of a file that opens on its SQL. The text view, the
// value view and the find bar come with the first tab, value or search that needs them, and the
// grid with the first visit of the Data tab. Until then find_bar_of, value_view_of and the
// record's `grid` and `edit` are null, which every function that takes them allows.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// At load: the child of the tab the viewer opens on (TAB_DATA when the document has columns,
// else TAB_SQL), the grid without its columns, which the caller fills.
void make_first_children(HWND window, Viewer *viewer);

// The child, made now when it is not yet: the grid with its columns and rows, the text view, the
// value view (hidden) and the find bar (hidden). Null when it cannot be made.
HWND grid_made(HWND window, Viewer *viewer);
HWND text_view_made(HWND window, Viewer *viewer);
HWND value_view_made(HWND window);
HWND find_bar_made(HWND window);

// Fits the grid, the text view and the value view between the header bar and the find bar (when
// open), and the find bar along the bottom, at the window's scale.
void lay_out_children(HWND window, Viewer *viewer);

// The window moved to a display of another scale (WM_DPICHANGED_AFTERPARENT): the grid's font
// and column widths follow, and the children are laid out again. The text views and the find bar
// follow by themselves.
void children_follow_scale(HWND window, Viewer *viewer);
