// The module as this host sees it: tavrin.wlx64 loaded from beside the program, and its exports.
#pragma once

#include <windows.h>

// The Lister plug-in interface, declared by hand from the module's export table.
typedef HWND(__stdcall *ListLoadFn)(HWND parent, char *path, int show_flags);
typedef int(__stdcall *ListLoadNextFn)(HWND parent, HWND viewer, char *path, int show_flags);
typedef void(__stdcall *ListCloseWindowFn)(HWND viewer);
typedef void(__stdcall *ListGetDetectStringFn)(char *detect, int size);
typedef int(__stdcall *ListSendCommandFn)(HWND viewer, int command, int parameter);
// The wide entry points, which a host calls in preference when the module has them: they take the
// path in UTF-16, where a name outside the 8-bit code page, or longer than 260 characters, is kept.
typedef HWND(__stdcall *ListLoadWFn)(HWND parent, wchar_t *path, int show_flags);
typedef int(__stdcall *ListLoadNextWFn)(HWND parent, HWND viewer, wchar_t *path, int show_flags);

struct ListerModule {
    HMODULE dll;
    ListLoadFn ListLoad;
    ListLoadNextFn ListLoadNext;
    ListCloseWindowFn ListCloseWindow;
    ListGetDetectStringFn ListGetDetectString;
    ListSendCommandFn ListSendCommand;
    ListLoadWFn ListLoadW;         // null when the module lacks it
    ListLoadNextWFn ListLoadNextW; // null when the module lacks it
};

// Loads tavrin.wlx64 from the directory of the running program. Returns false, with nothing
// loaded, when the file cannot be loaded or lacks one of the five exports; the wide entry points
// are looked up too and may be missing.
bool load_lister_module(ListerModule *module);

// Unloads it; call only once every viewer window it made is closed.
void unload_lister_module(ListerModule *module);
