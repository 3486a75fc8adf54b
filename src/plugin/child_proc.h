// Keyboard and mouse of the Data tab's grid, through the subclassing procedure ChildProc.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Subclasses the grid (a Unicode window) with ChildProc, keeping its previous procedure in
// grid_proc; nothing when the grid is not made yet or is subclassed already. The text view, a
// window of the module's own class, handles its keys itself.
void install_child_proc(Viewer *viewer);

// Whether this grid has the keyboard focus, as its focus messages last said: asked for every
// cell a paint draws, where GetFocus would be a round trip to the server under Wine.
bool grid_has_focus(HWND grid);

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
