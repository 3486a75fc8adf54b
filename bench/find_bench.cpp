// Find and the filter over the 1,000,000-row file beside their floor, one case-sensitive memmem
// pass over the data block with the same needle: a needle found nowhere, and a value that only the
// last row holds, so that both searches read the whole block.
#include "bench_data.h"

#include "document/rows.h"
#include "find/find.h"
#include "work/grid_order.h"
#include "text/text_doc.h"

#include <benchmark/benchmark.h>

#include <string.h>

namespace {

// None of the generator's words holds "zebra"; "Зебра" is the same in Cyrillic, whose letters fold
// through the table rather than by one bit. The generator's numbers go to 99999.99 and its ids to
// 1000000, so the last row's number and id are found there alone.
const char ABSENT_ASCII[] = "Zebra";
const char ABSENT_CYRILLIC[] = "\xD0\x97\xD0\xB5\xD0\xB1\xD1\x80\xD0\xB0";
const char LAST_ROW_NUMBER[] = "29510.83";
const char LAST_ROW_ID[] = "1000000";

// The rows lie one after another in the file's buffer: the data block runs from the first row to
// the last row's NUL.
struct Block {
    const char *bytes;
    size_t len;
};

Viewer *document(benchmark::State &state, Block *block) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer || viewer->row_count < 1000000) {
        state.SkipWithError("no document of 1,000,000 rows");
        return nullptr;
    }
    *block = {rows_begin(viewer), static_cast<size_t>(rows_end(viewer) - rows_begin(viewer))};
    return viewer;
}

// The floor: memmem must find the needle where grid_find does (`in_last_row`), or nowhere.
void floor_memmem(benchmark::State &state, const char *needle, bool in_last_row) {
    Block block;
    Viewer *viewer = document(state, &block);
    if (!viewer) return;
    const char *found = nullptr;
    for (auto _ : state) {
        found = static_cast<const char *>(memmem(block.bytes, block.len, needle, strlen(needle)));
        benchmark::DoNotOptimize(found);
    }
    if ((found != nullptr) != in_last_row ||
        (found && found < row_start(viewer, viewer->row_count - 1)))
        state.SkipWithError("memmem found the needle elsewhere");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.len));
}

// Searches from the first cell on; `typed` is the needle as a user would type it.
void grid_search(benchmark::State &state, const char *typed, bool in_last_row) {
    Block block;
    Viewer *viewer = document(state, &block);
    if (!viewer) return;
    Needle needle;
    if (!needle_compile(&needle, typed, strlen(typed))) {
        state.SkipWithError("needle refused");
        return;
    }
    int found = 0;
    GridHit hit = {};
    for (auto _ : state) {
        found = grid_find(viewer, &needle, 0, 0, FIND_NEXT, &hit);
        benchmark::DoNotOptimize(hit);
    }
    if (found != (in_last_row ? 1 : 0) || (found && hit.row != viewer->row_count - 1))
        state.SkipWithError("grid_find found the needle elsewhere");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.len));
}

void floor_memmem_ascii(benchmark::State &state) {
    floor_memmem(state, ABSENT_ASCII, false);
}
void grid_find_absent_ascii(benchmark::State &state) {
    grid_search(state, "ZEBRA", false);
}

void floor_memmem_cyrillic(benchmark::State &state) {
    floor_memmem(state, ABSENT_CYRILLIC, false);
}
void grid_find_absent_cyrillic(benchmark::State &state) {
    grid_search(state, "\xD0\x97\xD0\x95\xD0\x91\xD0\xA0\xD0\x90", false); // ЗЕБРА
}

void floor_memmem_last_row(benchmark::State &state) {
    floor_memmem(state, LAST_ROW_NUMBER, true);
}
void grid_find_last_row(benchmark::State &state) {
    grid_search(state, LAST_ROW_NUMBER, true);
}

// An id's first and last bytes, 1 and 0, are everywhere in the digits: many candidates to check.
void floor_memmem_last_row_id(benchmark::State &state) {
    floor_memmem(state, LAST_ROW_ID, true);
}
void grid_find_last_row_id(benchmark::State &state) {
    grid_search(state, LAST_ROW_ID, true);
}

// The same block as a text tab reads it (the Full SQL tab's rows), escapes as written.
void text_find_absent_ascii(benchmark::State &state) {
    Block block;
    Viewer *viewer = document(state, &block);
    if (!viewer) return;
    TextBlock rows = {block.bytes, block.len,     0,
                      nullptr,     &viewer->rows, static_cast<size_t>(viewer->row_count)};
    TextDoc doc;
    text_doc_set(&doc, &rows, 1);
    Needle needle;
    needle_compile(&needle, "ZEBRA", 5);
    int found = 0;
    TextHit hit = {};
    for (auto _ : state) {
        found = text_find(&doc, &needle, 0, FIND_NEXT, &hit);
        benchmark::DoNotOptimize(hit);
    }
    if (found) state.SkipWithError("text_find found the needle");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.len));
}

// The filter of the grid's rows by a text no cell holds: one scan of the block, which the floor
// equals, and an empty grid. The document's order is put back afterwards for the other benchmarks.
void grid_filter(benchmark::State &state, const char *typed) {
    Block block;
    Viewer *viewer = document(state, &block);
    if (!viewer) return;
    Needle needle;
    needle_compile(&needle, typed, strlen(typed));
    int ok = 1;
    for (auto _ : state) {
        ok &= grid_set_filter(viewer, &needle);
        benchmark::DoNotOptimize(viewer->order.shown_count);
    }
    if (!ok || viewer->order.shown_count != 0) state.SkipWithError("the filter let rows through");
    viewer_free_order(viewer);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * block.len));
}

void grid_filter_absent_ascii(benchmark::State &state) {
    grid_filter(state, "ZEBRA");
}
void grid_filter_absent_cyrillic(benchmark::State &state) {
    grid_filter(state, "\xD0\x97\xD0\x95\xD0\x91\xD0\xA0\xD0\x90"); // ЗЕБРА
}

} // namespace

BENCHMARK(grid_filter_absent_ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(grid_filter_absent_cyrillic)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_memmem_ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(grid_find_absent_ascii)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_memmem_cyrillic)->Unit(benchmark::kMillisecond);
BENCHMARK(grid_find_absent_cyrillic)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_memmem_last_row)->Unit(benchmark::kMillisecond);
BENCHMARK(grid_find_last_row)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_memmem_last_row_id)->Unit(benchmark::kMillisecond);
BENCHMARK(grid_find_last_row_id)->Unit(benchmark::kMillisecond);
BENCHMARK(text_find_absent_ascii)->Unit(benchmark::kMillisecond);
