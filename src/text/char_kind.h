// How word moves and double-click selection group characters: words, blanks and punctuation.
#pragma once

#include <stdint.h>

enum CharKind { CHAR_WORD, CHAR_BLANK, CHAR_PUNCT };

// Word characters: ASCII letters and digits, '_', and every character outside ASCII that is not a
// blank or punctuation (so letters of every script, and U+FFFD for ill-formed bytes, join words).
// Blanks: space, tab, no-break space, the other Unicode spaces and the line and paragraph
// separators. Punctuation: every other character, ASCII and C1 controls included, and the
// punctuation and symbol blocks outside ASCII (Latin-1 signs, general punctuation, arrows and
// mathematical symbols, CJK and fullwidth punctuation).
CharKind char_kind(uint32_t cp);
