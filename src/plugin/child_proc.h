// Keyboard and mouse of the viewer's two children, through one subclassing procedure.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// Subclasses the grid (8-bit) and the text view (Unicode) with ChildProc, keeping their previous
// procedures in grid_proc and edit_proc.
void install_child_proc(Viewer *viewer);

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
