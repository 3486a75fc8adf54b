// Clipboard text: UTF-8 in, Unicode text (CF_UNICODETEXT) on the clipboard.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "export/copy_as.h"
#include "text/text_doc.h"

// Each call opens the clipboard for `owner`, the window on whose behalf the text is put there:
// opened without one, EmptyClipboard leaves the clipboard to no window, and the platform
// documents that SetClipboardData then fails. Failures are silent; one before the clipboard is
// opened leaves its former content in place.
//
// No copy puts more than CLIP_LIMIT_UNITS UTF-16 units (256 MiB) on the clipboard: a larger text
// would take the file manager's memory and minutes to build, and few programs could take it from
// the clipboard. Such a copy is refused before anything large is allocated, and the copies that
// can refuse say so with CLIP_TOO_LARGE.
enum : uint64_t { CLIP_LIMIT_UNITS = 128u << 20 };
enum ClipResult { CLIP_FAILED, CLIP_COPIED, CLIP_TOO_LARGE };

// Puts the first n bytes of the UTF-8 text on the clipboard as Unicode text; n < 0 means the
// whole NUL-terminated text. An empty text leaves the clipboard holding an empty Unicode text.
void clip_set_utf8(HWND owner, const char *text, int n);

// Puts [from, to) of a text on the clipboard as Unicode text, converted as the text view shows it
// (ill-formed bytes as U+FFFD), straight into the clipboard's memory.
ClipResult clip_set_text_range(HWND owner, const TextDoc *doc, size_t from, size_t to);

// Copies the grid's selection as tab-separated lines (under a line of the selected columns'
// titles, for Ctrl+Shift+C, with `titles`). The text is written straight into the clipboard's
// UTF-16 memory, measured before by the row index (or, for a selection that may be too large,
// by building it once without keeping it). When it cannot be built whole, nothing is put on the
// clipboard.
ClipResult copy_grid_selection(const Viewer *viewer, bool titles = false);

// The grid's selection in one of the copy formats, the same way.
ClipResult copy_grid_as(const Viewer *viewer, CopyFormat format);

// The parts of those copies, for copies made on another thread (plugin/copy_jobs.h): the text
// built into movable memory (*mem, on CLIP_COPIED only; GlobalFree it if it is not put), and put on
// the clipboard, which then owns it. A build asked to stop (base/stop.h) gives CLIP_FAILED.
ClipResult clip_build_grid(const Viewer *viewer, bool titles, bool as_format, CopyFormat format,
                           HGLOBAL *mem);
ClipResult clip_build_text(const TextDoc *doc, size_t from, size_t to, HGLOBAL *mem);
void clip_put(HWND owner, HGLOBAL mem);
