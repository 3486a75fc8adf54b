// The viewer window: its class, the header bar, tab switching and its window procedure.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "plugin/viewer_messages.h"

#define VIEWER_CLASS "TavrinLister"

// The viewer window's extra bytes: the handles of the find bar and the value view once made
// (plugin/child_windows.h), so that finding one asks the system nothing (under Wine, a search of
// the window's children is a round trip to the server).
enum {
    VIEWER_SLOT_FIND_BAR = 0,
    VIEWER_SLOT_VALUE_VIEW = sizeof(LONG_PTR),
    VIEWER_EXTRA_BYTES = 2 * sizeof(LONG_PTR),
};

// The record of a window handed in by the host: null unless it is a viewer window, since another
// window's user data is no record.
Viewer *viewer_of_viewer_window(HWND window);

// Registers the viewer window class under the host's instance. A class left behind by an earlier
// load of this module in the same process points at that load's procedure; it is replaced.
void register_viewer_class(void);

LRESULT CALLBACK WlxProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Makes tab t current: the grid for TAB_DATA, otherwise the text view with the tab's text, either
// made on its first visit; focuses it and repaints the bar.
void show_tab(HWND window, Viewer *viewer, int t);

// Creates the child the first screen shows below the header bar (plugin/child_windows.h), w x h
// being the viewer's client size.
void create_children(HWND window, Viewer *viewer, int w, int h);

// Shows TAB_DATA when there are columns, otherwise TAB_SQL: where every load starts.
void show_first_tab(HWND window, Viewer *viewer);

// What the count found, shown (CountNews bits): more rows in the grid, its columns once the
// header line is known, a section a text tab shows; once every row is known, an order made over
// fewer rows made again over all of them.
void show_count_news(HWND window, Viewer *viewer, unsigned news);
