// How wide each character is on screen, in the text view's columns, and what it is drawn as.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Tabs stop every TAB_STOP columns, counted from the line's start.
enum { TAB_STOP = 8 };

// Columns a character other than a tab takes: 2 for East Asian wide and fullwidth characters
// (East_Asian_Width W and F in the Unicode Character Database of Unicode 15.0.0: CJK ideographs,
// kana, hangul syllables, fullwidth forms, most emoji, and the code points still reserved in their
// blocks), else 1, ambiguous ones (circled numbers, Greek and Cyrillic, box drawing) included. The
// table is generated: tools/unicode/make_tables.py.
int char_columns(uint32_t cp);

// What the view draws for a character other than a tab: a control character (U+0000 to U+001F
// and U+007F) as its Unicode control picture (U+2400 + code, U+2421 for DEL), so a stray carriage
// return shows; everything else as itself.
uint32_t shown_char(uint32_t cp);

// The column after a tab that starts at column col.
inline size_t tab_stop_after(size_t col) {
    return (col / TAB_STOP + 1) * TAB_STOP;
}

// The character at s[off] of a line of len bytes (off < len), starting at column col: returns
// its length in bytes and puts the column after it in *next_col.
size_t char_step(const char *s, size_t len, size_t off, size_t col, size_t *next_col);

// How many bytes from s on, in steps of 16 up to at most n, are ASCII other than tabs: characters
// of one column each, so their columns are their offsets. Most SQL and data is such text.
size_t plain_run(const char *s, size_t n);
