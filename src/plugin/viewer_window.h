// The viewer window: its class, the header bar, tab switching and its window procedure.
#pragma once

#include <windows.h>

#include "document/viewer.h"

enum { BAR_HEIGHT = 30, WM_SHOWTAB = WM_USER + 11 };

#define VIEWER_CLASS "TavrinLister"

// The record attached to a viewer window, or null (messages before it is attached, or a window
// that is not a viewer).
Viewer *viewer_of(HWND window);

// The same for a window handed in by the host: null unless it is a viewer window, since another
// window's user data is no record.
Viewer *viewer_of_viewer_window(HWND window);

// Registers the viewer window class under the host's instance. A class left behind by an earlier
// load of this module in the same process points at that load's procedure; it is replaced.
void register_viewer_class(void);

LRESULT CALLBACK WlxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Makes tab t current: the grid for TAB_DATA, otherwise the text view with the tab's text
// (composing the Full SQL script on first use); focuses it and repaints the bar.
void show_tab(HWND window, Viewer *viewer, int t);

// Creates the grid and the text view below the bar, w x h being the viewer's client size.
void create_children(HWND window, Viewer *viewer, int w, int h);

// The child that shows the current tab: the grid on the Data tab, the text view on any other.
HWND current_child(const Viewer *viewer);

// Fits the grid and the text view between the header bar and the find bar (when open).
void layout_children(HWND window, Viewer *viewer);

// Shows TAB_DATA when there are columns, otherwise TAB_SQL: where every load starts.
void show_first_tab(HWND window, Viewer *viewer);
