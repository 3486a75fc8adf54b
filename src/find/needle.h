// The needle: a search text folded to one case and made ready for the scan, and the folded compare
// of it against text.
#pragma once

#include "find/byte_set.h"

#include <stddef.h>
#include <stdint.h>

// The most bytes of UTF-8 a search text may hold.
enum { FIND_TEXT_MAX = 1024 };

// A search text made ready for searching: its characters folded to one case (case_fold.h), and
// what the fast scan over the document's bytes looks for. Lives on the caller's stack or in a
// record; owns no memory, so it may be copied and dropped freely.
//
// Folding keeps each character's UTF-8 length, so a match is exactly `len` bytes long, and its
// first and last bytes are among `first` and `last` (the lead and final bytes of every case
// form of the first and last characters). A text holding U+FFFD breaks that: ill-formed bytes
// of any length read as U+FFFD, so such needles are matched by decoding, character by character.
struct Needle {
    uint32_t chars[FIND_TEXT_MAX]; // the characters, folded; char_count of them
    int32_t char_count;            // 0 when empty: the text was refused, nothing matches
    int32_t len;                   // bytes of the text
    ByteSet first, last;
    uint8_t replacement; // holds U+FFFD
    uint8_t tab;         // holds a tab, which no cell's copied text holds
};

// Readies the UTF-8 search text (n bytes). Returns 0, leaving the needle empty, when the text is
// empty, longer than FIND_TEXT_MAX, or holds a line break (a match never spans lines): a line
// feed, a carriage return, or a NUL (which a text reads as a line feed).
int needle_compile(Needle *needle, const char *text, size_t n);

// Bytes of the match that starts at p, reading the text no further than `end`; 0 when none
// starts there. p must be where a character starts (utf8.h); any byte that is not a UTF-8
// continuation byte is.
size_t match_at(const Needle *needle, const char *p, const char *end);

// Whether the text (n bytes, its characters decoded from its start) holds the needle.
bool text_holds(const Needle *needle, const char *text, size_t n);
