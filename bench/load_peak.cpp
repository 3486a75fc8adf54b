// The peak memory of one load_file, counted through the allocation seam, against the budget of
// 8 bytes a row plus 1 MiB (the file is mapped, not held); then what the text tabs add to the
// loaded document, against 8 bytes a line of the Full SQL text plus 1 MiB; then the memory of
// sorting the grid by each column, against 4 bytes a row held and 16 more a row while a sort runs;
// last the summary of each column, against 8 bytes a row beyond its text. Each column's ascending
// sort and its summary are timed too (wall-clock, once), so that a file too big for the benchmark
// runs sets the one against the other; the summary's distinct line says whether it estimated.
//
//   load_peak FILE.pg
#include "counting_mem.h"

#include "document/load.h"
#include "base/strbuf.h"
#include "query/column_summary.h"
#include "work/grid_order.h"
#include "text/caret.h"
#include "text/columns.h"
#include "text/line_cells.h"
#include "text/tab_doc.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: load_peak FILE.pg\n");
        return 2;
    }
    Viewer viewer{};
    if (!load_file(&viewer, argv[1])) {
        std::fprintf(stderr, "load_file refused %s\n", argv[1]);
        return 1;
    }
    long long file = viewer.buf_len, rows = viewer.row_count;
    long long peak = static_cast<long long>(mem_peak_bytes());
    long long budget = 8 * rows + (1 << 20);
    std::printf("load_file peak memory: %lld bytes for a file of %lld bytes (%.2f bytes a row); "
                "goal <= %lld: %s\n",
                peak, file, rows ? static_cast<double>(peak) / rows : 0.0, budget,
                peak <= budget ? "met" : "MISSED");

    // The text tabs as the view meets them: each tab's text, a screen of 60 lines of 200
    // columns drawn at the top and at the end, the caret to the end and everything selected.
    mem_restart_peak();
    long long base = static_cast<long long>(mem_held_bytes());
    TabLines lines = {};
    TextDoc doc = {};
    ColumnCache *columns = column_cache_new();
    TextCaret caret = {};
    for (int tab : {TAB_SQL, TAB_INFO, TAB_FULLSQL}) tab_doc(&viewer, tab, &lines, &doc);
    static uint16_t units[512];
    static uint32_t cols[513];
    for (size_t top : {size_t(0), text_line_count(&doc) - 60})
        for (size_t line = top; line < top + 60 && line < text_line_count(&doc); ++line)
            line_cells(columns, &doc, line, 0, 200, units, cols, 512);
    text_move(&caret, &doc, columns, TEXT_DOC_END, 0, 60);
    text_select_all(&caret, &doc);
    long long text_lines = static_cast<long long>(text_line_count(&doc));
    long long added = static_cast<long long>(mem_peak_bytes()) - base;
    long long text_budget = 8 * text_lines + (1 << 20);
    std::printf("text tabs' peak memory over the document: %lld bytes for %lld lines of Full SQL "
                "(%.2f bytes a line); goal <= %lld: %s\n",
                added, text_lines, text_lines ? static_cast<double>(added) / text_lines : 0.0,
                text_budget, added <= text_budget ? "met" : "MISSED");
    column_cache_delete(columns);
    tab_lines_free(&lines);

    // Sorting by each column, ascending then descending: the order held (4 bytes a row), and what
    // a sort takes beyond it while it runs (at most 16 bytes a row).
    bool sorts_met = true;
    const long long unsorted = static_cast<long long>(mem_held_bytes());
    long long worst_run = 0;
    std::vector<double> sort_ms(static_cast<size_t>(viewer.col_count));
    for (int32_t col = 0; col < viewer.col_count; ++col) {
        for (SortDir dir : {SORT_ASC, SORT_DESC}) {
            const long long before = static_cast<long long>(mem_held_bytes());
            mem_restart_peak();
            const double t0 = now_ms();
            const int sorted = grid_set_sort(&viewer, col, dir);
            if (dir == SORT_ASC) sort_ms[static_cast<size_t>(col)] = now_ms() - t0;
            if (!sorted) {
                std::printf("sort of column %d refused\n", col);
                sorts_met = false;
            }
            long long run = static_cast<long long>(mem_peak_bytes()) - before;
            if (run > worst_run) worst_run = run;
        }
    }
    const long long held = static_cast<long long>(mem_held_bytes()) - unsorted;
    const bool held_met = held <= 4 * rows, run_met = worst_run <= 20 * rows;
    std::printf("sorted order held: %lld bytes (%.2f bytes a row); goal <= 4 a row: %s\n", held,
                rows ? static_cast<double>(held) / rows : 0.0, held_met ? "met" : "MISSED");
    std::printf("a sort's peak beyond what it started from: %lld bytes (%.2f bytes a row); goal <= "
                "4 + 16 a row: %s\n",
                worst_run, rows ? static_cast<double>(worst_run) / rows : 0.0,
                run_met ? "met" : "MISSED");
    sorts_met = sorts_met && held_met && run_met;

    // Each column's summary over every row (in the order the sorts left): the table of distinct
    // values and the sketch, at most 8 bytes a row (4 MiB at the least), beside the text it writes.
    long long worst_summary = 0;
    for (int32_t col = 0; col < viewer.col_count; ++col) {
        StrBuf text;
        sb_init(&text);
        const long long before = static_cast<long long>(mem_held_bytes());
        mem_restart_peak();
        const double t0 = now_ms();
        if (!column_summary_text(&viewer, col, nullptr, viewer.row_count, &text))
            std::printf("summary of column %d refused\n", col);
        const double took = now_ms() - t0, sort = sort_ms[static_cast<size_t>(col)];
        const long long run =
            static_cast<long long>(mem_peak_bytes()) - before - static_cast<long long>(text.cap);
        if (run > worst_summary) worst_summary = run;
        const char *distinct = text.data ? std::strstr(text.data, "distinct: ") : nullptr;
        const char *end = distinct ? std::strchr(distinct, '\n') : nullptr;
        std::printf("column %d: sorted in %.1f ms, summarised in %.1f ms (%.2f x), %.*s\n", col,
                    sort, took, sort > 0 ? took / sort : 0.0,
                    distinct && end ? static_cast<int>(end - distinct) : 0, distinct);
        sb_drop(&text);
    }
    const long long summary_budget = rows * 8 > (4 << 20) ? rows * 8 : (4 << 20);
    std::printf("a column summary's peak beyond its text: %lld bytes (%.2f bytes a row); goal <= 8 "
                "a row: %s\n",
                worst_summary, rows ? static_cast<double>(worst_summary) / rows : 0.0,
                worst_summary <= summary_budget ? "met" : "MISSED");
    viewer_free_blocks(&viewer);
    return peak <= budget && added <= text_budget && sorts_met && worst_summary <= summary_budget
               ? 0
               : 1;
}
