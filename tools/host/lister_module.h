// The module as this host sees it: tavrin.wlx64 loaded from beside the program, and its exports.
#pragma once

#include <windows.h>

// The Lister plug-in interface, declared by hand from the module's export table.
typedef HWND(__stdcall *ListLoadFn)(HWND parent, char *path, int show_flags);
typedef int(__stdcall *ListLoadNextFn)(HWND parent, HWND viewer, char *path, int show_flags);
typedef void(__stdcall *ListCloseWindowFn)(HWND viewer);
typedef void(__stdcall *ListGetDetectStringFn)(char *detect, int size);
typedef int(__stdcall *ListSendCommandFn)(HWND viewer, int command, int parameter);

struct ListerModule {
    HMODULE dll;
    ListLoadFn ListLoad;
    ListLoadNextFn ListLoadNext;
    ListCloseWindowFn ListCloseWindow;
    ListGetDetectStringFn ListGetDetectString;
    ListSendCommandFn ListSendCommand;
};

// Loads tavrin.wlx64 from the directory of the running program. Returns false, with nothing
// loaded, when the file cannot be loaded or lacks one of the five exports.
bool load_lister_module(ListerModule *module);

// Unloads it; call only once every viewer window it made is closed.
void unload_lister_module(ListerModule *module);
