// The accessible object (MSAA) of a text view, the text tabs' and the value view's: what a screen
// reader or a magnifier learns of the view through WM_GETOBJECT. A document, read-only, focused
// while it has the keyboard, named after its tab ("SQL", "Info", "Full SQL") or its cell ("Value of
// price"), its value the caret's line. What it does not tell itself (where it is, its parent, hit
// tests) the system's standard object for the window tells.
//
// The object outlives its window for as long as assistive technology holds it, and may be called
// on any thread: it keeps only the window's handle and asks the window what it needs through the
// messages below, which the window answers on its own thread. Once its window has gone it answers
// nothing.
#pragma once

#include <windows.h>

#include <stddef.h>

enum : UINT {
    // Sent by the object to its window: wParam ACCESSIBLE_NAME or ACCESSIBLE_VALUE, lParam an
    // AccessibleText the window fills with that text, ended with a 0 unit. Returns 1 when filled.
    WM_ACCESSIBLE_TEXT = WM_APP + 0x40,
    // Sent by the object to its window: returns 1 while the window has the keyboard focus.
    WM_ACCESSIBLE_FOCUSED = WM_APP + 0x41,
};
enum AccessibleTextKind { ACCESSIBLE_NAME, ACCESSIBLE_VALUE };
struct AccessibleText {
    WCHAR *out;
    size_t room; // units, the ending 0 among them
};

// The most of the caret's line the value gives: a line of megabytes is not read out whole.
enum { ACCESSIBLE_VALUE_UNITS = 4096 };

struct TextAccessible;

// WM_GETOBJECT: for OBJID_CLIENT the view's object (made at the first request, kept in *kept for
// the next), as the message's answer; for any other object 0 and `*handled` false, the default
// procedure then answering. 0 too when the system's accessibility library cannot be had.
LRESULT accessible_answer(HWND window, TextAccessible **kept, WPARAM wparam, LPARAM lparam,
                          bool *handled);

// The window goes: the object kept for it (if any) answers nothing more, and the window's
// reference to it is given up.
void accessible_release(TextAccessible **kept);

// What assistive technology is told as the view changes: its text or the caret's line (the
// object's value), its name, and the caret's place (the caret object's location, which Windows
// tells for a system caret by itself and Wine does not).
void accessible_value_changed(HWND window);
void accessible_name_changed(HWND window);
void accessible_caret_moved(HWND window);
