// Caret moves: by characters and words along a line, by lines at a kept column, and by keys.
#include "text/caret.h"

#include "base/keys.h"
#include "text/char_kind.h"
#include "text/text_copy.h"
#include "text/text_pos.h"
#include "base/utf8.h"

namespace {

// One line's content, contiguous in memory, and where it starts in the text.
struct Line {
    size_t index, start, len;
    const char *bytes;
};

Line line_at(const TextDoc *doc, size_t index) {
    Line l;
    l.index = index;
    l.start = text_line_start(doc, index);
    l.bytes = text_line(doc, index, &l.len);
    return l;
}

CharKind kind_at(const Line &l, size_t off, size_t *n) {
    uint32_t cp;
    *n = utf8_decode(l.bytes + off, l.len - off, &cp);
    return char_kind(cp);
}

// Past the run of characters of kind k that starts at off.
size_t skip_forward(const Line &l, size_t off, CharKind k) {
    while (off < l.len) {
        size_t n;
        if (kind_at(l, off, &n) != k) break;
        off += n;
    }
    return off;
}

// Back to the start of the run of characters of kind k that ends at off.
size_t skip_back(const Line &l, size_t off, CharKind k) {
    while (off > 0) {
        size_t prev = utf8_prev(l.bytes, 0, off), n;
        if (kind_at(l, prev, &n) != k) break;
        off = prev;
    }
    return off;
}

size_t char_left(const TextDoc *doc, size_t pos) {
    Line l = line_at(doc, text_line_of(doc, pos));
    if (pos > l.start) return l.start + utf8_prev(l.bytes, 0, pos - l.start);
    return l.index > 0 ? text_line_end(doc, l.index - 1) : pos;
}

size_t char_right(const TextDoc *doc, size_t pos) {
    Line l = line_at(doc, text_line_of(doc, pos));
    size_t off = pos - l.start;
    if (off < l.len) {
        uint32_t cp;
        return pos + utf8_decode(l.bytes + off, l.len - off, &cp);
    }
    return l.index + 1 < text_line_count(doc) ? text_line_start(doc, l.index + 1) : pos;
}

// The caret `lines` lines up (negative) or down, clamped to the text, at the goal column; the
// goal is taken from the caret when the previous move was not vertical.
size_t vertical(TextCaret *t, const TextDoc *doc, ColumnCache *c, size_t pos, long long lines) {
    size_t line = text_line_of(doc, pos);
    if (!t->has_goal) {
        t->goal = column_of(c, doc, line, pos);
        t->has_goal = 1;
    }
    size_t last = text_line_count(doc) - 1, target;
    if (lines < 0)
        target = static_cast<size_t>(-lines) > line ? 0 : line - static_cast<size_t>(-lines);
    else
        target =
            static_cast<size_t>(lines) > last - line ? last : line + static_cast<size_t>(lines);
    return pos_at_column(c, doc, target, t->goal, 1);
}

} // namespace

int text_move_for_key(int key, int ctrl, TextMove *move) {
    switch (key) {
    case KEY_LEFT: *move = ctrl ? TEXT_WORD_LEFT : TEXT_LEFT; return 1;
    case KEY_RIGHT: *move = ctrl ? TEXT_WORD_RIGHT : TEXT_RIGHT; return 1;
    case KEY_UP: *move = TEXT_UP; return 1;
    case KEY_DOWN: *move = TEXT_DOWN; return 1;
    case KEY_HOME: *move = ctrl ? TEXT_DOC_HOME : TEXT_HOME; return 1;
    case KEY_END: *move = ctrl ? TEXT_DOC_END : TEXT_END; return 1;
    case KEY_PRIOR: *move = TEXT_PAGE_UP; return 1;
    case KEY_NEXT: *move = TEXT_PAGE_DOWN; return 1;
    default: return 0;
    }
}

void text_move(TextCaret *t, const TextDoc *doc, ColumnCache *c, TextMove move, int extend,
               size_t page) {
    if (page == 0) page = 1;
    if (!extend && t->caret != t->anchor && (move == TEXT_LEFT || move == TEXT_RIGHT)) {
        t->caret = t->anchor =
            text_char_floor(doc, move == TEXT_LEFT ? text_sel_start(t) : text_sel_end(t));
        t->has_goal = 0;
        return;
    }
    const size_t pos = text_char_floor(doc, t->caret);
    const long long page_lines = static_cast<long long>(page);
    size_t to = pos;
    int keeps_goal = 0;
    switch (move) {
    case TEXT_LEFT: to = char_left(doc, pos); break;
    case TEXT_RIGHT: to = char_right(doc, pos); break;
    case TEXT_HOME: to = text_line_start(doc, text_line_of(doc, pos)); break;
    case TEXT_END: to = text_line_end(doc, text_line_of(doc, pos)); break;
    case TEXT_DOC_HOME: to = 0; break;
    case TEXT_DOC_END: to = doc->len; break;
    case TEXT_WORD_LEFT: to = text_word_left(doc, pos); break;
    case TEXT_WORD_RIGHT: to = text_word_right(doc, pos); break;
    case TEXT_UP:
    case TEXT_DOWN:
    case TEXT_PAGE_UP:
    case TEXT_PAGE_DOWN: {
        long long lines = move == TEXT_UP        ? -1
                          : move == TEXT_DOWN    ? 1
                          : move == TEXT_PAGE_UP ? -page_lines
                                                 : page_lines;
        to = vertical(t, doc, c, pos, lines);
        keeps_goal = 1;
        break;
    }
    }
    if (!keeps_goal) t->has_goal = 0;
    t->caret = to;
    if (!extend) t->anchor = to;
}

void text_set_caret(TextCaret *t, const TextDoc *doc, size_t pos, int extend) {
    t->caret = text_char_floor(doc, pos);
    if (!extend) t->anchor = t->caret;
    t->has_goal = 0;
}

void text_select_all(TextCaret *t, const TextDoc *doc) {
    t->anchor = 0;
    t->caret = doc->len;
    t->has_goal = 0;
}

void text_select_word(TextCaret *t, const TextDoc *doc, size_t pos) {
    pos = text_char_floor(doc, pos);
    t->has_goal = 0;
    Line l = line_at(doc, text_line_of(doc, pos));
    size_t off = pos - l.start;
    if (l.len == 0) {
        t->caret = t->anchor = pos;
        return;
    }
    if (off == l.len) off = utf8_prev(l.bytes, 0, off);
    size_t n;
    CharKind k = kind_at(l, off, &n);
    t->anchor = l.start + skip_back(l, off, k);
    t->caret = l.start + skip_forward(l, off, k);
}

size_t text_word_right(const TextDoc *doc, size_t pos) {
    pos = text_char_floor(doc, pos);
    Line l = line_at(doc, text_line_of(doc, pos));
    size_t off = pos - l.start;
    if (off == l.len)
        return l.index + 1 < text_line_count(doc) ? text_line_start(doc, l.index + 1) : pos;
    size_t n;
    CharKind k = kind_at(l, off, &n);
    if (k != CHAR_BLANK) off = skip_forward(l, off, k);
    return l.start + skip_forward(l, off, CHAR_BLANK);
}

size_t text_word_left(const TextDoc *doc, size_t pos) {
    pos = text_char_floor(doc, pos);
    Line l = line_at(doc, text_line_of(doc, pos));
    size_t off = pos - l.start;
    if (off == 0) return l.index > 0 ? text_line_end(doc, l.index - 1) : pos;
    off = skip_back(l, off, CHAR_BLANK);
    if (off > 0) {
        size_t n;
        off = skip_back(l, off, kind_at(l, utf8_prev(l.bytes, 0, off), &n));
    }
    return l.start + off;
}

size_t text_sel_start(const TextCaret *t) {
    return t->caret < t->anchor ? t->caret : t->anchor;
}

size_t text_sel_end(const TextCaret *t) {
    return t->caret < t->anchor ? t->anchor : t->caret;
}
