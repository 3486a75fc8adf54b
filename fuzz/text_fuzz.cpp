// Fuzz target: any bytes as a text of one block or of several (rows cut by NULs among them), with
// keys, clicks and double-clicks played from the input's last bytes. After each one the caret and
// anchor, columns, the cells of the caret's line, UTF-16 counts, conversions and positions and the
// UTF-8 copy of the selection are checked against a plain reference: the text decoded into a list
// of characters with their positions, lines split at line feeds, and columns walked from each
// line's start. The reference decodes and measures by its own lights (unicode_ref.h: the C
// library's UTF-8 and the Unicode Character Database's widths), not by the project's.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "grid/cursor.h"
#include "text/caret.h"
#include "text/char_kind.h"
#include "text/char_width.h"
#include "text/columns.h"
#include "text/line_cells.h"
#include "text/text_copy.h"
#include "text/text_pos.h"
#include "unicode_ref.h"

namespace {

// Long enough for the column cache's remembered points, short enough for many inputs a second.
const size_t MAX_TEXT = 6 * 1024;

struct Char {
    size_t pos, len;
    uint32_t cp;
    size_t col, width; // on its line: where it starts, and how many columns it takes there
};

struct Line {
    size_t start, end, next;   // next: where the line after starts (the text's length for the last)
    size_t first_char, nchars; // its characters in Ref::chars
    size_t columns;
};

// The reference: the text as one string, read the plain way.
struct Ref {
    std::string bytes;
    std::vector<Char> chars;   // every character of the text, line breaks included
    std::vector<size_t> units; // UTF-16 units before each character, and the total at the end
    std::vector<Line> lines;
    std::vector<uint16_t> u16; // the whole text in UTF-16

    explicit Ref(std::string text) : bytes(std::move(text)) {
        size_t u = 0;
        for (size_t i = 0; i < bytes.size();) {
            Char c{i, 0, 0, 0, 0};
            c.len = unicode_ref::decode(bytes.data() + i, bytes.size() - i, &c.cp);
            chars.push_back(c);
            units.push_back(u);
            uint16_t pair[2];
            size_t k = unicode_ref::utf16(c.cp, pair);
            u16.insert(u16.end(), pair, pair + k);
            u += k;
            i += c.len;
        }
        units.push_back(u);
        size_t start = 0;
        for (;;) {
            size_t lf = bytes.find('\n', start);
            Line l{start, lf == std::string::npos ? bytes.size() : lf, 0, 0, 0, 0};
            l.next = lf == std::string::npos ? bytes.size() : lf + 1;
            if (lf != std::string::npos && l.end > start && bytes[l.end - 1] == '\r') --l.end;
            l.first_char = index_of(start);
            size_t col = 0;
            for (size_t i = l.first_char; i < chars.size() && chars[i].pos < l.end; ++i) {
                Char &c = chars[i];
                c.col = col;
                c.width = c.cp == '\t' ? TAB_STOP - col % TAB_STOP : unicode_ref::columns(c.cp);
                col += c.width;
                ++l.nchars;
            }
            l.columns = col;
            lines.push_back(l);
            if (lf == std::string::npos) break;
            start = lf + 1;
        }
    }

    // The character starting at pos, or the count of characters for the text's end.
    size_t index_of(size_t pos) const {
        return static_cast<size_t>(
            std::lower_bound(chars.begin(), chars.end(), pos,
                             [](const Char &c, size_t p) { return c.pos < p; }) -
            chars.begin());
    }

    size_t line_of(size_t pos) const {
        size_t lo = 0, hi = lines.size() - 1;
        while (lo < hi) {
            size_t mid = (lo + hi + 1) / 2;
            if (lines[mid].start <= pos)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }

    const Char *line_chars(size_t line) const { return chars.data() + lines[line].first_char; }

    size_t floor(size_t pos) const {
        if (pos >= bytes.size()) return bytes.size();
        const Line &l = lines[line_of(pos)];
        if (pos >= l.end) return l.end;
        size_t i = index_of(pos);
        return i < chars.size() && chars[i].pos == pos ? pos : chars[i - 1].pos;
    }

    size_t column_of(size_t line, size_t pos) const {
        const Line &l = lines[line];
        size_t i = index_of(pos);
        return pos >= l.end ? l.columns : chars[i].col;
    }

    size_t pos_at_column(size_t line, size_t col, bool nearest) const {
        const Line &l = lines[line];
        const Char *c = line_chars(line);
        for (size_t i = 0; i < l.nchars; ++i) {
            if (col >= c[i].col + c[i].width) continue;
            return nearest && 2 * (col - c[i].col) >= c[i].width ? c[i].pos + c[i].len : c[i].pos;
        }
        return l.end;
    }

    CharKind kind(size_t line, size_t i) const { return char_kind(line_chars(line)[i].cp); }

    // Position of character i of a line, its end for i = its count.
    size_t pos_of(size_t line, size_t i) const {
        return i < lines[line].nchars ? line_chars(line)[i].pos : lines[line].end;
    }

    size_t word_right(size_t pos) const {
        size_t line = line_of(pos);
        const Line &l = lines[line];
        if (pos == l.end) return line + 1 < lines.size() ? lines[line + 1].start : pos;
        size_t i = index_of(pos) - l.first_char;
        CharKind k = kind(line, i);
        if (k != CHAR_BLANK)
            while (i < l.nchars && kind(line, i) == k) ++i;
        while (i < l.nchars && kind(line, i) == CHAR_BLANK) ++i;
        return pos_of(line, i);
    }

    size_t word_left(size_t pos) const {
        size_t line = line_of(pos);
        const Line &l = lines[line];
        if (pos == l.start) return line > 0 ? lines[line - 1].end : pos;
        size_t i = pos == l.end ? l.nchars : index_of(pos) - l.first_char;
        while (i > 0 && kind(line, i - 1) == CHAR_BLANK) --i;
        if (i > 0) {
            CharKind k = kind(line, i - 1);
            while (i > 0 && kind(line, i - 1) == k) --i;
        }
        return pos_of(line, i);
    }

    size_t utf16_count(size_t from, size_t to) const {
        return units[index_of(to)] - units[index_of(from)];
    }

    size_t pos_of_utf16(size_t u) const {
        if (u >= units.back()) return bytes.size();
        size_t i =
            static_cast<size_t>(std::upper_bound(units.begin(), units.end(), u) - units.begin()) -
            1;
        return chars[i].pos;
    }
};

// The cells of columns [first, first + count) of a line, found from the line's start.
struct Cells {
    std::vector<uint16_t> units;
    std::vector<uint32_t> cols;
    size_t after = 0;
};

Cells reference_cells(const Ref &ref, size_t line, size_t first, size_t count, size_t room) {
    Cells out;
    const Line &l = ref.lines[line];
    const Char *c = ref.line_chars(line);
    const size_t last = first + count;
    for (size_t i = 0; i < l.nchars; ++i) {
        size_t c0 = c[i].col, c1 = c[i].col + c[i].width;
        if (c1 <= first) continue;
        if (c0 >= last) break;
        if (c[i].cp == '\t' || c0 < first || c1 > last) {
            for (size_t col = std::max(c0, first); col < std::min(c1, last); ++col) {
                if (out.units.size() >= room) return out;
                out.units.push_back(' ');
                out.cols.push_back(static_cast<uint32_t>(col - first));
                out.after = col + 1 - first;
            }
            continue;
        }
        uint32_t shown = c[i].cp < 0x20 ? 0x2400 + c[i].cp : c[i].cp == 0x7F ? 0x2421 : c[i].cp;
        uint16_t pair[2];
        size_t k = unicode_ref::utf16(shown, pair);
        if (out.units.size() + k > room) return out;
        for (size_t j = 0; j < k; ++j) {
            out.units.push_back(pair[j]);
            out.cols.push_back(static_cast<uint32_t>(c0 - first));
        }
        out.after = c1 - first;
    }
    return out;
}

// The caret as the reference moves it.
struct RefCaret {
    size_t caret = 0, anchor = 0, goal = 0;
    bool has_goal = false;
};

void reference_move(RefCaret &t, const Ref &ref, TextMove move, bool extend, size_t page) {
    if (page == 0) page = 1;
    if (!extend && t.caret != t.anchor && (move == TEXT_LEFT || move == TEXT_RIGHT)) {
        t.caret = t.anchor =
            move == TEXT_LEFT ? std::min(t.caret, t.anchor) : std::max(t.caret, t.anchor);
        t.has_goal = false;
        return;
    }
    const size_t pos = t.caret, line = ref.line_of(pos), last = ref.lines.size() - 1;
    const Line &l = ref.lines[line];
    size_t to = pos, target = line;
    bool vertical = false;
    switch (move) {
    case TEXT_LEFT:
        to = pos > l.start ? ref.chars[ref.index_of(pos) - 1].pos
             : line > 0    ? ref.lines[line - 1].end
                           : pos;
        break;
    case TEXT_RIGHT:
        to = pos < l.end        ? pos + ref.chars[ref.index_of(pos)].len
             : line + 1 <= last ? ref.lines[line + 1].start
                                : pos;
        break;
    case TEXT_HOME: to = l.start; break;
    case TEXT_END: to = l.end; break;
    case TEXT_DOC_HOME: to = 0; break;
    case TEXT_DOC_END: to = ref.bytes.size(); break;
    case TEXT_WORD_LEFT: to = ref.word_left(pos); break;
    case TEXT_WORD_RIGHT: to = ref.word_right(pos); break;
    case TEXT_UP:
        target = line > 0 ? line - 1 : 0;
        vertical = true;
        break;
    case TEXT_DOWN:
        target = std::min(line + 1, last);
        vertical = true;
        break;
    case TEXT_PAGE_UP:
        target = line > page ? line - page : 0;
        vertical = true;
        break;
    case TEXT_PAGE_DOWN:
        target = std::min(line + page, last);
        vertical = true;
        break;
    }
    if (vertical) {
        if (!t.has_goal) t.goal = ref.column_of(line, pos);
        t.has_goal = true;
        to = ref.pos_at_column(target, t.goal, true);
    } else {
        t.has_goal = false;
    }
    t.caret = to;
    if (!extend) t.anchor = to;
}

void reference_select_word(RefCaret &t, const Ref &ref, size_t pos) {
    pos = ref.floor(pos);
    t.has_goal = false;
    size_t line = ref.line_of(pos);
    const Line &l = ref.lines[line];
    if (l.nchars == 0) {
        t.caret = t.anchor = pos;
        return;
    }
    size_t i = pos == l.end ? l.nchars - 1 : ref.index_of(pos) - l.first_char;
    CharKind k = ref.kind(line, i);
    size_t lo = i, hi = i;
    while (lo > 0 && ref.kind(line, lo - 1) == k) --lo;
    while (hi < l.nchars && ref.kind(line, hi) == k) ++hi;
    t.anchor = ref.pos_of(line, lo);
    t.caret = ref.pos_of(line, hi);
}

std::string copy_utf8(const TextDoc *doc, size_t from, size_t to) {
    std::string out(to - from + 1, '\xAA');
    text_copy_utf8(doc, from, to, out.data());
    FUZZ_CHECK(out[to - from] == '\0');
    out.resize(to - from);
    return out;
}

// The text as built, the reference and every whole-text answer set side by side.
void check_whole_text(const TextDoc *doc, ColumnCache *cache, const Ref &ref) {
    FUZZ_CHECK(doc->len == ref.bytes.size());
    FUZZ_CHECK(text_line_count(doc) == ref.lines.size());
    FUZZ_CHECK(copy_utf8(doc, 0, doc->len) == ref.bytes);
    for (size_t i = 0; i < ref.lines.size(); ++i) {
        const Line &l = ref.lines[i];
        size_t len = 0;
        const char *s = text_line(doc, i, &len);
        FUZZ_CHECK(text_line_start(doc, i) == l.start && text_line_end(doc, i) == l.end);
        FUZZ_CHECK(std::string(s, len) == ref.bytes.substr(l.start, l.end - l.start));
        FUZZ_CHECK(line_columns(cache, doc, i) == l.columns);
        FUZZ_CHECK(line_columns(nullptr, doc, i) == l.columns);
    }
    // Every position of a short text, a sample of a long one.
    size_t stride = doc->len / 2048 + 1;
    for (size_t pos = 0; pos <= doc->len; pos += stride) {
        FUZZ_CHECK(text_line_of(doc, pos) == ref.line_of(pos));
        FUZZ_CHECK(text_char_floor(doc, pos) == ref.floor(pos));
        if (pos < doc->len) FUZZ_CHECK(text_byte_at(doc, pos) == ref.bytes[pos]);
    }
    FUZZ_CHECK(text_utf16_count(doc, 0, doc->len) == ref.u16.size());
    std::vector<uint16_t> u16(ref.u16.size() + 1, 0xAAAA);
    FUZZ_CHECK(text_copy_utf16(doc, 0, doc->len, u16.data(), u16.size()) == ref.u16.size());
    FUZZ_CHECK(std::equal(ref.u16.begin(), ref.u16.end(), u16.begin()) && u16.back() == 0);
}

// What the view and the platform ask about the caret's line and the selection, with `arg` (an
// input byte) choosing columns, a window of cells, a room and a unit count.
void check_around_caret(const TextDoc *doc, ColumnCache *cache, const Ref &ref, const TextCaret &t,
                        uint8_t arg) {
    const size_t line = ref.line_of(t.caret);
    const Line &l = ref.lines[line];
    FUZZ_CHECK(text_line_of(doc, t.caret) == line);
    // Through the cache, or (for every other argument) walking from the line's start.
    ColumnCache *c = arg & 1 ? cache : nullptr;
    const size_t col = ref.column_of(line, t.caret);
    FUZZ_CHECK(column_of(c, doc, line, t.caret) == col);

    const size_t probe = l.columns * arg / 255 + (arg & 3);
    for (int nearest = 0; nearest < 2; ++nearest)
        FUZZ_CHECK(pos_at_column(c, doc, line, probe, nearest) ==
                   ref.pos_at_column(line, probe, nearest));

    const size_t first = col > (arg & 15u) ? col - (arg & 15u) : 0;
    const size_t count = (arg >> 2) + 1, room = arg % 97;
    std::vector<uint16_t> units(room + 1, 0xAAAA);
    std::vector<uint32_t> cols(room + 1, 0xAAAAAAAA);
    size_t n = line_cells(c, doc, line, first, count, units.data(), cols.data(), room);
    Cells want = reference_cells(ref, line, first, count, room);
    FUZZ_CHECK(n == want.units.size());
    FUZZ_CHECK(std::equal(want.units.begin(), want.units.end(), units.begin()));
    FUZZ_CHECK(std::equal(want.cols.begin(), want.cols.end(), cols.begin()));
    FUZZ_CHECK(cols[n] == want.after);

    const size_t s = text_sel_start(&t), e = text_sel_end(&t);
    FUZZ_CHECK(copy_utf8(doc, s, e) == ref.bytes.substr(s, e - s));
    const size_t sel_units = ref.utf16_count(s, e);
    FUZZ_CHECK(text_utf16_count(doc, s, e) == sel_units);
    // A room that may cut the selection, never between the halves of a pair.
    const size_t u16_room = arg % 7 == 0 ? 0 : std::min<size_t>(sel_units + 1, arg % 41);
    std::vector<uint16_t> u16(u16_room + 1, 0xAAAA);
    size_t got = text_copy_utf16(doc, s, e, u16.data(), u16_room);
    if (u16_room == 0) {
        FUZZ_CHECK(got == 0 && u16[0] == 0xAAAA);
    } else {
        size_t want_units =
            ref.utf16_count(s, ref.pos_of_utf16(ref.units[ref.index_of(s)] + u16_room - 1));
        if (u16_room - 1 >= sel_units) want_units = sel_units;
        FUZZ_CHECK(got == want_units && u16[got] == 0);
        size_t from = ref.units[ref.index_of(s)];
        FUZZ_CHECK(std::equal(u16.begin(), u16.begin() + static_cast<long>(got),
                              ref.u16.begin() + static_cast<long>(from)));
    }
    // The caret's own unit count, or any count (a walk from the text's start either way).
    const size_t u = arg & 2 ? ref.units[ref.index_of(t.caret)] : ref.u16.size() * arg / 255 + 1;
    FUZZ_CHECK(text_pos_of_utf16(doc, u) == ref.pos_of_utf16(u));
}

const int kKeys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP,   KEY_DOWN, KEY_HOME,
                     KEY_END,  KEY_PRIOR, KEY_NEXT, KEY_A};

bool reference_key(int key, int ctrl, TextMove *move) {
    switch (key) {
    case KEY_LEFT: *move = ctrl ? TEXT_WORD_LEFT : TEXT_LEFT; return true;
    case KEY_RIGHT: *move = ctrl ? TEXT_WORD_RIGHT : TEXT_RIGHT; return true;
    case KEY_UP: *move = TEXT_UP; return true;
    case KEY_DOWN: *move = TEXT_DOWN; return true;
    case KEY_HOME: *move = ctrl ? TEXT_DOC_HOME : TEXT_HOME; return true;
    case KEY_END: *move = ctrl ? TEXT_DOC_END : TEXT_END; return true;
    case KEY_PRIOR: *move = TEXT_PAGE_UP; return true;
    case KEY_NEXT: *move = TEXT_PAGE_DOWN; return true;
    default: return false;
    }
}

// A position anywhere in the text, inside characters and line breaks too.
size_t position_from(uint8_t b, size_t len) {
    return len < 256 ? b % (len + 1) : len * b / 255;
}

void play(const TextDoc *doc, ColumnCache *cache, const Ref &ref, const uint8_t *keys, size_t n,
          size_t page) {
    TextCaret t{};
    RefCaret r;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = keys[i], arg = i + 1 < n ? keys[i + 1] : 0;
        const int op = b & 15, ctrl = (b >> 4) & 1, shift = b >> 7;
        if (op < 9 || op >= 14) {
            int key = op < 9 ? kKeys[op] : op == 14 ? KEY_RIGHT : KEY_DOWN;
            TextMove move = TEXT_LEFT, want = TEXT_LEFT;
            int is_move = text_move_for_key(key, ctrl, &move);
            FUZZ_CHECK(is_move == (reference_key(key, ctrl, &want) ? 1 : 0));
            if (is_move) {
                FUZZ_CHECK(move == want);
                text_move(&t, doc, cache, move, shift, page);
                reference_move(r, ref, want, shift, page);
            }
        } else if (op == 9 || op == 10) {
            size_t pos = position_from(arg, doc->len);
            text_set_caret(&t, doc, pos, op == 10);
            r.caret = ref.floor(pos);
            if (op == 9) r.anchor = r.caret;
            r.has_goal = false;
        } else if (op == 11) {
            size_t pos = position_from(arg, doc->len);
            text_select_word(&t, doc, pos);
            reference_select_word(r, ref, pos);
        } else if (op == 12) {
            text_select_all(&t, doc);
            r.anchor = 0;
            r.caret = doc->len;
            r.has_goal = false;
        } else {
            column_cache_clear(cache);
        }
        FUZZ_CHECK(t.caret == r.caret && t.anchor == r.anchor);
        FUZZ_CHECK((t.has_goal != 0) == r.has_goal && (!r.has_goal || t.goal == r.goal));
        check_around_caret(doc, cache, ref, t, arg);
    }
}

// The pieces of a text of several blocks, and what they own.
struct Built {
    std::vector<std::string> pieces;
    std::vector<RowIndex> rows;
    std::vector<LineTable> tables;
    ~Built() {
        for (LineTable &t : tables) line_table_free(&t);
        for (RowIndex &r : rows) row_index_free(&r);
    }
};

// Several blocks: the body cut at its 0x01 bytes into at most TEXT_MAX_BLOCKS pieces, each read as
// one kind of block by its first byte (a section with its line table, rows cut by NULs, or a line
// of its own), each but the last followed by a line feed. Returns the text as it reads.
std::string build_blocks(const uint8_t *body, size_t n, bool last_line_feed, Built *built,
                         TextDoc *doc) {
    std::string rest(reinterpret_cast<const char *>(body), n);
    while (built->pieces.size() + 1 < TEXT_MAX_BLOCKS) {
        size_t cut = rest.find('\x01');
        if (cut == std::string::npos) break;
        built->pieces.push_back(rest.substr(0, cut));
        rest.erase(0, cut + 1);
    }
    built->pieces.push_back(rest);
    const size_t count = built->pieces.size();
    built->tables.resize(count, LineTable{nullptr, 0});
    built->rows.resize(count, RowIndex{});
    std::vector<TextBlock> blocks;
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        std::string &p = built->pieces[i];
        TextBlock b{p.data(), p.size(), i + 1 < count || last_line_feed, nullptr, nullptr, 0};
        int kind = p.empty() ? 2 : static_cast<unsigned char>(p[0]) % 3;
        if (kind == 0) {
            FUZZ_CHECK(line_table_build(&built->tables[i], p.data(), p.size()));
            b.table = &built->tables[i];
        } else if (kind == 1) {
            std::replace(p.begin(), p.end(), '\n', '\0');
            // The lines as a row index holds them: starts, then where a line after the last
            // would start.
            RowIndex &starts = built->rows[i];
            FUZZ_CHECK(row_index_init(&starts, static_cast<int64_t>(p.size()) + 2));
            int64_t written = 0;
            row_index_push(&starts, &written, p.data());
            size_t lines = 1;
            for (size_t k = 0; k < p.size(); ++k)
                if (p[k] == '\0') {
                    row_index_push(&starts, &written, p.data() + k + 1);
                    ++lines;
                }
            row_index_push(&starts, &written, p.data() + p.size() + 1);
            b.rows = &starts;
            b.row_count = lines;
        } else {
            std::replace(p.begin(), p.end(), '\n', ' ');
            std::replace(p.begin(), p.end(), '\0', ' ');
        }
        blocks.push_back(b);
        std::string reads = p;
        std::replace(reads.begin(), reads.end(), '\0', '\n');
        text += reads;
        if (b.line_feed_after) text += '\n';
    }
    text_doc_set(doc, blocks.data(), static_cast<int>(blocks.size()));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const size_t page = data[1] % 9;
    const uint8_t *body = data + 2;
    const size_t body_len = size - 2;

    Built built;
    LineTable plain_table{nullptr, 0};
    std::string plain;
    TextDoc doc;
    std::string text;
    if ((flags & 3) == 0) {
        // One block, the body repeated so that lines grow long enough for remembered points.
        size_t repeat = size_t{1} << ((flags >> 2) & 7);
        for (size_t k = 0; k < repeat && (k == 0 || plain.size() + body_len <= MAX_TEXT); ++k)
            plain.append(reinterpret_cast<const char *>(body), body_len);
        std::replace(plain.begin(), plain.end(), '\0', '\n');
        FUZZ_CHECK(line_table_build(&plain_table, plain.data(), plain.size()));
        text_doc_set_plain(&doc, plain.data(), plain.size(), &plain_table);
        text = plain;
    } else {
        text = build_blocks(body, body_len, flags & 0x20, &built, &doc);
    }

    ColumnCache *cache = column_cache_new();
    FUZZ_CHECK(cache != nullptr);
    Ref ref(text);
    check_whole_text(&doc, cache, ref);
    const size_t keys = std::min<size_t>(size, 40);
    play(&doc, cache, ref, data + size - keys, keys, page);
    column_cache_delete(cache);
    line_table_free(&plain_table);
    return 0;
}
