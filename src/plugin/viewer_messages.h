// The private messages between a viewer window and its children. The children only send them; the
// viewer window's procedure answers, so no child calls into the window that holds it.
#pragma once

#include <windows.h>

enum : UINT {
    // Posted to the viewer window, wParam the tab number 1 to 4: makes that tab current. Part of
    // the module's interface: a host or a test may post it too.
    WM_SHOWTAB = WM_USER + 11,
    // Sent by a child to the viewer window before it handles a key-down itself, wParam the virtual
    // key, lParam the KeyPlace (keys/key_commands.h), with VIEWER_KEY_ALT set for a system
    // key-down with Alt held (bit 29 of its lParam). Returns 1 when the key was the viewer's own
    // and
    // has been acted on; the child then leaves it alone.
    WM_VIEWER_KEY = WM_USER + 12,
    // Sent by the find bar to the viewer window when it has opened (wParam 1) or closed (wParam 0):
    // the children below make room for it or take the room back, and on closing the keyboard goes
    // back to the current tab.
    WM_FIND_BAR_SHOWN = WM_USER + 13,
    // Posted by the count's thread to the viewer window: it has found more of the file (or all of
    // it). The window thread takes it up (plugin/counting.h).
    WM_COUNT_PROGRESS = WM_USER + 14,
    // Posted by a job's thread to the viewer window: the job has ended. The window thread hands
    // its result over (plugin/long_job.h).
    WM_JOB_DONE = WM_USER + 15,
};

enum : LPARAM { VIEWER_KEY_ALT = 0x100 };

// Whether a key message's lParam says Alt is held.
inline bool key_with_alt(LPARAM key_lparam) {
    return (key_lparam & (1 << 29)) != 0;
}
