// The column summary: one pass over the rows, a second only where the distinct values overflow.
#include "query/column_summary.h"

#include "base/mem.h"
#include "base/stop.h"
#include "base/thousands.h"
#include "base/utf8.h"
#include "document/copy_escapes.h"
#include "grid/cells.h"
#include "order/order.h"
#include "order/sort_column.h"
#include "query/distinct_estimate.h"
#include "query/float_value.h"
#include "query/sum_avg.h"
#include "query/type_names.h"
#include "query/value_table.h"

#include <stdio.h>
#include <string.h>

namespace {

// The most values a second pass counts again in a table of their own (64 KiB of it).
const uint32_t CANDIDATES_MAX = 1024;

// What a summary may hold beside its value table and sketch: that second table, made while the
// first still stands, and the exact sum's digits and a value's text.
constexpr size_t SUMMARY_REST_BYTES = 128u << 10;

// Key bytes read into a row's prefix: min and max compare these first.
const size_t PREFIX = 16;

// A field read for the summary: its bytes, its key's class and first bytes, and its tag.
struct Seen {
    int32_t row;
    const char *field;
    size_t len;
    FieldClass cls;
    uint8_t got;
    uint8_t prefix[PREFIX];
    uint64_t tag;
    bool exact;
};

struct Scan {
    const Viewer *viewer;
    SortColumn column;
    ColumnKind kind;
    bool fixed8;  // every value's key is 8 bytes: integers, dates, times, timestamps
    bool padded8; // a key ends in a byte that is never 0: numbers and booleans
    const Seen *current;
};

// Numbers' keys end in a digit byte (never 0) or the 0xFF of a negative one, a special's in its
// class byte; a boolean's is one byte. So zeros after such a key tell its end: keys of up to 8
// bytes are their own tags.
bool padded_eight(ColumnKind kind) {
    return kind == KIND_NUMERIC || kind == KIND_FLOAT || kind == KIND_BOOLEAN;
}

bool fixed_eight(ColumnKind kind) {
    return kind == KIND_INTEGER || kind == KIND_DATE || kind == KIND_TIME ||
           kind == KIND_TIMESTAMP || kind == KIND_TIMESTAMPTZ;
}

inline uint64_t load_be64(const uint8_t *b) {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | b[i];
    return v;
}

inline uint64_t hash_step(uint64_t h, uint64_t word) {
    h ^= word * 0x9E3779B97F4A7C15ull;
    h = (h << 31) | (h >> 33);
    return h * 0xBF58476D1CE4E5B9ull;
}

// Hashes the key's bytes: the prefix already read, then the rest of the key.
uint64_t hash_key(const Seen &s, SortKey *key) {
    uint64_t h = hash_step(0x243F6A8885A308D3ull, s.cls);
    uint8_t chunk[64];
    memcpy(chunk, s.prefix, s.got);
    size_t n = s.got, total = 0;
    for (;;) {
        if (n == s.got && s.got == PREFIX) n += sort_key_read(key, chunk + n, sizeof chunk - n);
        size_t i = 0;
        for (; i + 8 <= n; i += 8) h = hash_step(h, load_be64(chunk + i));
        uint8_t last[8] = {};
        memcpy(last, chunk + i, n - i);
        if (n - i) h = hash_step(h, load_be64(last));
        total += n;
        if (n < sizeof chunk) break;
        n = sort_key_read(key, chunk, sizeof chunk);
        if (n == 0) break;
    }
    return distinct_mix(h ^ total);
}

// Reads file row `row`'s field, its key's class and prefix, and its tag.
void see(const Scan &scan, int32_t row, Seen *s) {
    uint32_t offset;
    s->row = row;
    s->field = sort_column_field(&scan.column, row, &s->len, &offset);
    SortKey key;
    sort_key_open(&key, scan.kind, s->field, s->len);
    s->cls = key.cls;
    if (s->cls == FIELD_NULL) return;
    s->got = static_cast<uint8_t>(sort_key_read(&key, s->prefix, PREFIX));
    s->exact = s->cls == FIELD_VALUE && (scan.fixed8    ? s->got == 8
                                         : scan.padded8 ? s->got <= 8
                                                        : s->got < 8);
    if (!s->exact) {
        s->tag = hash_key(*s, &key);
    } else if (scan.fixed8 || scan.padded8) {
        uint8_t padded[8] = {};
        memcpy(padded, s->prefix, s->got);
        s->tag = load_be64(padded);
    } else {
        uint8_t padded[8] = {};
        memcpy(padded, s->prefix, s->got);
        s->tag = (load_be64(padded) & ~0xFFull) | s->got;
    }
}

int compare_rows(const Scan &scan, int32_t a, int32_t b) {
    size_t alen = 0, blen = 0;
    uint32_t offset;
    const char *x = sort_column_field(&scan.column, a, &alen, &offset);
    const char *y = sort_column_field(&scan.column, b, &blen, &offset);
    return order_compare_fields(scan.kind, x, alen, y, blen);
}

bool same_as_current(void *context, int32_t slot_row) {
    const Scan &scan = *static_cast<const Scan *>(context);
    if (slot_row == scan.current->row) return true; // a second pass meeting a value's first row
    size_t len = 0;
    uint32_t offset;
    const char *other = sort_column_field(&scan.column, slot_row, &len, &offset);
    return order_compare_fields(scan.kind, scan.current->field, scan.current->len, other, len) == 0;
}

// How two seen fields compare, by their prefixes where those settle it.
int compare_seen(const Scan &scan, const Seen &a, const Seen &b) {
    if (a.cls != b.cls) return a.cls < b.cls ? -1 : 1;
    const size_t m = a.got < b.got ? a.got : b.got;
    const int c = memcmp(a.prefix, b.prefix, m);
    if (c) return c < 0 ? -1 : 1;
    if (a.got != b.got && m < PREFIX) return a.got < b.got ? -1 : 1;
    if (a.got < PREFIX) return 0;
    return compare_rows(scan, a.row, b.row);
}

// The characters of a value as length() counts them: the field decoded, a blank-padded type's
// trailing blanks left out.
int64_t characters(const char *field, size_t len, bool padded) {
    int64_t chars = 0, blanks = 0;
    const char *p = field, *end = field + len;
    uint8_t piece[256];
    for (;;) {
        size_t got = copy_unescape(&p, end, piece, sizeof piece);
        for (size_t i = 0; i < got; ++i) {
            if ((piece[i] & 0xC0) == 0x80) continue;
            ++chars;
            blanks = piece[i] == ' ' ? blanks + 1 : 0;
        }
        if (got < sizeof piece) break;
    }
    return padded ? chars - blanks : chars;
}

struct Totals {
    int64_t nulls, values;
    bool has_min;
    Seen min, max;
    NumberSums sums;
    int64_t shortest, longest;
};

void add_count(StrBuf *out, const char *label, int64_t count) {
    char digits[32];
    format_thousands(digits, sizeof digits, static_cast<unsigned long long>(count));
    sb_add(out, label);
    sb_add(out, digits);
    sb_add(out, "\n");
}

// A value as the grid shows its cell, cut at SUMMARY_VALUE_MAX bytes.
void add_value(StrBuf *out, const Scan &scan, int32_t row) {
    size_t len = 0;
    uint32_t offset;
    const char *field = sort_column_field(&scan.column, row, &len, &offset);
    if (!field) return;
    if (field_is_null(field, len)) {
        sb_add(out, "null");
        return;
    }
    if (len <= SUMMARY_VALUE_MAX) {
        sb_add_len(out, field, len);
        return;
    }
    sb_add_len(out, field, utf8_char_floor(field, len, SUMMARY_VALUE_MAX));
    sb_add(out, "\xE2\x80\xA6");
}

// Whether slot a's value comes before b's in a most-common list: more rows, or as many and a lower
// value.
bool more_common(const Scan &scan, const ValueTable &t, const ValueSlot *a, const ValueSlot *b) {
    if (a->count != b->count) return a->count > b->count;
    if ((a->row & b->row & SLOT_EXACT) != 0) return a->tag < b->tag;
    (void)t;
    return compare_rows(scan, slot_row(a), slot_row(b)) < 0;
}

enum { MOST_COMMON = 10 };

enum : size_t { LOOK_AHEAD = 16 };

// Reads the i-th row of the pass into its place among the rows read ahead, and asks for the slot
// its value will look at.
void look_ahead(const Scan &scan, const ValueTable &table, const int32_t *in, size_t i,
                Seen ahead[LOOK_AHEAD]) {
    Seen &s = ahead[i % LOOK_AHEAD];
    see(scan, in ? in[i] : static_cast<int32_t>(i), &s);
    if (s.cls != FIELD_NULL) value_table_prefetch(&table, s.tag);
}

// The value table's most common values, at most MOST_COMMON, of more rows than `above`.
int pick_most_common(const Scan &scan, const ValueTable &t, uint64_t above,
                     const ValueSlot *best[MOST_COMMON]) {
    int n = 0;
    for (uint32_t i = 0; i < t.cap; ++i) {
        const ValueSlot *s = &t.slots[i];
        if (!s->count || s->count - t.base <= above) continue;
        if (n == MOST_COMMON && !more_common(scan, t, s, best[n - 1])) continue;
        int at = n < MOST_COMMON ? n++ : n - 1;
        for (; at > 0 && more_common(scan, t, s, best[at - 1]); --at) best[at] = best[at - 1];
        best[at] = s;
    }
    return n;
}

// Percent of `total` to one decimal, rounded half up.
void add_percent(StrBuf *out, int64_t count, int64_t total) {
    const unsigned long long tenths = (static_cast<unsigned long long>(count) * 2000ull +
                                       static_cast<unsigned long long>(total)) /
                                      (2ull * static_cast<unsigned long long>(total));
    char text[32];
    snprintf(text, sizeof text, "%llu.%llu%%", tenths / 10, tenths % 10);
    sb_add(out, text);
}

} // namespace

int column_summary_text(const Viewer *viewer, int32_t col, const int32_t *in, int32_t n,
                        StrBuf *out) {
    static const ColumnType unknown = {KIND_TEXT, ""};
    const ColumnType *type =
        viewer->col_types && col < viewer->col_count ? &viewer->col_types[col] : &unknown;
    const bool character = type->kind == KIND_TEXT && type_is_character(type->name);
    const bool padded = character && type_is_blank_padded(type->name);
    const bool single = float_type_is_single(type->name);

    char count[32];
    format_thousands(count, sizeof count, static_cast<unsigned long long>(n > 0 ? n : 0));
    sb_add(out, column_title(viewer, col));
    if (type->name[0]) {
        sb_add(out, " ");
        sb_add(out, type->name);
    }
    sb_add(out, " \xE2\x80\x94 ");
    sb_add(out, count);
    sb_add(out, " rows\n");

    Scan scan = {viewer, {}, type->kind, fixed_eight(type->kind), padded_eight(type->kind),
                 nullptr};
    if (viewer->row_count > 0) scan.column = sort_column_of(viewer, col, type->kind);
    const size_t rows = static_cast<size_t>(n > 0 ? n : 0);
    size_t budget = rows * 8;
    if (budget < (4u << 20)) budget = 4u << 20;
    // The table leaves room in the budget for the sketch and for the rest the summary holds while
    // it runs (the exact sum's digits, a value's text), so that the whole stays within it.
    const size_t rest = sizeof(DistinctEstimate) + SUMMARY_REST_BYTES;
    ValueTable table;
    DistinctEstimate *sketch = static_cast<DistinctEstimate *>(mem_alloc(sizeof(DistinctEstimate)));
    if (!sketch || !value_table_init(&table, budget - rest)) {
        mem_free(sketch);
        return 0;
    }
    memset(sketch, 0, sizeof *sketch);
    Totals t = {};
    bool stopped = false;
    // Each pass reads the rows LOOK_AHEAD ahead of the one it counts, and asks for their slots
    // then: the table is as large as the memory allows, and waiting for its slots one at a time
    // was most of a summary's time on a column of distinct values.
    Seen ahead[LOOK_AHEAD];
    for (size_t i = 0; i < rows && i < LOOK_AHEAD; ++i) look_ahead(scan, table, in, i, ahead);
    for (size_t i = 0; i < rows && !stopped; ++i) {
        if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) stopped = true;
        const Seen s = ahead[i % LOOK_AHEAD];
        if (i + LOOK_AHEAD < rows) look_ahead(scan, table, in, i + LOOK_AHEAD, ahead);
        if (s.cls == FIELD_NULL) {
            ++t.nulls;
            continue;
        }
        ++t.values;
        scan.current = &s;
        value_table_count(&table, s.tag, s.exact, s.row, same_as_current, &scan);
        distinct_note(sketch, s.exact ? distinct_mix(s.tag) : s.tag);
        if (!t.has_min) {
            t.min = t.max = s;
            t.has_min = true;
        } else {
            int c = compare_seen(scan, s, t.min);
            if (c < 0 || (c == 0 && s.row < t.min.row)) t.min = s;
            c = compare_seen(scan, s, t.max);
            if (c > 0 || (c == 0 && s.row < t.max.row)) t.max = s;
        }
        if (s.cls == FIELD_VALUE)
            number_sums_add(&t.sums, scan.kind, scan.kind == KIND_FLOAT, single, s.field, s.len);
        if (character && s.field) {
            const int64_t chars = characters(s.field, s.len, padded);
            if (t.values == 1 || chars < t.shortest) t.shortest = chars;
            if (chars > t.longest) t.longest = chars;
        }
    }
    // Where values were let go, the kept ones are counted again, exactly: those counted most often
    // in a small table of their own where it can be had (the rest were counted at most `above`
    // times, so no more often than a value the table let go may have been), else all of them.
    const bool overflowed = table.decrements > 0;
    uint64_t above = overflowed ? table.decrements : 0;
    if (overflowed && !stopped) {
        ValueTable small;
        uint32_t left_at_most = 0;
        if (value_table_candidates(&table, CANDIDATES_MAX, &small, &left_at_most)) {
            value_table_free(&table);
            table = small;
            above += left_at_most;
        } else {
            value_table_recount(&table);
        }
        for (size_t i = 0; i < rows && i < LOOK_AHEAD; ++i) look_ahead(scan, table, in, i, ahead);
        for (size_t i = 0; i < rows && !stopped; ++i) {
            if (i % STOP_ROWS == STOP_ROWS - 1 && stop_asked()) stopped = true;
            const Seen s = ahead[i % LOOK_AHEAD];
            if (i + LOOK_AHEAD < rows) look_ahead(scan, table, in, i + LOOK_AHEAD, ahead);
            if (s.cls == FIELD_NULL) continue;
            scan.current = &s;
            ValueSlot *slot = value_table_find(&table, s.tag, s.exact, same_as_current, &scan);
            if (!slot) continue;
            ++slot->count;
            if (static_cast<uint32_t>(s.row) < (slot->row & ~SLOT_EXACT))
                slot->row = static_cast<uint32_t>(s.row) | (slot->row & SLOT_EXACT);
        }
    }
    if (stopped) {
        number_sums_free(&t.sums);
        value_table_free(&table);
        mem_free(sketch);
        return 0;
    }

    add_count(out, "null: ", t.nulls);
    add_count(out, overflowed ? "distinct: \xE2\x89\x88" : "distinct: ",
              overflowed ? static_cast<int64_t>(distinct_count(sketch)) : table.used);
    sb_add(out, "min: ");
    if (t.has_min)
        add_value(out, scan, t.min.row);
    else
        sb_add(out, "null");
    sb_add(out, "\nmax: ");
    if (t.has_min)
        add_value(out, scan, t.max.row);
    else
        sb_add(out, "null");
    sb_add(out, "\n");
    if (kind_is_number(type->kind)) {
        sb_add(out, "sum: ");
        number_sums_text(&t.sums, type->kind == KIND_FLOAT, "\navg: ", out);
        sb_add(out, "\n");
    }
    if (character) {
        if (t.values) {
            add_count(out, "shortest: ", t.shortest);
            add_count(out, "longest: ", t.longest);
        } else {
            sb_add(out, "shortest: null\nlongest: null\n");
        }
    }
    sb_add(out, "most common:\n");
    const ValueSlot *best[MOST_COMMON];
    const int listed = pick_most_common(scan, table, above, best);
    for (int i = 0; i < listed; ++i) {
        const int64_t rows_of = best[i]->count - table.base;
        char digits[32];
        format_thousands(digits, sizeof digits, static_cast<unsigned long long>(rows_of));
        sb_add(out, digits);
        sb_add(out, "\t");
        add_percent(out, rows_of, n);
        sb_add(out, "\t");
        add_value(out, scan, slot_row(best[i]));
        sb_add(out, "\n");
    }
    if (overflowed && listed < MOST_COMMON) {
        char digits[32];
        format_thousands(digits, sizeof digits, static_cast<unsigned long long>(above));
        sb_add(out, "\xE2\x80\xA6 each other value: at most ");
        sb_add(out, digits);
        sb_add(out, " rows\n");
    }
    const bool whole = !t.sums.exact.failed && !out->failed;
    number_sums_free(&t.sums);
    value_table_free(&table);
    mem_free(sketch);
    return whole ? 1 : 0;
}
