// The text view's model on long lines and many rows: a paint and a caret move far into a line of
// 100 MB once its columns have been walked, that first walk beside one memchr pass over the same
// bytes, a screen of 1 MB lines, and the Full SQL text of the 1,000,000-row file.
#include "bench_data.h"

#include "text/caret.h"
#include "text/columns.h"
#include "text/line_cells.h"
#include "text/tab_doc.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

const size_t LONG_LINE = 100u << 20;
const size_t VIEW_COLS = 200;

// Two lines of 100 MB of SQL-like ASCII with a tab every 4 KiB, built once per process.
struct LongLines {
    std::string text;
    LineTable table{};
    TextDoc doc{};
    LongLines() {
        std::string line;
        line.reserve(LONG_LINE);
        while (line.size() < LONG_LINE) {
            line += "insert into t values (1, 'some text', 3.25);";
            if (line.size() % 4096 < 48) line += '\t';
        }
        text = line + "\n" + line;
        line_table_build(&table, text.data(), text.size());
        text_doc_set_plain(&doc, text.data(), text.size(), &table);
    }
};

LongLines &long_lines() {
    static LongLines *lines = new LongLines;
    return *lines;
}

// One paint of the visible columns far into the line, the cache warm from the paints before.
void text_paint_far_into_100mb_line(benchmark::State &state) {
    LongLines &l = long_lines();
    ColumnCache *cache = column_cache_new();
    uint16_t units[VIEW_COLS];
    uint32_t cols[VIEW_COLS + 1];
    const size_t first = line_columns(cache, &l.doc, 0) - 1000;
    for (auto _ : state) {
        size_t n = line_cells(cache, &l.doc, 0, first, VIEW_COLS, units, cols, VIEW_COLS);
        benchmark::DoNotOptimize(n);
    }
    column_cache_delete(cache);
}

// Down and Up between the two lines with the caret near their ends.
void text_caret_down_up_far_into_100mb_lines(benchmark::State &state) {
    LongLines &l = long_lines();
    ColumnCache *cache = column_cache_new();
    TextCaret t{};
    text_set_caret(&t, &l.doc, text_line_end(&l.doc, 0) - 1000, 0);
    for (auto _ : state) {
        text_move(&t, &l.doc, cache, TEXT_DOWN, 0, 1);
        text_move(&t, &l.doc, cache, TEXT_UP, 0, 1);
        benchmark::DoNotOptimize(t.caret);
    }
    column_cache_delete(cache);
}

// The first walk to the end of the line, with a cache that has not seen it.
void text_first_walk_100mb_line(benchmark::State &state) {
    LongLines &l = long_lines();
    ColumnCache *cache = column_cache_new();
    for (auto _ : state) {
        column_cache_clear(cache);
        benchmark::DoNotOptimize(line_columns(cache, &l.doc, 0));
    }
    column_cache_delete(cache);
}

void floor_memchr_100mb_line(benchmark::State &state) {
    LongLines &l = long_lines();
    for (auto _ : state) benchmark::DoNotOptimize(std::memchr(l.text.data(), '\x01', LONG_LINE));
}

// A screen of 50 lines of 1 MB each, painted at column 500,000 over and over.
void text_paint_screen_of_1mb_lines(benchmark::State &state) {
    static std::string text;
    static LineTable table{};
    static TextDoc doc{};
    if (text.empty()) {
        std::string line;
        while (line.size() < (1u << 20)) line += "copy of a row\tcol2\tcol3 ";
        for (int i = 0; i < 50; ++i) text += line + "\n";
        line_table_build(&table, text.data(), text.size());
        text_doc_set_plain(&doc, text.data(), text.size(), &table);
    }
    ColumnCache *cache = column_cache_new();
    uint16_t units[VIEW_COLS];
    uint32_t cols[VIEW_COLS + 1];
    for (auto _ : state)
        for (size_t line = 0; line < 50; ++line)
            benchmark::DoNotOptimize(
                line_cells(cache, &doc, line, 500000, VIEW_COLS, units, cols, VIEW_COLS));
    column_cache_delete(cache);
}

// The Full SQL tab's text of the 1,000,000-row file, its line tables already built.
void tab_doc_full_sql_rows_1m(benchmark::State &state) {
    Viewer *viewer = loaded_document(ROWS_FILE);
    if (!viewer) {
        state.SkipWithError("no document");
        return;
    }
    TabLines lines{};
    TextDoc doc;
    tab_doc(viewer, TAB_FULLSQL, &lines, &doc);
    for (auto _ : state) {
        tab_doc(viewer, TAB_FULLSQL, &lines, &doc);
        benchmark::DoNotOptimize(doc.line_count);
    }
    tab_lines_free(&lines);
}

} // namespace

BENCHMARK(text_paint_far_into_100mb_line)->Unit(benchmark::kMicrosecond);
BENCHMARK(text_caret_down_up_far_into_100mb_lines)->Unit(benchmark::kMicrosecond);
BENCHMARK(text_first_walk_100mb_line)->Unit(benchmark::kMillisecond);
BENCHMARK(floor_memchr_100mb_line)->Unit(benchmark::kMillisecond);
BENCHMARK(text_paint_screen_of_1mb_lines)->Unit(benchmark::kMicrosecond);
BENCHMARK(tab_doc_full_sql_rows_1m)->Unit(benchmark::kMicrosecond);
