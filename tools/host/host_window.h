// The stand-in for the file manager's viewer window: a top-level window that holds the module's
// viewer for one file of a list, or says why the module did not take it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "host/lister_module.h"

// One window and the files it steps through. The module owns `viewer` from ListLoad until this
// host hands it back with ListCloseWindow (host_close_viewer); the host owns everything else.
struct Host {
    ListerModule module;
    std::string detect;             // the module's detect string
    std::vector<std::string> files; // UTF-8, as given on the command line
    int current = -1;               // index in `files` of the file on view
    HWND window = nullptr;          // the top-level window
    HWND viewer = nullptr;          // the module's viewer window; null while a refusal shows
    std::wstring refusal;           // painted in the client area while there is no viewer
    HWND focus = nullptr;           // the viewer's child that had the focus at deactivation
    bool shown_any = false;         // the module has taken at least one of the files
};

// Creates the window with the given client size, shown; at the screen's origin when `at_origin`
// (for screenshots), wherever the system puts it otherwise. `host` must outlive the window.
bool host_create_window(Host *host, int client_width, int client_height, bool at_origin);

// Shows files[index]: into the open viewer with ListLoadNext, or in a new one with ListLoad. A file
// the module refuses (by its detect string or by its answer) closes the viewer and shows why.
void host_open(Host *host, int index);

// Takes Alt+Right and Alt+Left (next and previous file) from the message loop before they are
// dispatched, so that the viewer never sees them. Returns whether the message was taken.
bool host_take_message(Host *host, const MSG *msg);
