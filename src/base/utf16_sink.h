// Where a spilling StrBuf's UTF-8 goes when it is to end up as UTF-16: counted, or converted
// straight into the block it is meant for, a piece at a time, so that a text of hundreds of
// megabytes never stands whole as UTF-8 beside its UTF-16.
#pragma once

#include "base/strbuf.h"

#include <stddef.h>
#include <stdint.h>

// With `out` null the sink counts: `units` grows by each piece's UTF-16 units (utf8.h), and once
// it passes `limit` the StrBuf is marked failed, which stops whatever builds the text. With `out`
// it converts into out[units ..], `room` units in all (the last kept for a terminating 0). A
// character whose bytes a piece cuts waits at the StrBuf's front for the rest of them.
struct Utf16Sink {
    uint16_t *out;
    uint64_t room;
    uint64_t units;
    uint64_t limit;
};

// The spill of a StrBuf whose `spill_to` is a Utf16Sink (sb_init_spilling). A work asked to stop
// (base/stop.h) fails there, which stops whatever builds the text.
void utf16_sink_spill(StrBuf *sb, void *sink);

// Ends the text: the last piece, a cut character at its end included (as U+FFFD), and the
// terminating 0 when converting. Returns the units of the whole text.
uint64_t utf16_sink_finish(StrBuf *sb, Utf16Sink *sink);
