// The module's frames on a thread's stack, and closes put off until they have returned.
//
// A host may close a viewer (ListCloseWindow) from anywhere it gets control: a hook, a message its
// window answers inside a menu's modal loop, a message another thread sends while a procedure of
// the module waits. Destroying the viewer's windows then would pull them from under the
// procedures still running on the stack: the list view handling a header click, the edit field
// sending its change notification, the module's own frames holding the record. So every window
// procedure of the module counts itself in (a ModuleFrame), and a close asked for while any is on
// the thread's stack only hides the viewer and stops its work; the windows and the record go when
// the outermost frame returns.
#pragma once

#include <windows.h>

#include "document/viewer.h"

// One per call of a window procedure of the module, for its whole length.
struct ModuleFrame {
    ModuleFrame();
    ~ModuleFrame();
    ModuleFrame(const ModuleFrame &) = delete;
    ModuleFrame &operator=(const ModuleFrame &) = delete;
};

// Whether a frame of the module is on this thread's stack.
bool module_frames_on_stack();

// Closes the viewer now, or, while frames of the module are on the stack, as soon as they have
// returned (its window hidden and its work stopped meanwhile).
void close_viewer(HWND window, Viewer *viewer);

// Whether the viewer is closed and waits only for the frames to return: it takes no command.
bool viewer_closing(const Viewer *viewer);

// Closes whatever is still put off, frames or not: for a module being unloaded.
void close_put_off_viewers();
