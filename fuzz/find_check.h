// Find checks for the document fuzz target: grid_find against a cell-by-cell search of the cells
// as Ctrl+C copies them (in file order and in a shown order of chance), the filter against the
// rows holding a cell, and text_find against a line-by-line search of the text, all plain loops
// over decoded, folded characters. Needles are slices of the input's own cells, rows and
// texts, their letters' case changed, so that most of them match somewhere. Decoding, folding and
// the case forms are the reference's own (unicode_ref.h), not the project's.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/mem.h"
#include "document/rows.h"
#include "document/viewer.h"
#include "find/find.h"
#include "fuzz_check.h"
#include "grid/cells.h"
#include "grid/selection_text.h"
#include "work/grid_order.h"
#include "text/line_table.h"
#include "text/text_doc.h"
#include "unicode_ref.h"

namespace find_check {

// splitmix64, seeded from the input, so each input always makes the same needles.
struct Random {
    uint64_t state;
    uint64_t next() {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t below(size_t n) { return n ? static_cast<size_t>(next() % n) : 0; }
};

using Chars = std::vector<uint32_t>;

// The folded characters of n bytes, decoded from their start; with `starts`, where each begins.
inline Chars folded(const char *s, size_t n, std::vector<size_t> *starts = nullptr) {
    Chars out;
    for (size_t i = 0; i < n;) {
        uint32_t cp;
        size_t len = unicode_ref::decode(s + i, n - i, &cp);
        out.push_back(unicode_ref::fold(cp));
        if (starts) starts->push_back(i);
        i += len;
    }
    if (starts) starts->push_back(n);
    return out;
}

inline bool holds_at(const Chars &hay, size_t at, const Chars &needle) {
    if (hay.size() - at < needle.size()) return false;
    for (size_t k = 0; k < needle.size(); ++k)
        if (hay[at + k] != needle[k]) return false;
    return true;
}

inline bool holds(const Chars &hay, const Chars &needle) {
    for (size_t at = 0; at + needle.size() <= hay.size(); ++at)
        if (holds_at(hay, at, needle)) return true;
    return false;
}

// The text Ctrl+C copies of a field: its first CELL_SCRATCH - 1 bytes decoded; NULL as nothing.
inline std::string copied(const char *field, size_t len) {
    static char scratch[CELL_SCRATCH];
    if (len == 2 && field[0] == '\\' && field[1] == 'N') return "";
    if (len > CELL_SCRATCH - 1) len = CELL_SCRATCH - 1;
    return std::string(scratch, unescape_cell(field, len, scratch));
}

// A row's line as a string.
inline std::string row_string(const Viewer *v, int32_t r) {
    const RowLine line = row_line(v, r);
    return std::string(line.start, line.end);
}

// The grid's cells as Ctrl+C copies them (every row's first col_count fields), and the same folded.
struct Cells {
    std::vector<std::vector<std::string>> copied;
    std::vector<std::vector<Chars>> folded;

    explicit Cells(const Viewer *v) {
        copied.resize(static_cast<size_t>(v->row_count));
        folded.resize(static_cast<size_t>(v->row_count));
        for (int32_t r = 0; r < v->row_count; ++r) {
            const RowLine line = row_line(v, r);
            const char *field = line.start;
            for (int32_t c = 0; c < v->col_count && field; ++c) {
                size_t len = field_length(field, line.end);
                copied[r].push_back(find_check::copied(field, len));
                folded[r].push_back(
                    find_check::folded(copied[r].back().data(), copied[r].back().size()));
                field = field + len < line.end ? field + len + 1 : nullptr;
            }
        }
    }
};

// A changed case for some letters: each character, by chance, becomes another of its forms.
inline std::string recased(const std::string &text, Random *rng) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            bool letter = static_cast<unsigned>((b | 0x20) - 'a') < 26u;
            out += static_cast<char>(letter && rng->below(2) ? b ^ 0x20 : b);
            ++i;
            continue;
        }
        uint32_t cp;
        size_t len = unicode_ref::decode(text.data() + i, text.size() - i, &cp);
        const std::vector<uint32_t> forms = unicode_ref::forms(cp);
        uint32_t pick = forms[rng->below(forms.size())];
        if (cp == unicode_ref::REPLACEMENT || pick == cp) {
            out.append(text, i, len); // ill-formed bytes stay as they were
        } else {
            char bytes[8];
            out.append(bytes, unicode_ref::encode(pick, bytes));
        }
        i += len;
    }
    return out;
}

// A slice of a text, at most FIND_TEXT_MAX + 2 bytes so that the limit is met now and then; its
// ends may fall inside a character.
inline std::string slice(const std::string &text, Random *rng) {
    if (text.empty()) return text;
    size_t at = rng->below(text.size());
    size_t len = 1 + rng->below(rng->below(4) == 0 ? FIND_TEXT_MAX + 2 : 12);
    return text.substr(at, len);
}

inline void check_compile(const std::string &text, Needle *needle, bool *taken) {
    *taken = needle_compile(needle, text.data(), text.size()) == 1;
    bool breaks = text.find_first_of(std::string("\n\r\0", 3)) != std::string::npos;
    FUZZ_CHECK(*taken == (!text.empty() && text.size() <= FIND_TEXT_MAX && !breaks));
    FUZZ_CHECK(*taken == (needle->char_count > 0));
}

struct Cell {
    int32_t row, col;
};

inline bool before(Cell a, int32_t row, int32_t col) {
    return a.row < row || (a.row == row && a.col < col);
}

// What grid_find must answer, from the cells holding the needle in reading order.
inline bool expected_cell(const std::vector<Cell> &hits, int32_t row, int32_t col, FindDir dir,
                          GridHit *out) {
    if (hits.empty()) return false;
    if (dir == FIND_NEXT) {
        for (Cell h : hits)
            if (!before(h, row, col) && !(h.row == row && h.col == col)) {
                *out = {h.row, h.col, 0};
                return true;
            }
        *out = {hits.front().row, hits.front().col, 1};
        return true;
    }
    for (size_t i = hits.size(); i-- > 0;)
        if (before(hits[i], row, col)) {
            *out = {hits[i].row, hits[i].col, 0};
            return true;
        }
    *out = {hits.back().row, hits.back().col, 1};
    return true;
}

// The file rows the grid shows, in order: its RowOrder, or every row in file order.
inline std::vector<int32_t> shown_rows(const Viewer *v) {
    std::vector<int32_t> shown;
    if (v->order.shown)
        shown.assign(v->order.shown, v->order.shown + v->order.shown_count);
    else
        for (int32_t r = 0; r < v->row_count; ++r) shown.push_back(r);
    return shown;
}

// Whether file row r has a cell holding the folded text.
inline bool row_holds(const Cells &cells, int32_t r, const Chars &want) {
    for (const Chars &cell : cells.folded[r])
        if (holds(cell, want)) return true;
    return false;
}

// grid_find in the order the grid shows its rows (v's RowOrder) against the cells in that order.
inline void check_grid_needle(const Viewer *v, const Cells &cells, const std::string &text,
                              Random *rng) {
    static Needle needle;
    bool taken = false;
    check_compile(text, &needle, &taken);
    const std::vector<int32_t> shown = shown_rows(v);
    const int32_t rows = static_cast<int32_t>(shown.size());
    if (!taken || rows <= 0 || v->col_count <= 0) return;
    const Chars want = folded(text.data(), text.size());
    std::vector<Cell> hits;
    for (int32_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < cells.folded[shown[r]].size(); ++c)
            if (holds(cells.folded[shown[r]][c], want)) hits.push_back({r, int32_t(c)});
    // From the grid's corners, from a cell by chance, and from the hits themselves, whose own cell
    // comes last.
    std::vector<Cell> from = {{0, 0}, {rows - 1, v->col_count - 1}};
    from.push_back({int32_t(rng->below(rows)), int32_t(rng->below(v->col_count))});
    if (!hits.empty()) from.push_back(hits[rng->below(hits.size())]);
    for (Cell f : from)
        for (FindDir dir : {FIND_NEXT, FIND_PREV}) {
            GridHit got = {-1, -1, -1}, expected;
            bool found = grid_find(v, &needle, f.row, f.col, dir, &got) == 1;
            FUZZ_CHECK(found == expected_cell(hits, f.row, f.col, dir, &expected));
            if (!found) {
                FUZZ_CHECK(got.row == -1 && got.col == -1 && got.wrapped == -1);
                continue;
            }
            FUZZ_CHECK(got.row == expected.row && got.col == expected.col);
            FUZZ_CHECK(got.wrapped == expected.wrapped);
        }
}

struct Span {
    size_t start, end;
};

// The text's lines (its bytes as text_byte_at reads them, split at line feeds, a CR before one no
// part of its line), each folded, with where each character starts in the text.
struct Line {
    Chars chars;
    std::vector<size_t> starts; // one more than chars: the content's end
};

inline std::vector<Line> lines_of(const std::string &text) {
    std::vector<Line> lines;
    for (size_t ls = 0; ls <= text.size();) {
        size_t lf = text.find('\n', ls);
        size_t le = lf == std::string::npos ? text.size() : lf;
        if (lf != std::string::npos && le > ls && text[le - 1] == '\r') --le;
        Line line;
        line.chars = folded(text.data() + ls, le - ls, &line.starts);
        for (size_t &start : line.starts) start += ls;
        lines.push_back(std::move(line));
        ls = lf == std::string::npos ? text.size() + 1 : lf + 1;
    }
    return lines;
}

// Every match, at each character start of each line.
inline std::vector<Span> text_matches(const std::vector<Line> &lines, const Chars &want) {
    std::vector<Span> out;
    for (const Line &line : lines)
        for (size_t i = 0; i < line.chars.size(); ++i)
            if (holds_at(line.chars, i, want))
                out.push_back({line.starts[i], line.starts[i + want.size()]});
    return out;
}

inline void check_text_needle(const TextDoc *doc, const std::vector<Line> &lines,
                              const std::string &text, Random *rng) {
    static Needle needle;
    bool taken = false;
    check_compile(text, &needle, &taken);
    if (!taken) return;
    const std::vector<Span> spans = text_matches(lines, folded(text.data(), text.size()));
    size_t froms[4] = {0, doc->len, rng->below(doc->len + 1), spans.empty() ? 0 : spans[0].start};
    for (size_t from : froms)
        for (FindDir dir : {FIND_NEXT, FIND_PREV}) {
            TextHit got = {0, 0, -1};
            bool found = text_find(doc, &needle, from, dir, &got) == 1;
            FUZZ_CHECK(found == !spans.empty());
            if (!found) {
                FUZZ_CHECK(got.start == 0 && got.end == 0 && got.wrapped == -1);
                continue;
            }
            Span want = dir == FIND_NEXT ? spans.front() : spans.back();
            int wrapped = 1;
            if (dir == FIND_NEXT) {
                for (Span s : spans)
                    if (s.start >= from) {
                        want = s;
                        wrapped = 0;
                        break;
                    }
            } else {
                for (size_t i = spans.size(); i-- > 0;)
                    if (spans[i].start < from) {
                        want = spans[i];
                        wrapped = 0;
                        break;
                    }
            }
            FUZZ_CHECK(got.start == want.start && got.end == want.end && got.wrapped == wrapped);
        }
}

// The SQL, the rows and the information text as one text of three blocks, the rows read as the
// Full SQL tab reads them: lines ended by the NULs the loader left.
struct Texts {
    LineTable sql{}, info{};
    TextDoc doc{};
    std::string bytes; // the text as text_byte_at reads it
    bool built = false;

    explicit Texts(const Viewer *v) {
        const char *sql_text = v->sql ? v->sql : "";
        const char *info_text = v->info ? v->info : "";
        const size_t sql_len = v->sql ? v->sql_len : 0, info_len = v->info ? v->info_len : 0;
        if (!line_table_build(&sql, sql_text, sql_len) ||
            !line_table_build(&info, info_text, info_len))
            return;
        TextBlock blocks[3];
        int n = 0;
        blocks[n++] = {sql_text, sql_len, 1, &sql, nullptr, 0};
        if (v->row_count > 0) {
            size_t len = static_cast<size_t>(rows_end(v) - rows_begin(v));
            blocks[n++] = {rows_begin(v), len,      1,
                           nullptr,       &v->rows, static_cast<size_t>(v->row_count)};
        }
        blocks[n++] = {info_text, info_len, 0, &info, nullptr, 0};
        text_doc_set(&doc, blocks, n);
        for (size_t pos = 0; pos < doc.len; ++pos) bytes += text_byte_at(&doc, pos);
        built = true;
    }
    ~Texts() {
        line_table_free(&sql);
        line_table_free(&info);
    }
};

// A shown order of chance: every row, shuffled, as a sort by a first column leaves them.
inline void shuffle_rows(Viewer *v, Random *rng) {
    std::vector<int32_t> rows;
    for (int32_t r = 0; r < v->row_count; ++r) rows.push_back(r);
    for (size_t i = rows.size(); i > 1; --i) std::swap(rows[i - 1], rows[rng->below(i)]);
    viewer_free_order(v);
    v->order.shown = static_cast<int32_t *>(mem_alloc((rows.size() + 1) * sizeof(int32_t)));
    FUZZ_CHECK(v->order.shown != nullptr);
    std::copy(rows.begin(), rows.end(), v->order.shown);
    v->order.shown_count = static_cast<int32_t>(rows.size());
    v->order.rows = v->row_count;
    v->order.keys[0] = OrderKey{0, SORT_ASC};
    v->order.key_count = 1;
}

// grid_set_filter over the shown order: the rows it keeps are exactly those of the order before
// with a cell holding the text, in the same order; the cursor stays on its record when that
// still shows; an empty needle brings the order before back.
inline void check_filter(Viewer *v, const Cells &cells, const std::string &text, Random *rng) {
    static Needle needle;
    if (!needle_compile(&needle, text.data(), text.size()) || v->col_count <= 0) return;
    const std::vector<int32_t> before = shown_rows(v);
    if (!before.empty()) {
        v->cur_row = static_cast<int32_t>(rng->below(before.size()));
        v->anchor_row = 0;
    }
    const int32_t record = before.empty() ? -1 : before[v->cur_row];
    FUZZ_CHECK(grid_set_filter(v, &needle) == 1);
    const Chars want = folded(text.data(), text.size());
    std::vector<int32_t> expected;
    for (int32_t r : before)
        if (row_holds(cells, r, want)) expected.push_back(r);
    FUZZ_CHECK(shown_rows(v) == expected);
    FUZZ_CHECK(v->order.filtered == 1);
    FUZZ_CHECK(v->anchor_row == v->cur_row && v->anchor_col == v->cur_col);
    bool kept = false;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] == record) {
            FUZZ_CHECK(v->cur_row == static_cast<int32_t>(i));
            kept = true;
        }
    if (!kept) FUZZ_CHECK(v->cur_row == 0);
    check_grid_needle(v, cells, text, rng);
    Needle empty;
    needle_compile(&empty, "", 0);
    FUZZ_CHECK(grid_set_filter(v, &empty) == 1);
    FUZZ_CHECK(shown_rows(v) == before);
    FUZZ_CHECK(v->order.filtered == 0);
}

// A few searches with needles from the input, each from several places and both ways.
inline void check_find(Viewer *v, const uint8_t *data, size_t size) {
    uint64_t seed = 0xCBF29CE484222325ull; // FNV-1a of the input
    for (size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 0x100000001B3ull;
    Random rng = {seed};

    const Cells cells(v);
    for (int k = 0; k < 2 && v->row_count > 0 && v->col_count > 0; ++k) {
        const auto &row = cells.copied[rng.below(cells.copied.size())];
        if (row.empty()) continue;
        check_grid_needle(v, cells, recased(slice(row[rng.below(row.size())], &rng), &rng), &rng);
    }
    // A slice of a row as written: escapes as written, and now and then a tab.
    if (v->row_count > 0)
        check_grid_needle(v, cells,
                          recased(slice(row_string(v, static_cast<int32_t>(rng.below(
                                                          static_cast<size_t>(v->row_count)))),
                                        &rng),
                                  &rng),
                          &rng);

    // The same in an order of the grid's own, through a filter over it.
    if (v->row_count > 0 && v->col_count > 0) {
        shuffle_rows(v, &rng);
        const auto &row = cells.copied[rng.below(cells.copied.size())];
        if (!row.empty()) {
            const std::string text = recased(slice(row[rng.below(row.size())], &rng), &rng);
            check_grid_needle(v, cells, text, &rng);
            check_filter(v, cells, text, &rng);
        }
        viewer_free_order(v);
        v->cur_row = v->cur_col = v->anchor_row = v->anchor_col = 0;
    }

    Texts texts(v);
    if (!texts.built) return;
    const std::vector<Line> lines = lines_of(texts.bytes);
    for (int k = 0; k < 2; ++k)
        check_text_needle(&texts.doc, lines, recased(slice(texts.bytes, &rng), &rng), &rng);
}

} // namespace find_check
