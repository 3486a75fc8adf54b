// What each tab shows: the text tabs' texts, the composed Full SQL script and the header bar.
#pragma once

#include "document/viewer.h"

#include <stddef.h>

// Composes the Full SQL script into viewer->full_sql when it is null: the SQL and a line feed,
// then (when the header line is not empty) a line feed, the header line, each row and the
// terminator line, each ending in a line feed, then (when present) a line feed and the
// information text. Empty sections add nothing. When the memory cannot be had, full_sql stays null
// and a later call tries again; a truncated script is never stored. Returns 1 when full_sql is set.
int compose_full_sql(Viewer *viewer);

// The text a text tab shows, and its length in *len: the SQL for TAB_SQL, the information text for
// TAB_INFO, and the Full SQL script (composed on first use) for TAB_FULLSQL and any number other
// than 1 to 3. An absent text gives its placeholder "(no SQL)" or "(no info)"; a present but empty
// section gives "". TAB_DATA has no text and gives "". A section's text lies in the file's bytes
// and is not NUL-terminated: only *len ends it.
const char *tab_text(Viewer *viewer, int tab, size_t *len);

// The whole text of the current tab as the text view's copy takes it, and its length: full_sql on
// tab 4, sql on tab 2, info on any other tab; an absent text is "", never its placeholder.
const char *tab_copy_text(const Viewer *viewer, size_t *len);

// The tab's name as its label in the bar says it: "Data", "SQL", "Info", "Full SQL" (any number
// other than 1 to 3 shows the Full SQL).
const char *tab_name(int tab);

// The header bar line: two blanks, the four tab labels separated by blanks (the current one in
// brackets), eight blanks and the status. Written into out (n bytes, truncated there).
enum { BAR_TEXT_LEN = 900 };
void format_bar_text(char *out, size_t n, int tab, const char *status);
