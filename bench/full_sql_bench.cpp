// compose_full_sql of the 100 MB file, beside its floor: one copy of the script's bytes into a
// fresh buffer.
#include "bench_data.h"

#include "base/mem.h"
#include "document/tab_text.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

void compose_full_sql_rows_1m(benchmark::State &state) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer) {
        state.SkipWithError("no document");
        return;
    }
    size_t bytes = 0;
    for (auto _ : state) {
        if (!compose_full_sql(viewer)) {
            state.SkipWithError("compose_full_sql failed");
            break;
        }
        bytes = std::strlen(viewer->full_sql);
        mem_free(viewer->full_sql);
        viewer->full_sql = nullptr;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void floor_copy_script(benchmark::State &state) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer || !compose_full_sql(viewer)) {
        state.SkipWithError("no document");
        return;
    }
    const char *script = viewer->full_sql;
    size_t bytes = std::strlen(script);
    for (auto _ : state) {
        char *copy = static_cast<char *>(std::malloc(bytes + 1));
        std::memcpy(copy, script, bytes + 1);
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    mem_free(viewer->full_sql);
    viewer->full_sql = nullptr;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

} // namespace

BENCHMARK(compose_full_sql_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_copy_script)->Unit(benchmark::kMillisecond);
