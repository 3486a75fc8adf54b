// Checking a needle against text: the folded compare at one place, and the search of one piece
// of text handed over whole (a decoded cell, a block's bytes).
#pragma once

#include "find/find.h"

#include <stddef.h>

// Bytes of the match that starts at p, reading the text no further than `end`; 0 when none
// starts there. p must be where a character starts (utf8.h); any byte that is not a UTF-8
// continuation byte is.
size_t match_at(const Needle *needle, const char *p, const char *end);

// Whether the text (n bytes, its characters decoded from its start) holds the needle.
bool text_holds(const Needle *needle, const char *text, size_t n);
