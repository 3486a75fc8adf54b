// The questions asked of the 1,000,000-row file: each column's summary against the sort of that
// column (order_rows, measured in the same run by order_bench.cpp), a condition's pass over every
// row against the filter of a text no cell holds, and the sums of a selection of 100,000 rows of
// the two number columns.
#include "bench_data.h"

#include "base/strbuf.h"
#include "query/column_summary.h"
#include "query/condition.h"
#include "query/selection_sums.h"

#include <benchmark/benchmark.h>

#include <string.h>
#include <string>
#include <vector>

namespace {

Viewer *document(benchmark::State &state) {
    Viewer *v = loaded_document(ROWS_FILE);
    if (!v || v->row_count < 1000000 || v->col_count != 10) {
        state.SkipWithError("no document of 1,000,000 rows and 10 columns");
        return nullptr;
    }
    return v;
}

void summary(benchmark::State &state, int32_t col) {
    Viewer *v = document(state);
    if (!v) return;
    for (auto _ : state) {
        StrBuf out;
        sb_init(&out);
        if (!column_summary_text(v, col, nullptr, v->row_count, &out))
            state.SkipWithError("no memory");
        benchmark::DoNotOptimize(out.data);
        sb_drop(&out);
    }
}

// Conditions on a number, a date, a word and a LIKE over free text: each row's fields found and
// compared in the column's order.
const char *const CONDITIONS[] = {
    "c3 > 50000",
    "c4 BETWEEN '2000-01-01' AND '2009-12-31' AND c1 IN ('alpha', 'zinc')",
    "c2 LIKE '%river%'",
};

void condition(benchmark::State &state, const char *text) {
    Viewer *v = document(state);
    if (!v) return;
    Condition *c = nullptr;
    ConditionError error;
    if (!condition_parse(v, text, strlen(text), &c, &error)) {
        state.SkipWithError(error.message);
        return;
    }
    std::vector<uint8_t> bits(static_cast<size_t>(v->row_count) / 8 + 1);
    int64_t count = 0;
    for (auto _ : state) {
        count = condition_mark(c, v, nullptr, v->row_count, bits.data());
        benchmark::DoNotOptimize(bits.data());
    }
    state.SetLabel(std::to_string(count) + " rows");
    condition_free(c);
}

void selection_sums(benchmark::State &state) {
    Viewer *v = document(state);
    if (!v) return;
    for (auto _ : state) {
        StrBuf out;
        sb_init(&out);
        selection_sums_text(v, 0, 99999, 3, 3, &out);
        benchmark::DoNotOptimize(out.data);
        sb_drop(&out);
    }
}

const bool registered = [] {
    for (int32_t col = 0; col < 10; ++col)
        benchmark::RegisterBenchmark(("summary_c" + std::to_string(col)).c_str(), summary, col)
            ->Unit(benchmark::kMillisecond);
    for (size_t i = 0; i < sizeof CONDITIONS / sizeof *CONDITIONS; ++i)
        benchmark::RegisterBenchmark(("condition_" + std::to_string(i)).c_str(), condition,
                                     CONDITIONS[i])
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("selection_sums_100k_numeric", selection_sums)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
