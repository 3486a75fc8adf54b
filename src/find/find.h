// Finding a text in the grid's cells and in a text tab, ignoring case.
#pragma once

#include "document/viewer.h"
#include "text/text_doc.h"

#include <stddef.h>
#include <stdint.h>

// FIND_TEXT_MAX, the most bytes of UTF-8 a search text may hold, is the record's (viewer.h).

// The bytes one place of a match may hold: b is one when (b | mask) equals one of the first
// `count` bytes. A mask of 0x20 takes an ASCII letter's two cases in one compare; the few other
// bytes it lets in only cost a candidate that the check rejects.
struct ByteSet {
    uint8_t bytes[4];
    uint8_t count;
    uint8_t mask;
};

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

enum FindDir { FIND_NEXT, FIND_PREV };

// A match in the grid: its cell, and whether the search went round the end (or the start, going
// back) to reach it.
struct GridHit {
    int32_t row, col;
    int wrapped;
};

// Finds the next (or previous) cell, in reading order (row by row, left to right over the grid's
// col_count columns), after (before) cell (row, col), whose text as Ctrl+C copies it (its first
// CELL_SCRATCH - 1 bytes with the escapes decoded; a NULL as nothing) holds the needle, ignoring
// case. Goes round the grid's end (start) once, so the cell (row, col) itself is the last one
// tried; a cell outside the grid is taken as the nearest one inside. Returns 1 with the hit, or 0,
// leaving *hit alone, when no cell matches (or the grid has no rows or no columns). Reads the row
// lines' bytes with a fast scan and decodes only the cells that can hold a match.
int grid_find(const Viewer *viewer, const Needle *needle, int32_t row, int32_t col, FindDir dir,
              GridHit *hit);

// A match in a text: [start, end), and whether the search went round.
struct TextHit {
    size_t start, end;
    int wrapped;
};

// Finds the first match starting at or after `from` (FIND_NEXT), or the last one starting before
// `from` (FIND_PREV), in the text as shown (the characters utf8.h decodes, a match within one
// line), ignoring case; goes round once. A `from` past the text's end is its end. Returns 1 with
// the hit, or 0, leaving *hit alone, when the text holds none.
int text_find(const TextDoc *doc, const Needle *needle, size_t from, FindDir dir, TextHit *hit);
