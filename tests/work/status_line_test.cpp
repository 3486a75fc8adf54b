// The rules the Windows side only routes: what a header click (with Shift or without) makes of the
// sort keys, where the go-to bar takes the cursor, when the selection's sums are worked out, and
// how the status line says what filters, sorts and is selected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/cursor.h"
#include "grid/shown_rows.h"
#include "temp_dump.h"
#include "work/go_to.h"
#include "work/order_status.h"
#include "work/selection_status.h"
#include "work/sort_keys.h"

namespace {

using Keys = std::vector<std::pair<int, char>>; // column, '+' ascending or '-' descending

Keys click(const Keys &now, int col, bool shift) {
    OrderKey in[ORDER_KEYS_MAX], out[ORDER_KEYS_MAX];
    for (size_t k = 0; k < now.size(); ++k)
        in[k] = OrderKey{now[k].first, now[k].second == '+' ? SORT_ASC : SORT_DESC};
    const int32_t n = keys_after_click(in, static_cast<int32_t>(now.size()), col, shift, out);
    Keys after;
    for (int32_t k = 0; k < n; ++k)
        after.push_back({out[k].col, out[k].dir == SORT_ASC ? '+' : '-'});
    return after;
}

const std::string kOrders =
    magic() +
    section("SQL", "CREATE TABLE public.orders (\n    customer text,\n    created date,\n"
                   "    \"Unit Price\" numeric(10,2),\n    qty integer\n);\n") +
    section("DATA", "COPY public.orders (customer, created, \"Unit Price\", qty) FROM stdin;\n"
                    "ann\t2024-01-02\t10.50\t2\n"
                    "bob\t2024-01-01\t\\N\t3\n"
                    "ann\t2023-12-31\t1.25\t\\N\n"
                    "cid\t2024-02-01\t100\t1\n"
                    "\\.\n");

std::string status(const Viewer *v, const StatusParts *parts = nullptr, size_t n = 600) {
    std::vector<char> out(n ? n : 1, '#');
    format_grid_status(out.data(), n, v, parts);
    return n ? std::string(out.data()) : std::string();
}

} // namespace

TEST(SortKeys, APlainClickSortsByTheColumnAloneAndShiftClicksBuildTheKeys) {
    EXPECT_EQ(click({}, 2, false), (Keys{{2, '+'}}));
    EXPECT_EQ(click({{2, '+'}}, 2, false), (Keys{{2, '-'}}));
    EXPECT_EQ(click({{2, '-'}}, 2, false), Keys{}) << "the third click: file order";
    EXPECT_EQ(click({{2, '+'}, {0, '-'}}, 2, false), (Keys{{2, '+'}}))
        << "one of several keys clicked alone starts again, ascending";
    EXPECT_EQ(click({{2, '+'}}, 0, false), (Keys{{0, '+'}}));

    EXPECT_EQ(click({}, 1, true), (Keys{{1, '+'}}));
    EXPECT_EQ(click({{1, '+'}}, 3, true), (Keys{{1, '+'}, {3, '+'}})) << "the next key";
    EXPECT_EQ(click({{1, '+'}, {3, '+'}}, 3, true), (Keys{{1, '+'}, {3, '-'}})) << "turned round";
    EXPECT_EQ(click({{1, '+'}, {3, '-'}}, 3, true), (Keys{{1, '+'}})) << "taken out";
    EXPECT_EQ(click({{1, '-'}, {3, '+'}, {0, '+'}}, 1, true), (Keys{{3, '+'}, {0, '+'}}))
        << "the others keep their places";
    Keys full;
    for (int c = 0; c < ORDER_KEYS_MAX; ++c) full.push_back({c, '+'});
    EXPECT_EQ(click(full, ORDER_KEYS_MAX, true), full) << "no room for another key";
    EXPECT_EQ(click(full, 0, true).front(), (std::pair<int, char>{0, '-'}));
}

TEST(GoTo, ARowNumberAsTypedOrPastTheEndOrNone) {
    char said[96];
    int32_t row = -1;
    EXPECT_EQ(go_to_row(" 1,234 ", 7, 5000, &row, said, sizeof said), GOTO_ROW);
    EXPECT_EQ(row, 1233);
    EXPECT_STREQ(said, "");
    EXPECT_EQ(go_to_row("1", 1, 5000, &row, said, sizeof said), GOTO_ROW);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(go_to_row("5001", 4, 5000, &row, said, sizeof said), GOTO_LAST);
    EXPECT_EQ(row, 4999);
    EXPECT_STREQ(said, "Past the end: row 5,000 is the last");
    EXPECT_EQ(go_to_row("99999999999999999999", 20, 7, &row, said, sizeof said), GOTO_LAST);
    EXPECT_EQ(row, 6);
    EXPECT_EQ(go_to_row("0", 1, 7, &row, said, sizeof said), GOTO_NOT_A_ROW);
    EXPECT_STREQ(said, "Type a row number, 1 to 7");
    EXPECT_EQ(go_to_row("12a", 3, 7, &row, said, sizeof said), GOTO_NOT_A_ROW);
    EXPECT_EQ(go_to_row("1", 1, 0, &row, said, sizeof said), GOTO_NO_ROWS);
    EXPECT_STREQ(said, "No rows to go to");
}

TEST(SelectionStatus, SmallSelectionsAreSummedAtOnceLargeOnesLaterAndStoppedOnesNotAgain) {
    LoadedViewer d(kOrders);
    KeptSums kept = {};
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NONE) << "one cell";
    EXPECT_EQ(sums_shown(&d.v, &kept), nullptr);
    d.v.cur_row = 3;
    d.v.cur_col = 3;
    d.v.anchor_col = 2;
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NOW);
    EXPECT_STREQ(sums_shown(&d.v, &kept), "Count \xE2\x80\xA6");
    ASSERT_EQ(sums_work_out(&d.v, &kept), 1);
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_KEPT);
    EXPECT_STREQ(sums_shown(&d.v, &kept), "Count 6   Sum 117.75   Avg 19.6250000000000000");
    d.v.cur_col = 1;
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NOW) << "other cells";
    ASSERT_EQ(sums_work_out(&d.v, &kept), 1);
    EXPECT_STREQ(kept.text, "Count 7") << "a date among them: no sum";
    sums_forget(&kept);
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NOW) << "forgotten: the same rectangle, other rows";

    const SelectionRect all = selection_rect(&d.v);
    sums_refuse(&kept, all);
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NONE) << "stopped: not again for the same cells";
    d.v.cur_row = 2;
    EXPECT_EQ(sums_when(&d.v, &kept), SUMS_NOW);

    EXPECT_EQ(selection_cells(SelectionRect{0, 99999, 0, 0}), 100000);
    EXPECT_EQ(selection_cells(SelectionRect{0, 2147483646, 0, 1599}), 2147483647ll * 1600);
    std::string lines;
    for (int r = 0; r < 50001; ++r) lines += "1\t2\n";
    LoadedViewer big(data_dump("a, b", lines));
    grid_apply_key(&big.v, KEY_A, 1, 0, 0);
    EXPECT_EQ(sums_when(&big.v, &kept), SUMS_LATER) << "100,002 cells";
    big.v.anchor_row = 1;
    EXPECT_EQ(sums_when(&big.v, &kept), SUMS_NOW) << "100,000 cells";

    sums_keep(&kept, all, std::string(300, '9').c_str(), 300);
    EXPECT_EQ(std::string(kept.text), std::string(SUMS_TEXT_MAX, '9') + "\xE2\x80\xA6");
}

TEST(StatusLine, ItNamesTheFilterTheKeysAndTheCursorsColumnOrTheSums) {
    LoadedViewer d(kOrders);
    d.v.tab = TAB_DATA;
    EXPECT_EQ(status(&d.v), "public.orders   \xE2\x80\x94   4 rows   \xC2\xB7   customer text");

    Condition *ann = condition_for_cell(&d.v, 0, CELL_EQUAL, "ann", 3);
    RowFilter f;
    ASSERT_EQ(row_filter_with_value(&f, nullptr, ann), 1);
    ASSERT_EQ(grid_set_filter(&d.v, nullptr, f.all), 1);
    const OrderKey keys[] = {{2, SORT_ASC}, {1, SORT_DESC}};
    ASSERT_EQ(grid_set_keys(&d.v, keys, 2), 1);
    const StatusParts parts = {&f, nullptr};
    EXPECT_EQ(status(&d.v, &parts),
              "public.orders   \xE2\x80\x94   customer = 'ann' \xE2\x80\x94 2 "
              "of 4 rows   \xC2\xB7   sorted by \"Unit Price\" \xE2\x86\x91, "
              "created \xE2\x86\x93   \xC2\xB7   customer text");
    EXPECT_EQ(status(&d.v),
              "public.orders   \xE2\x80\x94   2 of 4 rows   \xC2\xB7   sorted by "
              "\"Unit Price\" \xE2\x86\x91, created \xE2\x86\x93   \xC2\xB7   customer "
              "text")
        << "a filter not given is not named";

    const StatusParts sums = {&f, "Count 2"};
    EXPECT_EQ(status(&d.v, &sums).substr(status(&d.v, &sums).rfind("   \xC2\xB7   ")),
              "   \xC2\xB7   Count 2")
        << "the sums in the column's place";
    d.v.tab = TAB_SQL;
    EXPECT_EQ(status(&d.v, &sums), "public.orders   \xE2\x80\x94   customer = 'ann' \xE2\x80\x94 2 "
                                   "of 4 rows")
        << "the grid's keys and cells are the Data tab's";
    row_filter_free(&f);
}

TEST(StatusLine, ALongFilterIsCutSoThatTheCountShowsAndEverythingIsCutAtACharacter) {
    LoadedViewer d(kOrders);
    d.v.tab = TAB_DATA;
    std::string text = "\xC3\xA9";
    while (text.size() < 400) text += "\xC3\xA9";
    RowFilter f;
    ASSERT_EQ(row_filter_with_bar(&f, nullptr, text.data(), text.size(), nullptr), 1);
    Needle needle;
    ASSERT_EQ(needle_compile(&needle, text.data(), text.size()), 1);
    ASSERT_EQ(grid_set_filter(&d.v, &needle), 1);
    const StatusParts parts = {&f, nullptr};
    const std::string line = status(&d.v, &parts);
    const size_t dash = line.find(" \xE2\x80\x94 0 of 4 rows");
    ASSERT_NE(dash, std::string::npos) << line;
    EXPECT_EQ(line.substr(dash - 3, 3), "\xE2\x80\xA6") << "cut, and says so";
    EXPECT_LE(dash,
              std::string("public.orders   \xE2\x80\x94   ").size() + STATUS_FILTER_NAME_MAX + 3);
    for (size_t n : {1u, 40u, 41u, 42u, 43u}) {
        const std::string cut = status(&d.v, &parts, n);
        EXPECT_LT(cut.size(), n);
        EXPECT_EQ(cut, line.substr(0, cut.size()));
        const unsigned char next = static_cast<unsigned char>(line[cut.size()]);
        EXPECT_NE(next & 0xC0, 0x80) << "cut inside a character at " << n;
    }
    row_filter_free(&f);
}
