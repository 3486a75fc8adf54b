// Ordering the 1,000,000-row file by each of its 10 columns, ascending (order_rows) and then the
// other way (order_descending), beside the floor each is measured against in the same run: a
// plain std::sort of the column's keys, already extracted, plus one memchr pass over the data
// block (the least any sort by the rows' values must read). Then orders by two keys, set against
// the order by their first key alone.
#include "bench_data.h"

#include "document/column_types.h"
#include "document/rows.h"
#include "grid/cells.h"
#include "order/order.h"
#include "order/sort_key.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string.h>
#include <string>
#include <vector>

namespace {

enum { COLUMNS = 10 };

// The document and its columns' kinds, read once from its CREATE TABLE statement.
struct Table {
    Viewer *viewer = nullptr;
    ColumnType types[COLUMNS];
    const char *block = nullptr;
    size_t block_len = 0;
};

const Table *table(benchmark::State &state) {
    static Table t;
    if (!t.viewer) {
        Viewer *v = loaded_document(ROWS_FILE);
        if (!v || v->row_count < 1000000 || v->col_count != COLUMNS) {
            state.SkipWithError("no document of 1,000,000 rows and 10 columns");
            return nullptr;
        }
        read_column_types(v->sql, v->sql_len, v->copy_line, v->col_names, COLUMNS, t.types);
        t.block = rows_begin(v);
        t.block_len = static_cast<size_t>(rows_end(v) - rows_begin(v));
        t.viewer = v;
    }
    return &t;
}

void ascending(benchmark::State &state, int32_t col) {
    const Table *t = table(state);
    if (!t) return;
    std::vector<int32_t> rows(static_cast<size_t>(t->viewer->row_count));
    for (auto _ : state) {
        if (!order_rows(t->viewer, col, t->types[col].kind, nullptr, t->viewer->row_count,
                        rows.data()))
            state.SkipWithError("no memory");
        benchmark::DoNotOptimize(rows.data());
    }
}

// Each pass turns the order round, so every iteration does the same work.
void descending(benchmark::State &state, int32_t col) {
    const Table *t = table(state);
    if (!t) return;
    int32_t n = t->viewer->row_count;
    std::vector<int32_t> rows(static_cast<size_t>(n));
    order_rows(t->viewer, col, t->types[col].kind, nullptr, n, rows.data());
    for (auto _ : state) {
        order_descending(t->viewer, col, t->types[col].kind, rows.data(), n);
        benchmark::DoNotOptimize(rows.data());
    }
}

// The column's keys, extracted once: each field's whole sort key as bytes (its class first, so
// that NULLs and damaged fields sort apart), and the first 8 key bytes as a number.
struct ColumnKeys {
    std::vector<std::string> whole;
    std::vector<uint64_t> prefix;
    bool fits_prefix = true; // no value's key is longer than 8 bytes
};

const ColumnKeys &column_keys(const Table *t, int32_t col) {
    static ColumnKeys keys[COLUMNS];
    ColumnKeys &k = keys[col];
    if (!k.prefix.empty()) return k;
    for (int32_t r = 0; r < t->viewer->row_count; ++r) {
        size_t len = 0;
        const RowLine line = row_line(t->viewer, r);
        const char *field = field_at(line.start, line.end, col, &len);
        SortKey key;
        sort_key_open(&key, t->types[col].kind, field, len);
        std::string whole(1, static_cast<char>(key.cls));
        uint8_t bytes[64];
        for (size_t got; (got = sort_key_read(&key, bytes, sizeof bytes)) > 0;)
            whole.append(reinterpret_cast<const char *>(bytes), got);
        uint64_t prefix = 0;
        for (size_t i = 1; i <= 8; ++i)
            prefix = prefix << 8 | (i < whole.size() ? static_cast<uint8_t>(whole[i]) : 0);
        if (key.cls != FIELD_VALUE) prefix = UINT64_MAX;
        k.fits_prefix = k.fits_prefix && (key.cls != FIELD_VALUE || whole.size() <= 9);
        k.whole.push_back(std::move(whole));
        k.prefix.push_back(prefix);
    }
    return k;
}

// The floor: the column's keys sorted with std::sort (as numbers where every key fits 8 bytes,
// else as strings of their bytes, which is what sorting them takes), and one memchr pass over the
// data block.
void floor_sort(benchmark::State &state, int32_t col) {
    const Table *t = table(state);
    if (!t) return;
    const ColumnKeys &keys = column_keys(t, col);
    std::vector<uint64_t> numbers;
    std::vector<std::string> strings;
    for (auto _ : state) {
        state.PauseTiming();
        if (keys.fits_prefix)
            numbers = keys.prefix;
        else
            strings = keys.whole;
        state.ResumeTiming();
        if (keys.fits_prefix)
            std::sort(numbers.begin(), numbers.end());
        else
            std::sort(strings.begin(), strings.end());
        benchmark::DoNotOptimize(memchr(t->block, '\x01', t->block_len));
    }
    state.SetLabel(keys.fits_prefix ? "64-bit keys" : "string keys");
}

// For comparison, the same with only each key's first 8 bytes sorted, which for longer keys (text)
// is less than a sort of the column.
void floor_prefix(benchmark::State &state, int32_t col) {
    const Table *t = table(state);
    if (!t) return;
    const ColumnKeys &keys = column_keys(t, col);
    std::vector<uint64_t> numbers;
    for (auto _ : state) {
        state.PauseTiming();
        numbers = keys.prefix;
        state.ResumeTiming();
        std::sort(numbers.begin(), numbers.end());
        benchmark::DoNotOptimize(memchr(t->block, '\x01', t->block_len));
    }
}

// ORDER BY a, b (b descending when asked): a word then a date, a date then a word, a word then a
// number descending, and a number then a word.
struct TwoKeys {
    const char *name;
    OrderKey keys[2];
};
const TwoKeys TWO_KEYS[] = {
    {"order_by_c1_c4", {{1, SORT_ASC}, {4, SORT_ASC}}},
    {"order_by_c4_c1", {{4, SORT_ASC}, {1, SORT_ASC}}},
    {"order_by_c5_c3_desc", {{5, SORT_ASC}, {3, SORT_DESC}}},
    {"order_by_c3_c5", {{3, SORT_ASC}, {5, SORT_ASC}}},
};

void two_keys(benchmark::State &state, const TwoKeys *order) {
    const Table *t = table(state);
    if (!t) return;
    std::vector<int32_t> rows(static_cast<size_t>(t->viewer->row_count));
    const ColumnKind kinds[2] = {t->types[order->keys[0].col].kind,
                                 t->types[order->keys[1].col].kind};
    for (auto _ : state) {
        if (!order_rows_by(t->viewer, order->keys, 2, kinds, nullptr, t->viewer->row_count,
                           rows.data()))
            state.SkipWithError("no memory");
        benchmark::DoNotOptimize(rows.data());
    }
}

const bool registered = [] {
    for (int32_t col = 0; col < COLUMNS; ++col) {
        std::string c = "_c" + std::to_string(col);
        benchmark::RegisterBenchmark(("floor_order" + c).c_str(), floor_sort, col)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("floor_prefix" + c).c_str(), floor_prefix, col)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("order_rows" + c).c_str(), ascending, col)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("order_descending" + c).c_str(), descending, col)
            ->Unit(benchmark::kMillisecond);
    }
    for (const TwoKeys &order : TWO_KEYS)
        benchmark::RegisterBenchmark(order.name, two_keys, &order)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
