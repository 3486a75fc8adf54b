// The "Copy as" formats of the whole 1,000,000-row file, every row and column selected, beside the
// tab-separated clipboard text of the same selection measured in the same run.
#include "bench_data.h"

#include "base/utf16_sink.h"
#include "export/copy_as.h"
#include "grid/selection_text.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

// The whole benchmark document selected; null (and the benchmark marked skipped) without one.
Viewer *all_selected(benchmark::State &state) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer || viewer->row_count < 1 || viewer->col_count < 1) {
        state.SkipWithError("no benchmark document");
        return nullptr;
    }
    viewer->anchor_row = 0;
    viewer->anchor_col = 0;
    viewer->cur_row = viewer->row_count - 1;
    viewer->cur_col = viewer->col_count - 1;
    return viewer;
}

// The kinds of gen_dump's columns, which repeat every ten: an id, words and free text, numbers
// with two decimals, and dates.
std::vector<ColumnType> bench_types(const Viewer *viewer) {
    const ColumnKind pattern[10] = {KIND_INTEGER, KIND_TEXT, KIND_TEXT, KIND_NUMERIC, KIND_DATE,
                                    KIND_TEXT,    KIND_TEXT, KIND_DATE, KIND_NUMERIC, KIND_TEXT};
    std::vector<ColumnType> types(viewer->col_count);
    for (int32_t c = 0; c < viewer->col_count; ++c) types[c] = {pattern[c % 10], ""};
    return types;
}

void selection_text_rows_1m(benchmark::State &state) {
    Viewer *viewer = all_selected(state);
    if (!viewer) return;
    time_selection_text(state, viewer);
}

void copy_as_rows_1m(benchmark::State &state, CopyFormat format) {
    Viewer *viewer = all_selected(state);
    if (!viewer) return;
    const std::vector<ColumnType> types = bench_types(viewer);
    size_t bytes = 0;
    for (auto _ : state) {
        StrBuf text;
        if (!copy_as(viewer, types.data(), format, &text)) {
            state.SkipWithError("copy_as failed");
            break;
        }
        bytes = text.len;
        sb_drop(&text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void copy_as_csv_rows_1m(benchmark::State &state) {
    copy_as_rows_1m(state, COPY_CSV);
}
void copy_as_insert_rows_1m(benchmark::State &state) {
    copy_as_rows_1m(state, COPY_SQL_INSERT);
}
void copy_as_json_rows_1m(benchmark::State &state) {
    copy_as_rows_1m(state, COPY_JSON);
}
void copy_as_markdown_rows_1m(benchmark::State &state) {
    copy_as_rows_1m(state, COPY_MARKDOWN);
}

// What Ctrl+A, Ctrl+C asks of the core: the whole grid's tab-separated text bounded by the row
// index, then built a 256 KiB piece at a time straight into fresh UTF-16 memory of that size, as
// the clipboard's block is written (the system's own part, the clipboard, is the Windows
// benchmark's).
void clipboard_utf16_rows_1m(benchmark::State &state) {
    Viewer *viewer = all_selected(state);
    if (!viewer) return;
    uint64_t units = 0;
    for (auto _ : state) {
        const uint64_t room = selection_text_bound(viewer, false) + 1;
        uint16_t *block = static_cast<uint16_t *>(std::malloc(room * sizeof(uint16_t)));
        Utf16Sink sink = {block, room, 0, UINT64_MAX};
        StrBuf piece;
        if (!block || !sb_init_spilling(&piece, 256u << 10, utf16_sink_spill, &sink) ||
            !selection_text_into(viewer, false, &piece)) {
            state.SkipWithError("the clipboard text failed");
            std::free(block);
            break;
        }
        units = utf16_sink_finish(&piece, &sink);
        sb_drop(&piece);
        benchmark::DoNotOptimize(block);
        std::free(block);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * units * 2));
}

} // namespace

BENCHMARK(selection_text_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(clipboard_utf16_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(copy_as_csv_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(copy_as_insert_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(copy_as_json_rows_1m)->Unit(benchmark::kMillisecond);
BENCHMARK(copy_as_markdown_rows_1m)->Unit(benchmark::kMillisecond);
