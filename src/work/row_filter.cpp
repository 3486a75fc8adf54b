// The grid's filter: its parts made, copied and named, the bar's text read, and the rows marked.
#include "work/row_filter.h"

#include "base/stop.h"
#include "base/utf8.h"
#include "document/fields.h"
#include "find/grid_scan.h"
#include "grid/shown_rows.h"

#include <stdio.h>
#include <string.h>

namespace {

// `all` made again from the parts; 0 when the memory cannot be had.
int join(RowFilter *f) {
    condition_free(f->all);
    f->all = nullptr;
    if (!f->typed && !f->values) return 1;
    Condition *typed = f->typed ? condition_copy(f->typed) : nullptr;
    Condition *values = f->values ? condition_copy(f->values) : nullptr;
    if ((f->typed && !typed) || (f->values && !values)) {
        condition_free(typed);
        condition_free(values);
        return 0;
    }
    f->all = condition_and(typed, values);
    return f->all != nullptr;
}

// The bar's text kept, cut at FIND_TEXT_MAX bytes (a longer one finds nothing: needle_compile
// refuses it, and the bar says so before it asks).
void keep_text(RowFilter *f, const char *text, size_t len) {
    if (len > FIND_TEXT_MAX) len = FIND_TEXT_MAX;
    if (len) memcpy(f->text, text, len);
    f->text[len] = '\0';
}

int failed(RowFilter *to) {
    row_filter_free(to);
    return 0;
}

} // namespace

bool row_filter_any(const RowFilter *f) {
    return f && (f->text[0] || f->all);
}

void row_filter_free(RowFilter *f) {
    condition_free(f->typed);
    condition_free(f->values);
    condition_free(f->all);
    *f = RowFilter{};
}

int row_filter_copy(RowFilter *to, const RowFilter *from) {
    *to = RowFilter{};
    if (!from) return 1;
    memcpy(to->text, from->text, sizeof to->text);
    to->value_count = from->value_count;
    to->typed = condition_copy(from->typed);
    to->values = condition_copy(from->values);
    to->all = condition_copy(from->all);
    if ((from->typed && !to->typed) || (from->values && !to->values) || (from->all && !to->all))
        return failed(to);
    return 1;
}

int row_filter_with_bar(RowFilter *to, const RowFilter *from, const char *text, size_t len,
                        Condition *typed) {
    *to = RowFilter{};
    to->typed = typed;
    if (!typed) keep_text(to, text, len);
    if (from && from->values) {
        to->values = condition_copy(from->values);
        to->value_count = from->value_count;
        if (!to->values) return failed(to);
    }
    return join(to) ? 1 : failed(to);
}

int row_filter_with_value(RowFilter *to, const RowFilter *from, Condition *value) {
    *to = RowFilter{};
    if (!value) return 0;
    if (!row_filter_copy(to, from)) {
        condition_free(value);
        return 0;
    }
    to->values = condition_and(to->values, value);
    if (!to->values) return failed(to);
    ++to->value_count;
    return join(to) ? 1 : failed(to);
}

void row_filter_spec(const RowFilter *f, OrderPlan *plan) {
    plan->needle = Needle{};
    plan->condition = nullptr;
    plan->filtered = false;
    if (!f) return;
    if (f->text[0]) needle_compile(&plan->needle, f->text, strlen(f->text));
    plan->condition = f->all;
    plan->filtered = plan->needle.char_count > 0 || plan->condition;
}

void row_filter_name(const RowFilter *f, const Viewer *viewer, StrBuf *out) {
    if (!f) return;
    if (f->text[0]) {
        sb_add(out, "contains '");
        const char *run = f->text;
        for (const char *p = f->text; *p; ++p)
            if (*p == '\'') {
                sb_add_len(out, run, static_cast<size_t>(p + 1 - run));
                sb_add(out, "'");
                run = p + 1;
            }
        sb_add(out, run);
        sb_add(out, "'");
    }
    if (!f->all) return;
    if (!f->text[0]) return condition_text(f->all, viewer, out);
    sb_add(out, " AND ");
    condition_text_after_and(f->all, viewer, out);
}

BarReading bar_text_read(const Viewer *viewer, const char *text, size_t len, Condition **typed,
                         char *message, size_t room) {
    *typed = nullptr;
    if (room) message[0] = '\0';
    if (len == 0) return BAR_EMPTY;
    if (!condition_looks_like(viewer, text, len)) return BAR_TEXT;
    ConditionError error;
    if (condition_parse(viewer, text, len, typed, &error)) return BAR_CONDITION;
    if (room) {
        // The message may quote the text: cut where a character starts.
        char said[sizeof error.message + 48];
        const int n =
            snprintf(said, sizeof said, "At character %d: %s", error.position, error.message);
        size_t keep = n > 0 ? static_cast<size_t>(n) : 0;
        if (keep >= sizeof said) keep = sizeof said - 1;
        if (keep >= room) keep = utf8_char_floor(said, keep, room - 1);
        memcpy(message, said, keep);
        message[keep] = '\0';
    }
    return BAR_UNREADABLE;
}

Condition *cell_condition(const Viewer *viewer, int32_t row, int32_t col, CellTest test) {
    if (row < 0 || row >= shown_row_count(viewer) || col < 0 || col >= viewer->col_count)
        return nullptr;
    const RowLine line = shown_line(viewer, row);
    size_t len = 0;
    const char *raw = field_at(line.start, line.end, col, &len);
    return condition_for_cell(viewer, col, test, raw, raw ? len : 0);
}

int64_t filter_mark(const Viewer *dom, const OrderPlan *plan, uint8_t *bits) {
    const int32_t rows = dom->row_count;
    const Condition *c = plan->condition;
    if (plan->needle.char_count <= 0) {
        if (c) return condition_mark(c, dom, nullptr, rows, bits);
        memset(bits, 0xFF, static_cast<size_t>(rows) / 8);
        for (int32_t r = rows / 8 * 8; r < rows; ++r)
            bits[r / 8] = static_cast<uint8_t>(bits[r / 8] | 1u << (r % 8));
        return rows;
    }
    int64_t count = grid_scan_rows(dom, &plan->needle, bits);
    if (stop_seen()) return -1;
    if (!c) return count;
    // The condition over the rows the text let through: a row's bits, a byte at a time.
    for (int32_t r = 0; r < rows; ++r) {
        if (static_cast<uint32_t>(r) % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) return -1;
        const uint8_t bit = static_cast<uint8_t>(1u << (r % 8));
        if (!(bits[r / 8] & bit) || condition_holds(c, dom, r)) continue;
        bits[r / 8] = static_cast<uint8_t>(bits[r / 8] & ~bit);
        --count;
    }
    return count;
}
