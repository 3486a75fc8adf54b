// Orders asked for while the file is still being counted, for the document fuzz target: count
// steps, sorts, turns, filters (a text, a condition on a cell's value, or both), file order, the
// order made again and cursor moves, in an order the input's bytes choose. After every one of
// them, each row the grid shows is a counted row shown once, the order is what a plain reference
// (a stable sort by the order's own field comparison, a filter by find_check's cell-by-cell search
// and the condition tested row by row) gives over the rows the order was made for, and the cursor
// stands on the record it stood on whenever that record still shows.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/load.h"
#include "find_check.h"
#include "fuzz_check.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "order/order.h"
#include "query/condition.h"
#include "work/grid_order.h"

namespace order_steps {

// What the order should be: its keys (by the fuzz's own bookkeeping), its filter's text and its
// condition (the check's own, kept while the order it filtered holds).
struct Asked {
    int32_t col = -1;
    SortDir dir = SORT_NONE;
    std::string filter;
    Condition *condition = nullptr;
};

ColumnKind kind_of(const Viewer *v, int32_t col) {
    return v->col_types && col < v->col_count ? v->col_types[col].kind : KIND_TEXT;
}

// Column col of file row r as the sort compares it: its bytes, or null when the row lacks it.
const char *field_of(const Viewer *v, int32_t r, int32_t col, size_t *len) {
    const RowLine line = row_line(v, r);
    return field_at(line.start, line.end, col, len);
}

std::vector<int32_t> reference(const Viewer *v, const Asked &asked) {
    const int32_t rows = v->order.shown ? v->order.rows : v->row_count;
    std::vector<int32_t> out;
    const find_check::Cells cells(v);
    const find_check::Chars want = find_check::folded(asked.filter.data(), asked.filter.size());
    for (int32_t r = 0; r < rows; ++r)
        if ((asked.filter.empty() || find_check::row_holds(cells, r, want)) &&
            (!asked.condition || condition_holds(asked.condition, v, r)))
            out.push_back(r);
    if (asked.dir == SORT_NONE) return out;
    const ColumnKind kind = kind_of(v, asked.col);
    std::stable_sort(out.begin(), out.end(), [&](int32_t a, int32_t b) {
        size_t alen = 0, blen = 0;
        const char *x = field_of(v, a, asked.col, &alen), *y = field_of(v, b, asked.col, &blen);
        const int c = order_compare_fields(kind, x, alen, y, blen);
        return asked.dir == SORT_ASC ? c < 0 : c > 0;
    });
    return out;
}

void check(const Viewer *v, const Asked &asked, int32_t record) {
    const std::vector<int32_t> shown = find_check::shown_rows(v);
    FUZZ_CHECK(v->order.rows <= v->row_count);
    std::vector<char> seen(static_cast<size_t>(v->row_count), 0);
    for (int32_t f : shown) {
        FUZZ_CHECK(f >= 0 && f < (v->order.shown ? v->order.rows : v->row_count));
        FUZZ_CHECK(!seen[static_cast<size_t>(f)]);
        seen[static_cast<size_t>(f)] = 1;
    }
    FUZZ_CHECK(shown == reference(v, asked));
    if (shown.empty()) return;
    FUZZ_CHECK(v->cur_row >= 0 && v->cur_row < static_cast<int32_t>(shown.size()));
    if (record >= 0 && std::find(shown.begin(), shown.end(), record) != shown.end())
        FUZZ_CHECK(shown[static_cast<size_t>(v->cur_row)] == record);
}

const char *const kFilters[] = {"a", "1", "\\", "e", "0", " "};

// Runs the steps `ops` ask for over a counting load of `file`.
inline void check_orders_while_counting(const std::string &file, const uint8_t *ops, size_t n) {
    FileMap map = {file.data(), file.size(), nullptr};
    Viewer v{};
    DumpScan scan;
    if (load_begin(&v, &map, &scan) != 1) return;
    Asked asked;
    uint64_t budget = 1;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = ops[i];
        const int32_t record = record_at(&v, v.cur_row);
        const int32_t col = v.col_count > 0 ? static_cast<int32_t>((b >> 3) % v.col_count) : 0;
        bool changed = true;
        switch (b & 7) {
        case 0: // a step of the count
        case 1:
            budget = budget * 3 + (b >> 3);
            scan_step(&scan, budget);
            FUZZ_CHECK(load_adopt(&v, &scan) == 1);
            changed = false;
            break;
        case 2: // a header click: this column, the other way when it is already the key
        case 3: {
            const SortDir dir = (b & 7) == 2 ? SORT_ASC : SORT_DESC;
            if (v.col_count <= 0 || v.row_count <= 0) break;
            if (grid_set_sort(&v, col, dir) == 1) {
                asked.col = col;
                asked.dir = dir;
            }
            break;
        }
        case 4:
            if (grid_set_sort(&v, col, SORT_NONE) == 1) asked.dir = SORT_NONE;
            break;
        case 5: { // a filter typed, or cleared, and a condition on a cell's value or none
            const std::string text = (b >> 3) % 7 == 6 ? "" : kFilters[(b >> 3) % 7];
            Needle needle;
            const bool some = !text.empty() && needle_compile(&needle, text.data(), text.size());
            Condition *c = nullptr;
            const int test = ((b >> 3) / 7) % 4;
            if (test > 0 && v.col_count > 0 && v.row_count > 0) {
                size_t len = 0;
                const char *raw = field_of(&v, v.row_count / 2, col, &len);
                c = condition_for_cell(&v, col,
                                       test == 1   ? CELL_EQUAL
                                       : test == 2 ? CELL_NOT_EQUAL
                                                   : CELL_NOT_NULL,
                                       raw, len);
            }
            if (grid_set_filter(&v, some ? &needle : nullptr, c) == 1) {
                asked.filter = some ? text : "";
                condition_free(asked.condition);
                asked.condition = c;
            } else {
                condition_free(c);
            }
            break;
        }
        case 6: { // the order made again over every row, as once the count has ended
            Needle needle;
            OrderPlan plan = order_plan_of(&v, nullptr);
            if (plan.filtered) {
                needle_compile(&plan.needle, asked.filter.data(), asked.filter.size());
                plan.condition = asked.condition;
            }
            plan.fresh = true;
            BuiltOrder built;
            if (order_build(&v, &plan, record, record_at(&v, v.anchor_row), &built) == BUILD_DONE)
                order_install(&v, &built, CURSOR_KEEP_SELECTION);
            (void)needle;
            break;
        }
        default: // the cursor somewhere else
            grid_apply_key(&v, KEY_DOWN + (b >> 6), (b >> 3) & 1, (b >> 4) & 1, 3);
            changed = false;
            break;
        }
        check(&v, asked, changed ? record : record_at(&v, v.cur_row));
    }
    condition_free(asked.condition);
    v.map = FileMap{}; // the bytes are the caller's, not a mapping
    viewer_free_blocks(&v);
}

} // namespace order_steps
