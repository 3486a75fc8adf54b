// The fast scan: where in a stretch of bytes a match may start, tested 16 bytes at a time.
#pragma once

#include "find/needle.h"

// The bytes a scan may read, [lo, hi), and whether it also stops at the COPY escapes of a data
// block (whose rows lie between lo and hi, each but the last ended by a line feed).
struct ScanArea {
    const char *lo, *hi;
    int escapes;
};

// A stop is where a match of the needle starts in the bytes as they stand (match_at, reading no
// further than hi); or, with `escapes`, a backslash, unless it begins a NULL (a field that is
// exactly "\N"), which copies as nothing and needs no decoding. Places are first sifted 16 or 32
// at a time by the needle's first and last bytes, and only those that pass are checked whole. Not
// for needles holding U+FFFD, whose matches have no fixed length.

// The first stop in [from, to), or `to` when there is none.
const char *scan_next(const Needle *needle, const ScanArea *area, const char *from, const char *to);

// The last stop in [from, to), or null when there is none.
const char *scan_prev(const Needle *needle, const ScanArea *area, const char *from, const char *to);
