// Clipboard text: UTF-8 in, Unicode text (CF_UNICODETEXT) on the clipboard.
#pragma once

#include "document/viewer.h"

// Puts the first n bytes of the UTF-8 text on the clipboard as Unicode text; n < 0 means the
// whole NUL-terminated text. An empty text leaves the clipboard holding an empty Unicode text.
// Failures are silent; one before the clipboard is opened leaves its former content in place.
void clip_set_utf8(const char *text, int n);

// Copies the grid's selection as tab-separated lines. When the text cannot be built whole,
// nothing is put on the clipboard.
void copy_grid_selection(const Viewer *viewer);
