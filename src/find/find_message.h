// What the find bar says after a search: where the match is, or that there is none.
#pragma once

#include "document/viewer.h"
#include "find/find.h"

#include <stddef.h>

// The longest message, in bytes of UTF-8 with its NUL.
enum { FIND_MESSAGE_LEN = 256 };

// A match in the grid: "Row 12 of 300, column "name"" with the column's title as the header shows
// it, and " (from the top again)" (" (from the end again)" going back) when the search went round.
// Written as UTF-8 into out (n bytes), cut at a whole character when it does not fit.
void find_message_grid(char *out, size_t n, const Viewer *viewer, const GridHit *hit, FindDir dir);

// A match in a text: "Line 12 of 40", with the same note when the search went round.
void find_message_text(char *out, size_t n, size_t line, size_t line_count, const TextHit *hit,
                       FindDir dir);

// No match: "Not found: " and the text searched for between quotes, or, for a text the search
// refuses, why: "Type a text to find" when it is empty, "A line break cannot be found" when it
// holds one, "The text is too long to find" past FIND_TEXT_MAX bytes.
void find_message_none(char *out, size_t n, const char *text);
