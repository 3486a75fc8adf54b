// Counting and summing a rectangle of cells, row by row.
#include "query/selection_sums.h"

#include "base/stop.h"
#include "base/thousands.h"
#include "document/copy_escapes.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "order/number_key.h"
#include "query/exact_sum.h"
#include "query/float_value.h"
#include "query/sum_avg.h"

namespace {

struct Sums {
    int64_t count; // cells not NULL
    ExactSum exact;
    double floating;
    int64_t floats; // values summed as floats
};

const ColumnType *type_of(const Viewer *viewer, int32_t col) {
    static const ColumnType unknown = {KIND_TEXT, ""};
    return viewer->col_types ? &viewer->col_types[col] : &unknown;
}

// Adds one cell of a number column to the sums it goes into.
void add_value(Sums *s, const ColumnType *type, bool as_float, const char *field, size_t len) {
    if (as_float) {
        double v;
        const bool single = type->kind == KIND_FLOAT && float_type_is_single(type->name);
        if (float_read(field, len, single, &v)) {
            s->floating += v;
            ++s->floats;
        }
        return;
    }
    int64_t i;
    if (type->kind == KIND_INTEGER) {
        if (integer_read(field, len, &i)) exact_sum_add_integer(&s->exact, i);
    } else {
        exact_sum_add_text(&s->exact, field, len);
    }
}

} // namespace

int selection_sums_text(const Viewer *viewer, int32_t r0, int32_t r1, int32_t c0, int32_t c1,
                        StrBuf *out) {
    bool numbers = c0 <= c1, as_float = false;
    for (int32_t c = c0; c <= c1; ++c) {
        const ColumnKind kind = type_of(viewer, c)->kind;
        numbers = numbers && kind_is_number(kind);
        as_float = as_float || kind == KIND_FLOAT;
    }
    Sums s = {};
    for (int32_t r = r0; r <= r1; ++r) {
        if (static_cast<uint32_t>(r - r0) % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) {
            exact_sum_free(&s.exact);
            return 0;
        }
        const RowLine line = shown_line(viewer, r);
        const char *p = line.start;
        size_t len = 0;
        // The first selected field, then each next one from where the last ended.
        const char *field = field_at(p, line.end, c0, &len);
        for (int32_t c = c0; c <= c1 && field; ++c) {
            if (!field_is_null(field, len)) {
                ++s.count;
                if (numbers) add_value(&s, type_of(viewer, c), as_float, field, len);
            }
            field = field + len < line.end ? field + len + 1 : nullptr;
            if (field) len = field_length(field, line.end);
        }
    }
    char count[32];
    format_thousands(count, sizeof count, static_cast<unsigned long long>(s.count));
    sb_add(out, "Count ");
    sb_add(out, count);
    if (numbers) {
        sb_add(out, "   Sum ");
        sum_avg_text(as_float, s.floating, s.floats, &s.exact, "   Avg ", out);
    }
    const bool whole = !s.exact.failed && !out->failed;
    exact_sum_free(&s.exact);
    return whole ? 1 : 0;
}
