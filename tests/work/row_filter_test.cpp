// The grid's filter as the bar and the cells' menu make it: a text or a condition from the bar and
// conditions from cells, holding together; what the bar's text is read as; the rows an order made
// from it shows, against a plain test of each row; what the status line calls it; and filters that
// cannot have their memory, or are stopped half-way, leaving nothing behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc_hook.h"
#include "base/stop.h"
#include "find/grid_scan.h"
#include "grid/shown_rows.h"
#include "stepwise_viewer.h"
#include "work/row_filter.h"

namespace {

// An order-lines table as pg_dump writes one, names needing quotes among them.
struct Lines {
    LoadedViewer d;
    Lines()
        : d(magic() +
            section("SQL", "CREATE TABLE public.lines (\n    \"Order Id\" integer,\n    status "
                           "text,\n    \"Unit Price\" numeric(10,2)\n);\n") +
            section("DATA", "COPY public.lines (\"Order Id\", status, \"Unit Price\") FROM stdin;\n"
                            "1\tpaid\t100.00\n"
                            "2\topen\t250.50\n"
                            "3\tpaid\t\\N\n"
                            "4\tit's paid\t99.99\n"
                            "5\tpaid\t1000\n"
                            "6\topen\n"
                            "\\.\n")) {}

    Condition *parsed(const std::string &text) {
        Condition *c = nullptr;
        ConditionError error;
        EXPECT_EQ(condition_parse(&d.v, text.data(), text.size(), &c, &error), 1) << error.message;
        return c;
    }
    // The ids (the first field) of the rows the grid shows once filtered by f.
    std::string shown(const RowFilter &f) {
        OrderPlan plan = order_plan_of(&d.v, nullptr);
        row_filter_spec(&f, &plan);
        EXPECT_EQ(grid_set_filter(&d.v, plan.filtered ? &plan.needle : nullptr, plan.condition), 1);
        std::string ids;
        for (int32_t r = 0; r < shown_row_count(&d.v); ++r)
            ids += row_at(d.v, shown_file_row(&d.v, r)).substr(0, 1);
        return ids;
    }
    std::string named(const RowFilter &f) {
        StrBuf out;
        sb_init(&out);
        row_filter_name(&f, &d.v, &out);
        std::string text(out.data, out.len);
        sb_drop(&out);
        return text;
    }
};

std::string bar(const std::string &text, BarReading *how, const Viewer *v) {
    Condition *c = nullptr;
    char message[128];
    *how = bar_text_read(v, text.data(), text.size(), &c, message, sizeof message);
    condition_free(c);
    return message;
}

} // namespace

TEST(RowFilter, TheBarsTextOrConditionAndTheCellsConditionsHoldTogether) {
    Lines t;
    RowFilter paid, priced, both, typed;
    ASSERT_EQ(row_filter_with_bar(&paid, nullptr, "PAID", 4, nullptr), 1);
    EXPECT_EQ(t.shown(paid), "1345") << "a cell holding the text, ignoring case";
    EXPECT_EQ(t.named(paid), "contains 'PAID'");

    ASSERT_EQ(row_filter_with_value(&priced, &paid, cell_condition(&t.d.v, 0, 2, CELL_NOT_NULL)),
              1);
    EXPECT_EQ(t.shown(priced), "145") << "the shown row 0 is row 1: its price is not NULL";
    EXPECT_EQ(t.named(priced), "contains 'PAID' AND \"Unit Price\" IS NOT NULL");

    // The cell's test is of the rows as shown now: the second shown row is row 4, "it's paid".
    ASSERT_EQ(row_filter_with_value(&both, &priced, cell_condition(&t.d.v, 1, 1, CELL_NOT_EQUAL)),
              1);
    EXPECT_EQ(both.value_count, 2);
    EXPECT_EQ(t.shown(both), "15");
    EXPECT_EQ(t.named(both),
              "contains 'PAID' AND \"Unit Price\" IS NOT NULL AND status <> 'it''s paid'");

    // The bar's condition takes the text's place; the cells' conditions stay, after it.
    ASSERT_EQ(row_filter_with_bar(&typed, &both, "", 0,
                                  t.parsed("\"Order Id\" = 5 OR \"Unit Price\" < 200")),
              1);
    EXPECT_EQ(typed.text[0], '\0');
    EXPECT_EQ(t.shown(typed), "15");
    EXPECT_EQ(t.named(typed), "(\"Order Id\" = 5 OR \"Unit Price\" < 200) AND \"Unit Price\" IS "
                              "NOT NULL AND status <> 'it''s paid'");

    // A copy is a filter of its own: it outlives the one it was copied from.
    RowFilter copy;
    ASSERT_EQ(row_filter_copy(&copy, &typed), 1);
    row_filter_free(&typed);
    EXPECT_FALSE(row_filter_any(&typed));
    EXPECT_EQ(t.shown(copy), "15");
    for (RowFilter *f : {&paid, &priced, &both, &copy}) row_filter_free(f);
    EXPECT_EQ(t.shown(RowFilter{}), "123456") << "no filter: every row";
}

TEST(RowFilter, AnOrAfterTheTextIsNamedInParentheses) {
    Lines t;
    RowFilter f;
    ASSERT_EQ(row_filter_with_bar(&f, nullptr, "a", 1, nullptr), 1);
    RowFilter g;
    ASSERT_EQ(row_filter_with_value(&g, &f, cell_condition(&t.d.v, 0, 0, CELL_EQUAL)), 1);
    EXPECT_EQ(t.named(g), "contains 'a' AND \"Order Id\" = 1");
    row_filter_free(&f);
    ASSERT_EQ(row_filter_with_bar(&f, &g, "", 0, t.parsed("status = 'open' OR status = 'x'")), 1);
    EXPECT_EQ(t.named(f), "(status = 'open' OR status = 'x') AND \"Order Id\" = 1");
    row_filter_free(&g);
    row_filter_free(&f);
}

TEST(RowFilter, TheBarsTextIsAConditionWhenItBeginsWithAColumnAndAnOperator) {
    Lines t;
    BarReading how;
    EXPECT_EQ(bar("", &how, &t.d.v), "");
    EXPECT_EQ(how, BAR_EMPTY);
    bar("paid", &how, &t.d.v);
    EXPECT_EQ(how, BAR_TEXT);
    bar("status quo", &how, &t.d.v);
    EXPECT_EQ(how, BAR_TEXT) << "a column, but no operator after it";
    bar("status is", &how, &t.d.v);
    EXPECT_EQ(how, BAR_UNREADABLE) << "IS begins a test: a condition not finished yet";
    bar("Unit Price > 100", &how, &t.d.v);
    EXPECT_EQ(how, BAR_CONDITION) << "the header's name without its quotes";
    EXPECT_EQ(bar("status = 'pa", &how, &t.d.v).rfind("At character 10: ", 0), 0u)
        << "where reading stopped, 1-based";
    EXPECT_EQ(how, BAR_UNREADABLE);
    EXPECT_EQ(bar("\"Unit Price\" > 'cheap'", &how, &t.d.v).rfind("At character 16: ", 0), 0u);
    EXPECT_EQ(how, BAR_UNREADABLE) << "no value of the column's type";

    // A message that quotes the text is cut where a character starts.
    const std::string accents = "\"Order Id\" > '\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9'";
    const std::string whole = bar(accents, &how, &t.d.v);
    Condition *c = nullptr;
    for (size_t room = 1; room < whole.size(); ++room) {
        std::vector<char> message(room, '#');
        bar_text_read(&t.d.v, accents.data(), accents.size(), &c, message.data(), room);
        const std::string cut = message.data();
        ASSERT_LT(cut.size(), room);
        ASSERT_EQ(whole.substr(0, cut.size()), cut);
        EXPECT_NE(static_cast<unsigned char>(whole[cut.size()]) & 0xC0, 0x80) << room;
    }
}

TEST(RowFilter, ACellsConditionIsOfTheCellAsShown) {
    Lines t;
    Condition *null = cell_condition(&t.d.v, 2, 2, CELL_EQUAL);
    Condition *missing = cell_condition(&t.d.v, 5, 2, CELL_EQUAL);
    ASSERT_NE(null, nullptr);
    ASSERT_NE(missing, nullptr);
    RowFilter f, g;
    ASSERT_EQ(row_filter_with_value(&f, nullptr, null), 1);
    EXPECT_EQ(t.named(f), "\"Unit Price\" IS NULL") << "a NULL cell's value is IS NULL";
    EXPECT_EQ(t.shown(f), "3");
    ASSERT_EQ(row_filter_with_value(&g, nullptr, missing), 1);
    EXPECT_EQ(t.shown(g), "6") << "a field the row lacks is matched as it shows: empty";
    row_filter_free(&f);
    row_filter_free(&g);
    EXPECT_EQ(cell_condition(&t.d.v, 6, 0, CELL_EQUAL), nullptr) << "no such row";
    EXPECT_EQ(cell_condition(&t.d.v, 0, 3, CELL_EQUAL), nullptr) << "no such column";
}

using RowFilterMemory = AllocationHookTest;

TEST_F(RowFilterMemory, WithoutMemoryThereIsNoFilterAndNothingIsKept) {
    Lines t;
    RowFilter base;
    ASSERT_EQ(row_filter_with_bar(&base, nullptr, "", 0, t.parsed("status = 'paid'")), 1);
    for (long fail = 0;; ++fail) {
        const long live = mem_live_count();
        RowFilter a, b, c;
        mem_fail_after(fail);
        Condition *cell = cell_condition(&t.d.v, 0, 0, CELL_EQUAL);
        const int made_a = row_filter_with_value(&a, &base, cell);
        const int made_b = made_a ? row_filter_copy(&b, &a) : 0;
        const int made_c = made_b ? row_filter_with_bar(&c, &b, "x", 1, nullptr) : 0;
        mem_fail_after(-1);
        if (!made_a) EXPECT_FALSE(row_filter_any(&a));
        if (made_a && !made_b) EXPECT_FALSE(row_filter_any(&b));
        if (made_b && !made_c) EXPECT_FALSE(row_filter_any(&c));
        if (made_c) {
            EXPECT_EQ(t.named(c), "contains 'x' AND \"Order Id\" = 1");
            EXPECT_EQ(t.named(b), "status = 'paid' AND \"Order Id\" = 1");
        }
        for (RowFilter *f : {&a, &b, &c})
            if (row_filter_any(f) || f->typed || f->values) row_filter_free(f);
        EXPECT_EQ(mem_live_count(), live) << "failing allocation " << fail;
        if (made_c) break;
    }
    row_filter_free(&base);
}

// Over a file counted in steps, a text and a condition filter the rows made for, each row shown
// the rows a plain test of each row lets through, in the sort's order; a stop at any look leaves
// the grid as it was.
TEST(RowFilter, AnOrderFilteredByATextAndAConditionShowsTheRowsBothHoldFor) {
    StepwiseViewer d(counted_dump(30000));
    d.count_to(9000);
    Condition *c = nullptr;
    ConditionError error;
    const std::string text = "n = 3 OR id BETWEEN 100 AND 200";
    const bool parsed = condition_parse(&d.v, text.data(), text.size(), &c, &error) == 1;
    ASSERT_TRUE(parsed) << error.message << " @" << error.position;
    Needle x;
    needle_compile(&x, "x", 1);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    ASSERT_EQ(grid_set_filter(&d.v, &x, c), 1);
    expect_order_sound(d.v);
    std::vector<int32_t> want;
    for (int32_t r = 0; r < d.v.order.rows; ++r)
        if (row_at(d.v, r).find('x') != std::string::npos && condition_holds(c, &d.v, r))
            want.push_back(r);
    std::vector<int32_t> got = shown_rows_of(d.v);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, want);
    EXPECT_GT(want.size(), 0u);
    EXPECT_LT(want.size(), static_cast<size_t>(d.v.order.rows) / 2);

    // The condition alone, in file order over more rows.
    d.count_to(20000);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_NONE), 1);
    ASSERT_EQ(grid_set_filter(&d.v, nullptr, c), 1);
    EXPECT_EQ(d.v.order.rows, d.v.row_count);
    for (int32_t r = 0; r < shown_row_count(&d.v); ++r)
        ASSERT_TRUE(condition_holds(c, &d.v, shown_file_row(&d.v, r)));
    condition_free(c);
}
