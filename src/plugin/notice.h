// A notice of the viewer window: one sentence the status line shows after the status, saying why
// the last command did nothing ("the selection is too large to copy"). It lasts until the next
// command, the next load or the window's end.
#pragma once

#include <windows.h>

// Shows `text` (UTF-8, a literal or a text that outlives the call; cut at NOTICE_LEN bytes) after
// the status, and repaints the status line.
enum { NOTICE_LEN = 160 };
void notice_show(HWND viewer_window, const char *text);

// Takes the notice away (and repaints) when there is one.
void notice_clear(HWND viewer_window);

// The notice showing, or "" when there is none.
const char *notice_of(HWND viewer_window);
