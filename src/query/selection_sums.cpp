// Counting and summing a rectangle of cells, row by row.
#include "query/selection_sums.h"

#include "base/stop.h"
#include "base/thousands.h"
#include "document/copy_escapes.h"
#include "grid/cells.h"
#include "grid/shown_rows.h"
#include "query/float_value.h"
#include "query/sum_avg.h"

namespace {

struct Sums {
    int64_t count; // cells not NULL
    NumberSums numbers;
};

const ColumnType *type_of(const Viewer *viewer, int32_t col) {
    static const ColumnType unknown = {KIND_TEXT, ""};
    return viewer->col_types ? &viewer->col_types[col] : &unknown;
}

} // namespace

int selection_sums_text(const Viewer *viewer, int32_t r0, int32_t r1, int32_t c0, int32_t c1,
                        StrBuf *out) {
    // Each column's kind and whether it holds reals, looked up once rather than at every cell.
    bool numbers = c0 <= c1, as_float = false;
    ColumnKind kinds[MAX_TABLE_COLS];
    bool single[MAX_TABLE_COLS];
    for (int32_t c = c0; c <= c1 && c - c0 < MAX_TABLE_COLS; ++c) {
        const ColumnType *type = type_of(viewer, c);
        kinds[c - c0] = type->kind;
        single[c - c0] = type->kind == KIND_FLOAT && float_type_is_single(type->name);
        numbers = numbers && kind_is_number(type->kind);
        as_float = as_float || type->kind == KIND_FLOAT;
    }
    numbers = numbers && c1 - c0 < MAX_TABLE_COLS;
    Sums s = {};
    for (int32_t r = r0; r <= r1; ++r) {
        if (static_cast<uint32_t>(r - r0) % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) {
            number_sums_free(&s.numbers);
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
                if (numbers)
                    number_sums_add(&s.numbers, kinds[c - c0], as_float, single[c - c0], field,
                                    len);
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
        number_sums_text(&s.numbers, as_float, "   Avg ", out);
    }
    const bool whole = !s.numbers.exact.failed && !out->failed;
    number_sums_free(&s.numbers);
    return whole ? 1 : 0;
}
