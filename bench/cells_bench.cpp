// cell_text over one screen of a 256-column file, as the grid asks for it while it paints: the
// 20 columns visible at the right end of the rows, and the whole row width.
#include "bench_data.h"

#include "grid/cells.h"

#include <benchmark/benchmark.h>

namespace {

const int32_t SCREEN_ROWS = 40;
const int32_t FIRST_ROW = 1000;
// The list view hands the viewer a buffer of this many bytes for a cell's text.
const size_t ROOM = 260;

void paint_screen(benchmark::State &state, int32_t first_col) {
    Viewer *viewer = loaded_document(WIDE_FILE);
    if (!viewer || viewer->row_count < FIRST_ROW + SCREEN_ROWS || viewer->col_count < 256) {
        state.SkipWithError("no 256-column document of enough rows");
        return;
    }
    char room[ROOM];
    int64_t cells = 0;
    for (auto _ : state) {
        for (int32_t r = FIRST_ROW; r < FIRST_ROW + SCREEN_ROWS; ++r) {
            for (int32_t c = first_col; c < viewer->col_count; ++c) {
                cell_text(viewer, r, c, room, ROOM);
                benchmark::DoNotOptimize(room);
                ++cells;
            }
        }
    }
    state.SetItemsProcessed(cells);
}

void cell_text_screen_right_end(benchmark::State &state) {
    paint_screen(state, 256 - 20);
}

void cell_text_screen_whole_width(benchmark::State &state) {
    paint_screen(state, 0);
}

} // namespace

BENCHMARK(cell_text_screen_right_end)->Unit(benchmark::kMicrosecond);
BENCHMARK(cell_text_screen_whole_width)->Unit(benchmark::kMicrosecond);
