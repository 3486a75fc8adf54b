// Stretches of the text as the platform takes them: UTF-8 bytes for the clipboard, UTF-16 units
// for the edit-control messages, and positions counted in UTF-16 units as an edit control counts
// them.
#pragma once

#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// Copies the bytes of [from, to) as the text reads them (text_byte_at: NULs and blocks' line
// feeds as '\n') into out, which holds to - from + 1 bytes, and ends them with a NUL. Costs the
// bytes copied, a block at a time.
void text_copy_utf8(const TextDoc *doc, size_t from, size_t to, char *out);

// The UTF-16 units the characters of [from, to) make (utf8.h: ill-formed bytes as one U+FFFD per
// maximal subpart). from and to must be character boundaries.
size_t text_utf16_count(const TextDoc *doc, size_t from, size_t to);

// Converts [from, to) to UTF-16 into out (room units), as many whole characters as fit in
// room - 1, and ends them with a 0 unit. Returns the units written before the 0.
size_t text_copy_utf16(const TextDoc *doc, size_t from, size_t to, uint16_t *out, size_t room);

// The position of the character holding UTF-16 unit `units` (counted from the text's start):
// the character's start, so a count inside a surrogate pair gives the pair's start; the text's
// length for a count at or past its end. Costs a walk from the text's start.
size_t text_pos_of_utf16(const TextDoc *doc, size_t units);

// The position at or before pos where a character starts, so that a position taken from outside
// (a message, a search) never lies inside a UTF-8 sequence or between CR and LF.
size_t text_char_floor(const TextDoc *doc, size_t pos);
