// The record a viewer window carries: every window of a viewer finds its document there.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// The record attached to a viewer window, or null (messages before it is attached, or a window
// that is not a viewer).
inline Viewer *viewer_of(HWND window) {
    return reinterpret_cast<Viewer *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}
