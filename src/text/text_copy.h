// Stretches of the text as the platform takes them: UTF-8 bytes, and UTF-16 units for the
// clipboard and the edit-control messages.
#pragma once

#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// Copies the bytes of [from, to) as the text reads them (text_byte_at: NULs and blocks' line
// feeds as '\n') into out, which holds to - from + 1 bytes, and ends them with a NUL. Costs the
// bytes copied, a block at a time.
void text_copy_utf8(const TextDoc *doc, size_t from, size_t to, char *out);

// The UTF-16 units the characters of [from, to) make (utf8.h: ill-formed bytes as one U+FFFD per
// maximal subpart). from and to must be character boundaries. Counts STOP_BYTES at a time and
// looks at the stop flag between (base/stop.h): TEXT_COUNT_STOPPED when asked to stop.
enum : size_t { TEXT_COUNT_STOPPED = ~size_t{0} };
size_t text_utf16_count(const TextDoc *doc, size_t from, size_t to);

// Converts [from, to) to UTF-16 into out (room units), as many whole characters as fit in
// room - 1, and ends them with a 0 unit. Returns the units written before the 0. Looks at the stop
// flag every STOP_BYTES, and ends the units there when asked to stop (stop_seen() then says so).
size_t text_copy_utf16(const TextDoc *doc, size_t from, size_t to, uint16_t *out, size_t room);
