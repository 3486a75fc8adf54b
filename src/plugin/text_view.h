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

// WM_GETTEXTLENGTH and WM_GETTEXT answer for the text's first TEXT_MESSAGE_BYTES bytes (cut at a
// character's start), as an edit control holding that much would: counted or converted on the
// window thread, the whole of a Full SQL script of gigabytes would keep the file manager waiting
// for seconds, and its length would not fit the messages' int. A byte makes at most one UTF-16
// unit, so the answer stays within 8 Mi units; converting them takes about 20 ms under Wine.
// Ctrl+A and Ctrl+C copy the whole text.
enum : size_t { TEXT_MESSAGE_BYTES = 8u << 20 };

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
// placeholder such as "(no SQL)": an empty text), as work of the viewer (plugin/copy_jobs.h).
void text_view_copy(HWND view);

// Finds the needle from the selection (from its end going forward, before its start going back)
// as work of the viewer that Escape stops (plugin/long_job.h); when it is handed over, the match
// is selected and brought into view, and the find bar says where it is, or that there is none.
// Returns false, starting nothing, when the view shows a placeholder rather than a section.
bool text_view_find(HWND view, const Needle *needle, FindDir dir);

LRESULT CALLBACK TextViewProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
