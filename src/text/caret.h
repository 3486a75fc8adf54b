// The text view's caret and anchor, and the moves a user of an edit control expects of them.
#pragma once

#include "text/columns.h"
#include "text/text_doc.h"

#include <stddef.h>

// Positions are byte offsets in the text and always lie on character boundaries, never inside a
// UTF-8 sequence nor between a carriage return and its line feed. The selection is the text
// between anchor and caret (empty when they are equal). `goal` is the column Up, Down, PageUp and
// PageDown keep when lines are shorter on the way (`has_goal` 0 when the next vertical move takes
// the caret's own column); every other move forgets it.
struct TextCaret {
    size_t caret, anchor;
    size_t goal;
    int has_goal;
};

enum TextMove {
    TEXT_LEFT,       // one character back; over a line break to the end of the line before
    TEXT_RIGHT,      // one character on; over a line break to the start of the next line
    TEXT_UP,         // the line before, at the goal column
    TEXT_DOWN,       // the line after, at the goal column
    TEXT_HOME,       // the line's start
    TEXT_END,        // the line's end
    TEXT_DOC_HOME,   // the text's start
    TEXT_DOC_END,    // the text's end
    TEXT_PAGE_UP,    // `page` lines before, at the goal column (the first line at most)
    TEXT_PAGE_DOWN,  // `page` lines after, at the goal column (the last line at most)
    TEXT_WORD_LEFT,  // the start of the word before (see text_word_left)
    TEXT_WORD_RIGHT, // the start of the word after (see text_word_right)
};

// A key's move: the platform's virtual-key code (base/keys.h) and whether
// Ctrl is held. Returns 1 and sets *move for the keys above (Ctrl with Left, Right, Home and End
// gives the word and text moves; Ctrl does not change Up, Down, PageUp and PageDown), else 0.
int text_move_for_key(int key, int ctrl, TextMove *move);

// Applies a move. With `extend` the anchor stays, so the selection runs from it to the new caret;
// without it the anchor follows the caret, except that Left and Right with a selection only
// collapse it, to its start and its end. `page` is the number of lines the view shows whole
// (1 when 0 or less).
void text_move(TextCaret *t, const TextDoc *doc, ColumnCache *c, TextMove move, int extend,
               size_t page);

// Puts the caret at pos (moved back to a character boundary); the anchor too unless `extend`.
void text_set_caret(TextCaret *t, const TextDoc *doc, size_t pos, int extend);

// Selects the whole text, the caret at its end.
void text_select_all(TextCaret *t, const TextDoc *doc);

// Selects the word at pos, as a double-click does: the run of characters of the same kind as the
// one at pos (or before it, at a line's end): word characters (letters, digits, '_', and any
// character outside ASCII that is not a blank or punctuation), blanks (space, tab, no-break
// space and the other Unicode spaces), or punctuation (every other character).
void text_select_word(TextCaret *t, const TextDoc *doc, size_t pos);

// Word moves. Right: at a line's end, to the next line's start; otherwise past the run of word
// characters or of punctuation at pos, then past the blanks after it. Left: at a line's start, to
// the previous line's end; otherwise back over blanks, then to the start of the run of word
// characters or of punctuation before them.
size_t text_word_right(const TextDoc *doc, size_t pos);
size_t text_word_left(const TextDoc *doc, size_t pos);

// Selection bounds: the smaller and the larger of caret and anchor.
size_t text_sel_start(const TextCaret *t);
size_t text_sel_end(const TextCaret *t);
