// Clipboard text: UTF-8 in, Unicode text (CF_UNICODETEXT) on the clipboard.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "text/text_doc.h"

// Each call opens the clipboard for `owner`, the window on whose behalf the text is put there:
// opened without one, EmptyClipboard leaves the clipboard to no window, and the platform
// documents that SetClipboardData then fails. Failures are silent; one before the clipboard is
// opened leaves its former content in place.

// Puts the first n bytes of the UTF-8 text on the clipboard as Unicode text; n < 0 means the
// whole NUL-terminated text. An empty text leaves the clipboard holding an empty Unicode text.
void clip_set_utf8(HWND owner, const char *text, int n);

// Puts [from, to) of a text on the clipboard as Unicode text, converted as the text view shows it
// (ill-formed bytes as U+FFFD), straight into the clipboard's memory.
void clip_set_text_range(HWND owner, const TextDoc *doc, size_t from, size_t to);

// Copies the grid's selection as tab-separated lines. When the text cannot be built whole,
// nothing is put on the clipboard. The grid owns the clipboard then.
void copy_grid_selection(const Viewer *viewer);

// The same, preceded by a line of the selected columns' titles (Ctrl+Shift+C).
void copy_grid_selection_with_names(const Viewer *viewer);
