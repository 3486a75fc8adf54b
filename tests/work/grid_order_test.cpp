// The grid's order: sorts and filters made beside the order shown and installed whole, each made
// for the rows counted when it was made, the cursor kept on its record; the sequences a count in
// progress once broke, and a stop at every look of every phase leaving the grid as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "alloc_hook.h"
#include "base/stop.h"
#include "grid/cursor.h"
#include "stepwise_viewer.h"
#include "work/grid_order.h"
#include "work/order_status.h"

namespace {

using Rows = std::vector<int32_t>;

// Field `col` of file row r.
std::string field(const Viewer &v, int32_t r, int col) {
    std::string line = row_at(v, r);
    size_t start = 0;
    for (int c = 0; c < col; ++c) start = line.find('\t', start) + 1;
    size_t end = line.find('\t', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

// What the order over rows 0 .. rows - 1 must be: those holding `needle` in a cell (all when it is
// empty), sorted by integer column `col` in `dir` (none: file order), equal values in file order.
Rows reference(const Viewer &v, int32_t rows, int col, SortDir dir, const std::string &needle) {
    Rows out;
    for (int32_t r = 0; r < rows; ++r)
        if (needle.empty() || row_at(v, r).find(needle) != std::string::npos) out.push_back(r);
    if (dir == SORT_NONE) return out;
    std::stable_sort(out.begin(), out.end(), [&](int32_t a, int32_t b) {
        long x = std::stol(field(v, a, col)), y = std::stol(field(v, b, col));
        return dir == SORT_ASC ? x < y : x > y;
    });
    return out;
}

Needle needle_of(const char *text) {
    Needle n;
    needle_compile(&n, text, strlen(text));
    return n;
}

} // namespace

// A header clicked twice while the rows are counted: the second click turns round an order made
// over fewer rows than are known now, and once read past the end of it.
TEST(OrdersWhileCounting, ASortTurnedRoundAfterMoreRowsWereCountedIsMadeForTheRowsKnownNow) {
    StepwiseViewer d(counted_dump(20000));
    d.count_to(1000);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_ASC), 1);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, d.v.order.rows, 1, SORT_ASC, ""));
    d.count_to(5000);
    expect_order_sound(d.v);
    EXPECT_LT(shown_row_count(&d.v), d.v.row_count) << "the order shows the rows it was made for";
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    expect_order_sound(d.v);
    EXPECT_EQ(d.v.order.rows, d.v.row_count);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, d.v.row_count, 1, SORT_DESC, ""));
}

TEST(OrdersWhileCounting, ASortByAnotherColumnAfterMoreRowsTakesEveryRowKnownNow) {
    StepwiseViewer d(counted_dump(20000));
    d.count_to(1000);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    d.count_to(6000);
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_DESC), 1);
    expect_order_sound(d.v);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, d.v.row_count, 0, SORT_DESC, ""));
}

// A filter typed after more rows came filters the sort's rows: an order reused is read only within
// the rows it was made for.
TEST(OrdersWhileCounting, AFilterOverASortMadeEarlierFiltersTheSortsRows) {
    StepwiseViewer d(counted_dump(20000));
    d.count_to(1000);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_ASC), 1);
    const int32_t made_for = d.v.order.rows;
    d.count_to(8000);
    const Needle x = needle_of("x");
    ASSERT_EQ(grid_set_filter(&d.v, &x), 1);
    expect_order_sound(d.v);
    EXPECT_EQ(d.v.order.rows, made_for);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, made_for, 1, SORT_ASC, "x"));
    char count[96];
    format_row_count(count, sizeof count, &d.v);
    EXPECT_EQ(std::string(count),
              std::to_string(shown_row_count(&d.v)) + " of " +
                  std::to_string(d.v.row_count / 1000) + "," +
                  std::string(3 - std::to_string(d.v.row_count % 1000).size(), '0') +
                  std::to_string(d.v.row_count % 1000) + " rows");
}

// Sort, filter, more rows, then the filter cleared (Escape in the bar): the sort's rows show again,
// and the grid's rows (whose numbers it paints) are theirs, not the count's.
TEST(OrdersWhileCounting, AFilterClearedAfterMoreRowsShowsTheSortsRowsWhole) {
    StepwiseViewer d(counted_dump(20000));
    d.count_to(2000);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    const Needle x = needle_of("x");
    ASSERT_EQ(grid_set_filter(&d.v, &x), 1);
    const int32_t made_for = d.v.order.rows;
    d.count_to(12000);
    d.v.cur_row = 3;
    const int32_t record = shown_file_row(&d.v, 3);
    ASSERT_EQ(grid_set_filter(&d.v, nullptr), 1);
    expect_order_sound(d.v);
    EXPECT_EQ(shown_row_count(&d.v), made_for);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, made_for, 1, SORT_DESC, ""));
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), record);
    grid_apply_key(&d.v, KEY_END, 1, 0, 0);
    EXPECT_EQ(d.v.cur_row, made_for - 1);
}

// Once every row is known the order is made again over all of them, reusing nothing; the cursor
// and the anchor stay on their records, and a selection of every row stays every row.
TEST(OrdersWhileCounting, TheOrderMadeAgainAtTheCountsEndKeepsTheSelectionOnItsRecords) {
    StepwiseViewer d(counted_dump(9000));
    d.count_to(3000);
    const Needle x = needle_of("x");
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_ASC), 1);
    ASSERT_EQ(grid_set_filter(&d.v, &x), 1);
    d.v.cur_row = 10;
    d.v.anchor_row = 4;
    const int32_t cursor = shown_file_row(&d.v, 10), anchor = shown_file_row(&d.v, 4);
    d.count_all();
    OrderPlan plan = order_plan_of(&d.v, &x);
    plan.fresh = true;
    BuiltOrder built;
    ASSERT_EQ(order_build(&d.v, &plan, cursor, anchor, &built), BUILD_DONE);
    order_install(&d.v, &built, CURSOR_KEEP_SELECTION);
    expect_order_sound(d.v);
    EXPECT_EQ(shown_rows_of(d.v), reference(d.v, 9000, 1, SORT_ASC, "x"));
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), cursor);
    EXPECT_EQ(shown_file_row(&d.v, d.v.anchor_row), anchor);

    grid_apply_key(&d.v, KEY_A, 1, 0, 0); // every row selected
    plan = order_plan_of(&d.v, &x);
    plan.fresh = true;
    ASSERT_EQ(order_build(&d.v, &plan, record_at(&d.v, d.v.cur_row),
                          record_at(&d.v, d.v.anchor_row), &built),
              BUILD_DONE);
    order_install(&d.v, &built, CURSOR_KEEP_SELECTION);
    EXPECT_EQ(d.v.anchor_row, 0);
    EXPECT_EQ(d.v.cur_row, shown_row_count(&d.v) - 1);
}

// What a header click and the find bar do, in the order the grid shows.
TEST(GridOrder, AscendingThenDescendingThenFileOrderWithEqualValuesInFileOrder) {
    LoadedViewer d(data_dump("id, name", "9\tpear\n10\tapple\n2\tfig\n10\tkiwi\n1\tApple\n"));
    // The types below stand in for a CREATE TABLE the dump lacks; the loader's go back at the end.
    std::vector<ColumnType> types = {{KIND_INTEGER, "integer"}, {KIND_TEXT, "text"}};
    ColumnType *own = d.v.col_types;
    auto names = [&] {
        std::string out;
        for (int32_t r = 0; r < shown_row_count(&d.v); ++r)
            out += (r ? " " : "") + field(d.v, shown_file_row(&d.v, r), 1);
        return out;
    };
    d.v.col_types = types.data();
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_ASC), 1);
    EXPECT_EQ(names(), "Apple fig pear apple kiwi") << "integers by value, equal ids in file order";
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_DESC), 1);
    EXPECT_EQ(names(), "apple kiwi pear fig Apple") << "equal ids in file order descending too";
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_NONE), 1);
    EXPECT_EQ(names(), "pear apple fig kiwi Apple");
    EXPECT_EQ(d.v.order.shown, nullptr);

    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_ASC), 1);
    const Needle p = needle_of("p");
    ASSERT_EQ(grid_set_filter(&d.v, &p), 1);
    EXPECT_EQ(names(), "Apple pear apple") << "the filter's rows in the sort's order";
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_DESC), 1);
    EXPECT_EQ(names(), "apple pear Apple") << "the sort turned round, the filter kept";
    ASSERT_EQ(grid_set_sort(&d.v, 0, SORT_NONE), 1);
    EXPECT_EQ(names(), "pear apple Apple") << "the filter's rows in file order";
    ASSERT_EQ(grid_set_filter(&d.v, nullptr), 1);
    EXPECT_EQ(names(), "pear apple fig kiwi Apple");
    d.v.col_types = own;
}

TEST(GridOrder, TheCursorStaysOnItsRecordAndTheSelectionCollapsesOntoIt) {
    LoadedViewer d(counted_dump(50));
    d.v.cur_row = 7;
    d.v.anchor_row = 2;
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), 7);
    EXPECT_EQ(d.v.anchor_row, d.v.cur_row);
    const Needle word = needle_of("word");
    ASSERT_EQ(grid_set_filter(&d.v, &word), 1);
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), 7) << "row 7 holds \"word\"";
    const Needle wax = needle_of("wax");
    ASSERT_EQ(grid_set_filter(&d.v, &wax), 1);
    EXPECT_EQ(d.v.cur_row, 0) << "its record filtered out, the cursor goes to the first row";
}

namespace {

// Runs `make` with the stop coming at each look in turn: each time it must give up whole (the
// grid's order and cursor as they were, no block left) until it is let run to its end.
template <typename Make> void stop_at_every_look(Viewer *v, Make make) {
    stop_after_looks(-1);
    stop_watch(nullptr);
    const std::vector<int32_t> shown = shown_rows_of(*v);
    const int32_t cursor = v->cur_row;
    for (long k = 0;; ++k) {
        const long live = mem_live_count();
        stop_after_looks(k);
        const bool made = make();
        const long looked = stop_looks();
        stop_after_looks(-1);
        if (made) {
            EXPECT_GE(looked, k) << "it ran to its end only once the stop came after its looks";
            break;
        }
        ASSERT_EQ(shown_rows_of(*v), shown) << "stopped at look " << k;
        ASSERT_EQ(v->cur_row, cursor);
        ASSERT_EQ(mem_live_count(), live) << "stopped at look " << k;
        ASSERT_LT(k, 100000) << "never ran to its end";
    }
}

} // namespace

TEST(StopsMidway, EveryPhaseOfASortOrAFilterGivesUpWholeAtEveryLook) {
    // Rows enough that every loop looks a few times on its way (a look every STOP_ROWS rows).
    LoadedViewer d(counted_dump(4 * STOP_ROWS));
    std::vector<ColumnType> types = {
        {KIND_INTEGER, "integer"}, {KIND_INTEGER, "integer"}, {KIND_TEXT, "text"}};
    ColumnType *own = d.v.col_types;
    d.v.col_types = types.data();
    d.v.cur_row = 12345;
    const Needle x = needle_of("x");
    stop_at_every_look(&d.v, [&] { return grid_set_sort(&d.v, 1, SORT_ASC) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_sort(&d.v, 1, SORT_DESC) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_filter(&d.v, &x) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_sort(&d.v, 2, SORT_DESC) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_sort(&d.v, 2, SORT_NONE) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_filter(&d.v, nullptr) == 1; });
    // A condition alone, and after the text's scan (the cursor's record holds both).
    Condition *c = nullptr;
    ConditionError error;
    ASSERT_EQ(condition_parse(&d.v, "n >= 3", 6, &c, &error), 1) << error.message;
    stop_at_every_look(&d.v, [&] { return grid_set_filter(&d.v, nullptr, c) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_filter(&d.v, &x, c) == 1; });
    stop_at_every_look(&d.v, [&] { return grid_set_filter(&d.v, nullptr) == 1; });
    condition_free(c);
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), 12345);
    d.v.col_types = own;
}
