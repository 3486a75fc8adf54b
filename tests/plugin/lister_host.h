// Test support: plays the file manager for the module — a Lister window, the loaded module and
// a bounded message pump.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

typedef HWND(__stdcall *ListLoadFn)(HWND, char *, int);
typedef int(__stdcall *ListLoadNextFn)(HWND, HWND, char *, int);
typedef void(__stdcall *ListCloseWindowFn)(HWND);
typedef void(__stdcall *ListGetDetectStringFn)(char *, int);
typedef int(__stdcall *ListSendCommandFn)(HWND, int, int);

// The module as the host sees it: loaded from beside the test program.
struct Module {
    HMODULE dll = nullptr;
    ListLoadFn ListLoad = nullptr;
    ListLoadNextFn ListLoadNext = nullptr;
    ListCloseWindowFn ListCloseWindow = nullptr;
    ListGetDetectStringFn ListGetDetectString = nullptr;
    ListSendCommandFn ListSendCommand = nullptr;
};
Module load_module();
void unload_module(Module *module);

// The host's Lister window: a visible top-level window that records the key-downs it receives.
struct ListerWindow {
    HWND hwnd = nullptr;
    std::vector<WPARAM> keys_received;
};
// Creates it with the given client size; the object must outlive the window.
void create_lister(ListerWindow *lister, int client_w, int client_h);
// Gives it a new client size, as the user resizing the host's viewer would.
void resize_lister(ListerWindow *lister, int client_w, int client_h);

// Dispatches messages until `done` holds or `bound_ms` passes; returns whether it held.
bool pump_until(const std::function<bool()> &done, int bound_ms = 5000);
// Dispatches every message already queued.
void pump_pending();

// Child windows of `parent` of the given class, in z-order.
std::vector<HWND> children_of_class(HWND parent, const char *class_name);

// The handles this process holds: GetProcessHandleCount's count, or where the system leaves that
// at 0 (Wine), the entries of the system's handle table that are this process's. 0 when neither
// can be had.
DWORD handles_held();

// The viewer window's own text, which is the status its bar shows; read without a message to the
// window, so from any thread, even while the window's thread is busy.
std::wstring status_text(HWND viewer);

// Text of a (Unicode) window as UTF-8.
std::string window_text_utf8(HWND window);
std::wstring window_text(HWND window);

// The clipboard's Unicode text, or "<none>" when it holds none.
std::wstring clipboard_text();
void set_clipboard_text(const std::wstring &text);

// Sets Ctrl and Shift as GetKeyState will report them to this thread's windows.
void set_modifiers(bool ctrl, bool shift);

// A key press as the keyboard delivers it: key-down and key-up posted to `target` with the
// modifiers held, dispatched through TranslateMessage (so the character message a control may act
// on follows, e.g. the edit control's own copy on Ctrl+C), then the modifiers released. Messages
// the press posts (tab switches, Escape to the host) are dispatched too.
void press_key(HWND target, UINT vk, bool ctrl = false, bool shift = false);

// A left click at `at` (client coordinates of `target`), Shift held or not.
void click(HWND target, POINT at, bool shift = false);
