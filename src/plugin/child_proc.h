// Keyboard and mouse of the viewer's two children, through one subclassing procedure.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Subclasses the grid and the text view (both Unicode windows) with ChildProc, keeping their
// previous procedures in grid_proc and edit_proc.
void install_child_proc(Viewer *viewer);

// Ctrl+C and Ctrl+A of the current tab (the host's Copy and Select all do the same): the grid's
// selection and select-all, or the text view's.
void tab_copy(Viewer *viewer);
void tab_select_all(Viewer *viewer);

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
