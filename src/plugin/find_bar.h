// The find bar: a strip along the bottom of the viewer window, a window of its own holding the
// label (also the window's own text), a Unicode field for the text to find and a note that says
// what the last search found; and the searches it starts in the current tab. The same bar filters
// the grid's rows and asks for a row to go to.
#pragma once

#include <windows.h>

// The bar's height at 96 DPI; it scales with its window (plugin/dpi.h).
enum { FIND_BAR_HEIGHT_96 = 30 };

// Registers the bar's class under the host's instance, replacing a class left behind by an earlier
// load of this module in the same process.
void register_find_bar_class(void);

// Creates the bar, hidden, as a child of the viewer window; null when it cannot be made (the
// viewer then works without one). Made on the first search (plugin/child_windows.h): the functions
// below take a null bar and do nothing with it.
HWND create_find_bar(HWND viewer_window);

// The bar of a viewer window, or null.
HWND find_bar_of(HWND viewer_window);

// Pixels the bar takes from the bottom of the viewer's client area: 0 while it is closed.
int find_bar_height(HWND bar);

// Ctrl+F, F7: opens the bar holding the last text searched, all of it selected, and focuses the
// field.
void find_bar_open(HWND bar);

// Escape in the field: closes the bar; the viewer window gives the keyboard back to the tab.
void find_bar_close(HWND bar);

// Ctrl+Shift+F: opens the bar as a filter (label "Filter:") holding the filter's text, all of it
// selected. Each change of the text narrows the grid to the rows with a cell holding it, ignoring
// case as find does; an empty text lets every row through. A text that begins with a column's
// name and an operator is a condition instead (label "Filter (condition):"; work/row_filter.h):
// the rows it holds for show, and while it cannot be read the bar says why and where, and the grid
// stays as it was. Conditions made from cells' values hold besides, whatever the bar's text.
void find_bar_open_filter(HWND bar);

// Enter in the filter field: closes the bar, the filter stays.
void find_bar_keep_filter(HWND bar);

// Escape in the filter field: every row shows again (the bar's text and the cells' conditions
// gone), and the bar closes.
void find_bar_clear_filter(HWND bar);

// Ctrl+G: opens the bar asking for a row to go to (label "Go to row:"), its last number all
// selected.
void find_bar_open_goto(HWND bar);

// Enter in the go-to field: the cursor to the row typed (1-based, among the rows as shown) and the
// bar closes; past the end the cursor goes to the last row and the bar says so; a text that is no
// row number the bar says what it takes (work/go_to.h).
void find_bar_go_to_row(HWND bar);

// A new file is shown, in file order and unfiltered (or the menu's Clear filter): the filter's
// text goes, and a bar that was filtering closes. The last text searched stays.
void find_bar_forget_filter(HWND bar);

// A tab was made current: a filter has nothing to filter outside the Data tab, nor a row to go to,
// so a bar that was filtering or asking for a row closes (the filter stays).
void find_bar_tab_shown(HWND bar, int tab);

// F3, Shift+F3, Enter and Shift+Enter: finds the next (previous) match of the last text in the
// current tab, the bar open or closed (open, its field's text is searched). With no text searched
// yet it opens the bar instead.
void find_again(HWND bar, bool backward);

// What the bar says once work it started has ended: a message (UTF-8), "Not found" with the last
// text searched, "Stopped." for work stopped by Escape, or how many rows the filter lets show.
inline constexpr char FIND_STOPPED[] = "Stopped.";
void find_bar_say(HWND bar, const char *message);
void find_bar_found_none(HWND bar);
void find_bar_stopped(HWND bar);
void find_bar_filtered(HWND bar);
