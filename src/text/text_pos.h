// Positions of the text as an edit control counts them (in UTF-16 units), and positions from
// outside (a message, a search) brought back to where a character starts.
#pragma once

#include "text/text_doc.h"

#include <stddef.h>

// The position of the character holding UTF-16 unit `units` (counted from the text's start):
// the character's start, so a count inside a surrogate pair gives the pair's start; the text's
// length for a count at or past its end. Costs a walk from the text's start.
size_t text_pos_of_utf16(const TextDoc *doc, size_t units);

// The position at or before pos where a character starts, so that a position taken from outside
// (a message, a search) never lies inside a UTF-8 sequence or between CR and LF.
size_t text_char_floor(const TextDoc *doc, size_t pos);
