// Orders made beside the one shown, from the parts of it that can be reused, and installed whole.
#include "work/grid_order.h"

#include "base/mem.h"
#include "base/stop.h"
#include "grid/shown_rows.h"
#include "order/order.h"
#include "order/record_sort.h"
#include "work/row_filter.h"

#include <string.h>

namespace {

int32_t *alloc_rows(int32_t n) {
    return static_cast<int32_t *>(
        mem_alloc((n > 0 ? static_cast<size_t>(n) : 1) * sizeof(int32_t)));
}

// A copy of n rows, made a stretch at a time with a look at the stop flag between (a hundred
// million rows are 400 MB); null when its memory cannot be had or the copy is stopped.
int32_t *copy_rows(const int32_t *rows, int32_t n) {
    int32_t *copy = alloc_rows(n);
    if (!copy) return nullptr;
    for (int32_t at = 0; at < n; at += static_cast<int32_t>(STOP_ROWS) * 16) {
        if (at > 0 && stop_asked()) {
            mem_free(copy);
            return nullptr;
        }
        const int32_t part = n - at < static_cast<int32_t>(STOP_ROWS) * 16
                                 ? n - at
                                 : static_cast<int32_t>(STOP_ROWS) * 16;
        memcpy(copy + at, rows + at, static_cast<size_t>(part) * sizeof(int32_t));
    }
    return copy;
}

bool same_keys(const RowOrder &o, const OrderPlan *plan) {
    if (o.key_count != plan->key_count) return false;
    for (int32_t k = 0; k < o.key_count; ++k)
        if (o.keys[k].col != plan->keys[k].col || o.keys[k].dir != plan->keys[k].dir) return false;
    return true;
}

// One key, the same column the other way round: the order turned round in one pass.
bool turned_round(const RowOrder &o, const OrderPlan *plan) {
    return o.key_count == 1 && plan->key_count == 1 && o.keys[0].col == plan->keys[0].col &&
           o.keys[0].dir != plan->keys[0].dir;
}

ColumnKind kind_of(const Viewer *v, int32_t col) {
    return v->col_types && col < v->col_count ? v->col_types[col].kind : KIND_TEXT;
}

// The record as the order being made sees it: its first `rows` rows, in file order.
Viewer domain_of(const Viewer *from, int32_t rows) {
    Viewer d = *from;
    d.row_count = rows;
    d.order = RowOrder{};
    return d;
}

// Every one of the domain's rows into `out` in the keys' order. Returns 0 when stopped or out of
// memory (out then holds no order).
int sort_by_keys(const Viewer *dom, const OrderKey *keys, int32_t key_count, int32_t *out) {
    ColumnKind kinds[ORDER_KEYS_MAX];
    for (int32_t k = 0; k < key_count; ++k) kinds[k] = kind_of(dom, keys[k].col);
    return order_rows_by(dom, keys, key_count, kinds, nullptr, dom->row_count, out);
}

// The rows of `from` (n of them) whose bits are set, in from's order, into a new block; null when
// its memory cannot be had or the walk is stopped.
int32_t *pick(const int32_t *from, int32_t n, const uint8_t *bits, int32_t count) {
    int32_t *picked = alloc_rows(count);
    if (!picked) return nullptr;
    int32_t k = 0;
    for (int32_t i = 0; i < n && k < count; ++i) {
        if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) {
            mem_free(picked);
            return nullptr;
        }
        const int32_t f = from ? from[i] : i;
        if (bits[f / 8] & (1u << (f % 8))) picked[k++] = f;
    }
    return picked;
}

uint8_t *alloc_bits(int32_t rows) {
    const size_t bytes = (static_cast<size_t>(rows) + 7) / 8;
    uint8_t *bits = static_cast<uint8_t *>(mem_alloc(bytes ? bytes : 1));
    if (bits) memset(bits, 0, bytes ? bytes : 1);
    return bits;
}

// Marks the rows of a set given as a list.
void mark(uint8_t *bits, const int32_t *rows, int32_t n) {
    for (int32_t i = 0; i < n; ++i)
        bits[rows[i] / 8] = static_cast<uint8_t>(bits[rows[i] / 8] | 1u << (rows[i] % 8));
}

// Where file row `record` shows in an order of `rows` rows (shown null: file order over `rows`);
// -1 where it does not. Looks at the stop flag as it goes.
int32_t find_record(const int32_t *shown, int32_t count, int32_t rows, int32_t record) {
    if (record < 0) return -1;
    if (!shown) return record < rows ? record : -1;
    for (int32_t i = 0; i < count; ++i) {
        if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) return -1;
        if (shown[i] == record) return i;
    }
    return -1;
}

// Frees what `o` holds that `keep` does not.
void free_unshared(const RowOrder &o, const RowOrder *keep) {
    const int32_t *kept[2] = {keep ? keep->shown : nullptr, keep ? keep->sorted : nullptr};
    int32_t *mine[2] = {o.shown, o.sorted};
    for (int i = 0; i < 2; ++i)
        if (mine[i] && mine[i] != kept[0] && mine[i] != kept[1] && (i == 0 || mine[1] != mine[0]))
            mem_free(mine[i]);
}

// The build proper: the new order into *o, its blocks its own or shared with `cur`.
BuildEnd build(const Viewer *from, const OrderPlan *plan, RowOrder *o) {
    const RowOrder &cur = from->order;
    const int32_t counted = from->row_count;
    const bool reuse = !plan->fresh;
    const bool keys_kept = reuse && cur.key_count > 0 && same_keys(cur, plan);
    const bool round = reuse && turned_round(cur, plan);
    const bool filter_kept = reuse && plan->filter_kept && plan->filtered && cur.filtered;
    *o = RowOrder{};
    o->key_count = plan->key_count;
    memcpy(o->keys, plan->keys, sizeof o->keys);
    o->filtered = plan->filtered;

    // The keys' order over the domain, and the domain: the order shown's rows where it is reused.
    const int32_t *all = nullptr; // every row of the domain in the keys' order, or null
    int32_t rows = counted;
    if (plan->key_count > 0) {
        const int32_t *cur_all = cur.filtered ? cur.sorted : cur.shown;
        if (keys_kept && cur_all) {
            rows = cur.rows;
            all = cur_all;
        } else if (round && cur_all && (filter_kept || (!cur.filtered && cur.rows == counted))) {
            rows = cur.rows;
            int32_t *turned = copy_rows(cur_all, rows);
            if (!turned) return stop_seen() ? BUILD_STOPPED : BUILD_NO_MEMORY;
            const Viewer dom = domain_of(from, rows);
            if (!order_descending(&dom, plan->keys[0].col, kind_of(from, plan->keys[0].col), turned,
                                  rows)) {
                mem_free(turned);
                return BUILD_STOPPED;
            }
            all = turned;
        } else {
            if (filter_kept) rows = cur.rows;
            int32_t *sorted = alloc_rows(rows);
            if (!sorted) return BUILD_NO_MEMORY;
            const Viewer dom = domain_of(from, rows);
            if (!sort_by_keys(&dom, plan->keys, plan->key_count, sorted)) {
                mem_free(sorted);
                return stop_seen() ? BUILD_STOPPED : BUILD_NO_MEMORY;
            }
            all = sorted;
        }
    } else if (filter_kept) {
        rows = cur.rows;
    }
    o->rows = rows;

    if (!plan->filtered) {
        o->shown = const_cast<int32_t *>(all);
        o->shown_count = rows;
        return BUILD_DONE;
    }

    // The filter's rows: the order shown's when kept, else found by a scan over the domain.
    uint8_t *bits = alloc_bits(rows);
    int32_t count = 0;
    if (bits && filter_kept) {
        mark(bits, cur.shown, cur.shown_count);
        count = cur.shown_count;
    } else if (bits) {
        const Viewer dom = domain_of(from, rows);
        const int64_t marked = filter_mark(&dom, plan, bits);
        count = static_cast<int32_t>(marked);
        if (marked < 0 || stop_seen()) {
            mem_free(bits);
            free_unshared(RowOrder{0, const_cast<int32_t *>(all), 0, nullptr, {}, 0, 0}, &cur);
            return BUILD_STOPPED;
        }
    }
    int32_t *shown = bits ? pick(all, rows, bits, count) : nullptr;
    mem_free(bits);
    if (!shown) {
        free_unshared(RowOrder{0, const_cast<int32_t *>(all), 0, nullptr, {}, 0, 0}, &cur);
        return stop_seen() ? BUILD_STOPPED : BUILD_NO_MEMORY;
    }
    o->shown = shown;
    o->shown_count = count;
    o->sorted = const_cast<int32_t *>(all);
    return BUILD_DONE;
}

int32_t at_in(const RowOrder &o, int32_t counted, int32_t record) {
    return o.shown ? find_record(o.shown, o.shown_count, o.rows, record)
                   : find_record(nullptr, 0, counted, record);
}

} // namespace

int32_t record_at(const Viewer *viewer, int32_t row) {
    if (row < 0 || row >= shown_row_count(viewer)) return -1;
    return shown_file_row(viewer, row);
}

int32_t row_of_record(const Viewer *viewer, int32_t record) {
    if (record >= 0 && record_at(viewer, viewer->cur_row) == record) return viewer->cur_row;
    return at_in(viewer->order, viewer->row_count, record);
}

BuildEnd order_build(const Viewer *from, const OrderPlan *plan, int32_t cursor_record,
                     int32_t anchor_record, BuiltOrder *out) {
    *out = BuiltOrder{};
    out->cursor_record = cursor_record;
    out->anchor_record = anchor_record;
    out->cursor_at = out->anchor_at = -1;
    const bool nothing = plan->key_count <= 0 && !plan->filtered;
    if (!nothing) {
        const BuildEnd end = build(from, plan, &out->order);
        if (end != BUILD_DONE) {
            out->order = RowOrder{};
            return end;
        }
    }
    out->cursor_at = at_in(out->order, from->row_count, cursor_record);
    out->anchor_at = anchor_record == cursor_record
                         ? out->cursor_at
                         : at_in(out->order, from->row_count, anchor_record);
    if (stop_seen()) {
        order_discard(out, &from->order);
        return BUILD_STOPPED;
    }
    return BUILD_DONE;
}

void order_discard(BuiltOrder *built, const RowOrder *from_order) {
    free_unshared(built->order, from_order);
    built->order = RowOrder{};
}

void order_install(Viewer *viewer, BuiltOrder *built, OrderCursor how) {
    const int32_t shown_before = shown_row_count(viewer);
    const int32_t cursor_record = record_at(viewer, viewer->cur_row);
    const int32_t anchor_record = record_at(viewer, viewer->anchor_row);
    const bool every_row =
        shown_before > 1 && ((viewer->anchor_row == 0 && viewer->cur_row == shown_before - 1) ||
                             (viewer->cur_row == 0 && viewer->anchor_row == shown_before - 1));
    const RowOrder before = viewer->order;
    viewer->order = built->order;
    free_unshared(before, &built->order);

    // The records found while the order was made are the ones asked for; a cursor moved since is
    // looked for again.
    const int32_t counted = viewer->row_count;
    int32_t cursor_at = cursor_record == built->cursor_record
                            ? built->cursor_at
                            : at_in(viewer->order, counted, cursor_record);
    int32_t anchor_at = anchor_record == built->anchor_record
                            ? built->anchor_at
                            : at_in(viewer->order, counted, anchor_record);
    *built = BuiltOrder{};
    const int32_t shown = shown_row_count(viewer);
    if (cursor_at < 0) cursor_at = 0;
    viewer->cur_row = cursor_at;
    if (how == CURSOR_COLLAPSE || anchor_at < 0) {
        viewer->anchor_row = cursor_at;
        viewer->anchor_col = viewer->cur_col;
    } else if (every_row && shown > 0) {
        const bool cursor_last = viewer->cur_row >= viewer->anchor_row;
        viewer->cur_row = cursor_last ? shown - 1 : 0;
        viewer->anchor_row = cursor_last ? 0 : shown - 1;
    } else {
        viewer->anchor_row = anchor_at;
    }
}

OrderPlan order_plan_of(const Viewer *viewer, const Needle *needle) {
    OrderPlan plan{};
    plan.key_count = viewer->order.key_count;
    memcpy(plan.keys, viewer->order.keys, sizeof plan.keys);
    plan.filtered = viewer->order.filtered;
    plan.filter_kept = viewer->order.filtered;
    if (needle) plan.needle = *needle;
    return plan;
}

namespace {

int make_and_install(Viewer *viewer, const OrderPlan *plan) {
    BuiltOrder built;
    if (order_build(viewer, plan, record_at(viewer, viewer->cur_row),
                    record_at(viewer, viewer->anchor_row), &built) != BUILD_DONE)
        return 0;
    order_install(viewer, &built, CURSOR_COLLAPSE);
    return 1;
}

} // namespace

int grid_set_sort(Viewer *viewer, int32_t col, SortDir dir) {
    OrderPlan plan = order_plan_of(viewer, nullptr);
    plan.key_count = 0;
    if (dir != SORT_NONE && col >= 0 && col < viewer->col_count) {
        plan.keys[0] = OrderKey{col, dir};
        plan.key_count = 1;
    }
    return make_and_install(viewer, &plan);
}

int grid_set_keys(Viewer *viewer, const OrderKey *keys, int32_t n) {
    OrderPlan plan = order_plan_of(viewer, nullptr);
    plan.key_count = 0;
    for (int32_t k = 0; k < n && k < ORDER_KEYS_MAX; ++k) plan.keys[plan.key_count++] = keys[k];
    return make_and_install(viewer, &plan);
}

int grid_set_filter(Viewer *viewer, const Needle *needle, const Condition *condition) {
    OrderPlan plan = order_plan_of(viewer, nullptr);
    plan.filter_kept = false;
    if (needle && needle->char_count > 0) plan.needle = *needle;
    plan.condition = condition;
    plan.filtered = plan.needle.char_count > 0 || condition;
    return make_and_install(viewer, &plan);
}
