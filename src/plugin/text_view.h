// The text tabs' view: a read-only window of the module's own class that draws only the lines in
// view, straight from the document's UTF-8, and answers the edit-control messages that read it.
// Before it handles a key-down it offers the key to its parent (WM_VIEWER_KEY), so the viewer's
// own keys mean the same here as in the grid.
#pragma once

#include <windows.h>

#include "document/viewer.h"
#include "find/find.h"
#include "plugin/clipboard.h"

#define TEXT_VIEW_CLASS L"TavrinText"

// Registers the class under the host's instance, replacing a class left behind by an earlier load
// of this module in the same process (it would point at that load's procedure).
void register_text_view_class(void);

// Creates the view, hidden, as a child of the viewer window.
HWND create_text_view(HWND parent, int x, int y, int w, int h);

// Shows tab t's text (tab_doc), the caret at its start and the view at its top.
void text_view_show_tab(HWND view, Viewer *viewer, int t);

// Shows a text of its own: `text`, len bytes from the allocation seam, whose ownership passes to
// the view (it is freed when the view shows something else, forgets, or goes). The caret at its
// start and the view at its top; a null text, or one whose line table cannot be had, shows as
// empty. Ctrl+C with nothing selected copies it whole.
void text_view_show_text(HWND view, char *text, size_t len);

// The view's name for assistive technology (UTF-8): a text tab's view is named after its tab by
// text_view_show_tab; the value view names its own.
void text_view_set_name(HWND view, const char *name);

// Forgets the text and the line tables built for it; to be called before the document the view
// reads is freed or replaced, so that nothing reads it afterwards.
void text_view_forget(HWND view);

// Ctrl+A: selects the whole text.
void text_view_select_all(HWND view);

// Ctrl+C: copies the selection, or with nothing selected the tab's whole text (nothing of a
// placeholder such as "(no SQL)": an empty text). Returns what the clipboard made of it.
ClipResult text_view_copy(HWND view);

// Finds the needle from the selection (from its end going forward, before its start going back),
// selects the match and brings it into view. Returns 1 with the match, its line and the text's
// line count; 0 when there is none, or the view shows a placeholder rather than a section; -1 when
// the search, run as work that Escape stops (long_job.h), was stopped.
int text_view_find(HWND view, const Needle *needle, FindDir dir, TextHit *hit, size_t *line,
                   size_t *line_count);

LRESULT CALLBACK TextViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
