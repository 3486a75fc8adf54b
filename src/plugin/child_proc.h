// Keyboard and mouse of the viewer's two children, through one subclassing procedure.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Subclasses the grid and the text view (both Unicode windows) with ChildProc, keeping their
// previous procedures in grid_proc and edit_proc.
void install_child_proc(Viewer *viewer);

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
