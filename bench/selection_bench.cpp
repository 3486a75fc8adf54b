// The clipboard text of a 100,000-row by 10-column selection, beside its floor: one copy of the
// selected rows' bytes into a fresh buffer.
#include "document/rows.h"
#include "bench_data.h"

#include "grid/selection_text.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

namespace {

const int32_t SELECTED_ROWS = 100000;

// The benchmark document with rows 0 to SELECTED_ROWS - 1 of every column selected; null (and the
// benchmark marked skipped) when there is no document of that many rows.
Viewer *selected_document(benchmark::State &state) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer || viewer->row_count < SELECTED_ROWS || viewer->col_count < 1) {
        state.SkipWithError("no document of enough rows");
        return nullptr;
    }
    viewer->anchor_row = 0;
    viewer->anchor_col = 0;
    viewer->cur_row = SELECTED_ROWS - 1;
    viewer->cur_col = viewer->col_count - 1;
    return viewer;
}

void selection_text_100k_rows(benchmark::State &state) {
    Viewer *viewer = selected_document(state);
    if (!viewer) return;
    time_selection_text(state, viewer);
}

// The selected rows' bytes: they lie one after another in the file buffer.
const char *selected_stretch(const Viewer *viewer, size_t *bytes) {
    const char *first = row_start(viewer, 0);
    *bytes = static_cast<size_t>(row_end(viewer, SELECTED_ROWS - 1) - first) + 1;
    return first;
}

void floor_copy_selection(benchmark::State &state) {
    Viewer *viewer = selected_document(state);
    if (!viewer) return;
    size_t bytes = 0;
    const char *first = selected_stretch(viewer, &bytes);
    for (auto _ : state) {
        char *copy = static_cast<char *>(std::malloc(bytes));
        std::memcpy(copy, first, bytes);
        benchmark::DoNotOptimize(copy);
        std::free(copy);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

// The same copy into one buffer written before the timing starts: the speed of the copy alone,
// without the page faults of fresh memory that the export (and the floor above) pay.
void floor_copy_selection_warm(benchmark::State &state) {
    Viewer *viewer = selected_document(state);
    if (!viewer) return;
    size_t bytes = 0;
    const char *first = selected_stretch(viewer, &bytes);
    char *copy = static_cast<char *>(std::malloc(bytes));
    std::memset(copy, 0, bytes);
    for (auto _ : state) {
        std::memcpy(copy, first, bytes);
        benchmark::DoNotOptimize(copy);
        benchmark::ClobberMemory();
    }
    std::free(copy);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

} // namespace

BENCHMARK(selection_text_100k_rows)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_copy_selection)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_copy_selection_warm)->Unit(benchmark::kMillisecond);
