// What the server's fixtures cannot hold: damaged files, missing fields, memory that cannot be
// had, and columns large or long enough to reach every path of the sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "alloc_hook.h"
#include "base/stop.h"
#include "find/find.h"
#include "find/needle.h"
#include "grid/shown_rows.h"
#include "work/grid_order.h"
#include "grid/cells.h"
#include "order/order.h"
#include "order/sort_column.h"
#include "temp_dump.h"

namespace {

// A one-column dump whose rows are these fields (already in COPY form).
std::string column_dump(const std::vector<std::string> &fields) {
    std::string lines;
    for (const std::string &f : fields) lines += f + "\n";
    return data_dump("v", lines);
}

std::vector<int32_t> ascending(const Viewer &v, ColumnKind kind, int32_t col = 0) {
    std::vector<int32_t> rows(static_cast<size_t>(v.row_count), -1);
    EXPECT_EQ(order_rows(&v, col, kind, nullptr, v.row_count, rows.data()), 1);
    return rows;
}

std::vector<int32_t> descending(const Viewer &v, ColumnKind kind, int32_t col = 0) {
    std::vector<int32_t> rows = ascending(v, kind, col);
    order_descending(&v, col, kind, rows.data(), v.row_count);
    return rows;
}

using Rows = std::vector<int32_t>;

} // namespace

// A damaged value (text that is no value of the kind; the server writes none) sorts after every
// value and before the NULLs, by its bytes, and a row without the field sorts there as empty.
TEST(OrderRows, DamagedAndMissingFieldsSortBetweenTheValuesAndTheNulls) {
    LoadedViewer d(
        data_dump("a, v", "x\t10\nx\tten\nx\t\\N\nx\t-5\nx\nx\t1e3\nx\t9\nx\t 9\nx\tten\n"));
    ASSERT_EQ(d.loaded, 1);
    // Rows: 0 "10", 1 "ten", 2 NULL, 3 "-5", 4 missing, 5 "1e3", 6 "9", 7 " 9", 8 "ten".
    EXPECT_EQ(ascending(d.v, KIND_INTEGER, 1), (Rows{3, 6, 0, 4, 7, 5, 1, 8, 2}));
    EXPECT_EQ(descending(d.v, KIND_INTEGER, 1), (Rows{2, 1, 8, 5, 7, 4, 0, 6, 3}));
    // Read as numeric, 1e3 is a value.
    EXPECT_EQ(ascending(d.v, KIND_NUMERIC, 1), (Rows{3, 6, 0, 5, 4, 7, 1, 8, 2}));
    EXPECT_GT(order_compare_fields(KIND_INTEGER, "ten", 3, nullptr, 0), 0);
    EXPECT_GT(order_compare_fields(KIND_INTEGER, "ten", 3, "99", 2), 0);
    EXPECT_LT(order_compare_fields(KIND_INTEGER, "ten", 3, "\\N", 2), 0);
    EXPECT_EQ(order_compare_fields(KIND_INTEGER, nullptr, 0, "", 0), 0);
}

// Forms the server never writes but a value's text could be damaged into: each is no value.
TEST(OrderRows, TextThatIsNoValueOfItsKindIsDamaged) {
    const std::pair<ColumnKind, std::vector<const char *>> cases[] = {
        {KIND_INTEGER,
         {"", "-", "+", "1.0", "9223372036854775808", "-9223372036854775809", "1 ",
          "18446744073709551617", "-18446744073709551615", "99999999999999999999"}},
        {KIND_NUMERIC, {"", ".", "-", "1e", "1e+", "1.2.3", "--1", "-NaN", "infinit", "1e9999999"}},
        {KIND_FLOAT, {"0x10", "1,5", "nan1", "1e-"}},
        {KIND_BOOLEAN, {"true", "T", "", "tf"}},
        {KIND_DATE,
         {"2024-02-30", "2023-02-29", "0000-01-01", "2024-13-01", "2024-1-01", "2024-01-01 AD",
          "2024-01-01 bc", "24-01-01x", "infinityy"}},
        {KIND_TIME, {"24:00:01", "12:60:00", "12:00", "12:00:00.", "12:00:00+01", "7"}},
        {KIND_TIMETZ, {"12:00:00", "12:00:00+16", "12:00:00+1", "12:00:00+01:60"}},
        {KIND_TIMESTAMP,
         {"2024-01-01", "2024-01-01T12:00:00", "2024-01-01 12:00:00+01", "294277-06-01 00:00:00",
          "infinity BC"}},
        {KIND_TIMESTAMPTZ, {"2024-01-01 12:00:00", "2024-01-01 12:00:00 BC+01"}},
    };
    for (const auto &[kind, texts] : cases) {
        for (const char *text : texts) {
            // Above the greatest value of every kind, below NULL.
            const char *greatest = kind == KIND_NUMERIC || kind == KIND_FLOAT ? "NaN"
                                   : kind == KIND_BOOLEAN                     ? "t"
                                   : kind == KIND_INTEGER ? "9223372036854775807"
                                   : kind == KIND_TIME    ? "24:00:00"
                                   : kind == KIND_TIMETZ  ? "24:00:00-15:59:59"
                                                          : "infinity";
            EXPECT_GT(order_compare_fields(kind, text, strlen(text), greatest, strlen(greatest)), 0)
                << static_cast<int>(kind) << " " << text;
            EXPECT_LT(order_compare_fields(kind, text, strlen(text), "\\N", 2), 0) << text;
        }
    }
}

// A value past the record's 11 key bytes is read further only where prefixes tie; a long shared
// start is stepped over at once, and escapes that fall across the places where reading resumes
// decode the same as anywhere.
TEST(OrderRows, LongValuesTieBreakOnTheirLaterBytes) {
    const std::string shared(100000, 'y');
    std::vector<std::string> fields = {
        shared + "b",       // 0
        shared + "a",       // 1
        shared,             // 2
        shared + "b",       // 3: equal to row 0
        "yyyyyyyyyy\\\\y",  // 4: a backslash as the 11th byte
        "yyyyyyyyyy\\ty",   // 5: a tab as the 11th byte, below every letter
        "yyyyyyyyyyy\\x7a", // 6: "yyyyyyyyyyyz"
        "yyyyyyyyyyyz",     // 7: equal to row 6
        shared + "\\\\",    // 8
    };
    LoadedViewer d(column_dump(fields));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(ascending(d.v, KIND_TEXT), (Rows{5, 4, 2, 8, 1, 0, 3, 6, 7}));
    EXPECT_EQ(descending(d.v, KIND_TEXT), (Rows{6, 7, 0, 3, 1, 8, 2, 4, 5}));
}

TEST(OrderRows, NumericsThatTieForTheirFirstDigitsBreakOnLaterOnes) {
    std::vector<std::string> fields;
    const std::string digits = "3.14159265358979323846264338327950288419716939937510582097494459";
    // Each field cuts pi after a different digit, and the negated ones too: the longer a positive
    // cut, the greater, and the other way round for the negatives.
    for (size_t cut = 30; cut <= digits.size(); cut += 7) {
        fields.push_back(digits.substr(0, cut));
        fields.push_back("-" + digits.substr(0, cut));
    }
    LoadedViewer d(column_dump(fields));
    ASSERT_EQ(d.loaded, 1);
    Rows rows = ascending(d.v, KIND_NUMERIC);
    std::vector<std::string> sorted;
    for (int32_t r : rows) sorted.push_back(fields[static_cast<size_t>(r)]);
    std::vector<std::string> expected;
    for (size_t i = fields.size(); i-- > 0;)
        if (fields[i][0] == '-') expected.push_back(fields[i]);
    for (const std::string &f : fields)
        if (f[0] != '-') expected.push_back(f);
    EXPECT_EQ(sorted, expected);
}

// Many rows of few values, and of many values with long shared starts: the order matches a stable
// sort by the field comparison.
TEST(OrderRows, ManyRowsOrderAsAStableSortByTheFieldComparison) {
    std::mt19937 rng(7);
    const std::pair<ColumnKind, std::vector<std::string>> columns[] = {
        {KIND_TEXT,
         {"alpha", "alpha bravo", "alpha bravo charlie", "alpha\\tbravo", "", "\\N",
          "alpha bravo charlie delta", "alpha bravo charlie delta echo"}},
        {KIND_NUMERIC,
         {"1", "1.0", "-1", "0.000000000000000000000000001", "NaN", "-Infinity",
          "12345678901234567890.123", "12345678901234567890.1230001", "x"}},
        {KIND_DATE, {"2024-01-01", "0044-03-15 BC", "infinity", "-infinity", "\\N", "bad"}},
    };
    for (const auto &column : columns) {
        const ColumnKind kind = column.first;
        const std::vector<std::string> &values = column.second;
        std::vector<std::string> fields;
        std::uniform_int_distribution<size_t> pick(0, values.size() - 1);
        for (int i = 0; i < 20000; ++i) fields.push_back(values[pick(rng)]);
        LoadedViewer d(column_dump(fields));
        ASSERT_EQ(d.loaded, 1);
        Rows expected(fields.size());
        std::iota(expected.begin(), expected.end(), 0);
        std::stable_sort(expected.begin(), expected.end(), [&](int32_t a, int32_t b) {
            const std::string &x = fields[static_cast<size_t>(a)],
                              &y = fields[static_cast<size_t>(b)];
            return order_compare_fields(kind, x.data(), x.size(), y.data(), y.size()) < 0;
        });
        EXPECT_EQ(ascending(d.v, kind), expected) << static_cast<int>(kind);
    }
}

// The sort finds its fields by a walk of its own, many bytes a step; it must find the grid's
// fields, wherever tabs fall against the steps and however near the end of the rows' block.
TEST(OrderRows, TheSortsFieldsAreTheGridsFields) {
    std::mt19937 rng(5);
    for (int block = 0; block < 300; ++block) {
        std::string lines;
        for (int r = 0, rows = 1 + static_cast<int>(rng() % 5); r < rows; ++r) {
            for (int i = 0, len = static_cast<int>(rng() % 200); i < len; ++i)
                lines += rng() % 6 == 0 ? '\t' : 'a';
            lines += '\n';
        }
        LoadedViewer d(data_dump("v", lines));
        ASSERT_EQ(d.loaded, 1);
        for (int32_t col = 0; col < 45; ++col) {
            SortColumn column = sort_column_of(&d.v, col, KIND_TEXT);
            for (int32_t r = 0; r < d.v.row_count; ++r) {
                size_t expected_len = 0, len = 0;
                uint32_t offset = 0;
                RowLine line = row_line(&d.v, r);
                const char *expected = field_at(line.start, line.end, col, &expected_len);
                const char *field = sort_column_field(&column, r, &len, &offset);
                ASSERT_EQ(field, expected) << "block " << block << " row " << r << " col " << col;
                if (!field) continue;
                ASSERT_EQ(len, expected_len) << "block " << block << " row " << r << " col " << col;
                size_t again = 0;
                ASSERT_EQ(sort_column_field_at(&column, offset, &again), field);
                ASSERT_EQ(again, len);
            }
        }
    }
}

TEST(OrderRows, NoRowsAndOneRow) {
    LoadedViewer d(column_dump({"5"}));
    int32_t out[1] = {-1};
    EXPECT_EQ(order_rows(&d.v, 0, KIND_INTEGER, nullptr, 0, out), 1);
    EXPECT_EQ(out[0], -1);
    order_descending(&d.v, 0, KIND_INTEGER, out, 0);
    EXPECT_EQ(order_rows(&d.v, 0, KIND_INTEGER, nullptr, 1, out), 1);
    EXPECT_EQ(out[0], 0);
    order_descending(&d.v, 0, KIND_INTEGER, out, 1);
    EXPECT_EQ(out[0], 0);
}

using OrderRowsMemory = AllocationHookTest;

TEST_F(OrderRowsMemory, WithoutMemoryNothingIsWrittenAndNothingKept) {
    LoadedViewer d(column_dump({"b", "\\N", "a"}));
    ASSERT_EQ(d.loaded, 1);
    int32_t out[3] = {7, 7, 7};
    long live = mem_live_count();
    mem_fail_after(0);
    EXPECT_EQ(order_rows(&d.v, 0, KIND_TEXT, nullptr, 3, out), 0);
    EXPECT_EQ(out[0], 7);
    EXPECT_EQ(out[2], 7);
    EXPECT_EQ(mem_live_count(), live);
    mem_fail_after(-1);
    EXPECT_EQ(order_rows(&d.v, 0, KIND_TEXT, nullptr, 3, out), 1);
    EXPECT_EQ(mem_live_count(), live);
    EXPECT_EQ(out[0], 2);
    EXPECT_EQ(out[2], 1);
}

namespace {

// Work asked to stop before it begins: the test's own thread pointed at a flag that is set.
class Stopped : public AllocationHookTest {
  protected:
    void SetUp() override {
        AllocationHookTest::SetUp();
        stop_watch(&flag);
    }
    void TearDown() override {
        stop_watch(nullptr);
        AllocationHookTest::TearDown();
    }
    std::atomic<int> flag{1};
};

// 100,000 rows, ids descending, with a text long enough that the rows pass a scan's stretch: the
// last row alone holds "needle".
std::string long_table() {
    std::string lines;
    for (int r = 0; r < 100000; ++r)
        lines += std::to_string(100000 - r) + "\t" + std::string(48, 'a' + r % 26) +
                 (r == 99999 ? "needle" : "") + "\n";
    return data_dump("id, body", lines);
}

} // namespace

TEST_F(Stopped, ASortGivesUpAndKeepsNothingAndTheGridKeepsItsOrder) {
    LoadedViewer d(long_table());
    ASSERT_EQ(d.v.row_count, 100000);
    std::vector<int32_t> out(100000, 7);
    const long live = mem_live_count();
    EXPECT_EQ(order_rows(&d.v, 0, KIND_INTEGER, nullptr, d.v.row_count, out.data()), 0);
    EXPECT_TRUE(stop_seen());
    EXPECT_EQ(mem_live_count(), live);

    // Sorted by the body without a stop, then by the id with one: the body's order stays shown,
    // whole, the cursor on its record.
    stop_watch(nullptr);
    ASSERT_EQ(grid_set_sort(&d.v, 1, SORT_DESC), 1);
    d.v.cur_row = 5;
    const int32_t record = shown_file_row(&d.v, 5);
    const std::vector<int32_t> before(d.v.order.shown, d.v.order.shown + d.v.order.shown_count);
    stop_watch(&flag);
    EXPECT_EQ(grid_set_sort(&d.v, 0, SORT_ASC), 0);
    EXPECT_EQ(order_dir_of(&d.v.order, 1), SORT_DESC);
    EXPECT_EQ(std::vector<int32_t>(d.v.order.shown, d.v.order.shown + d.v.order.shown_count),
              before);
    EXPECT_EQ(shown_file_row(&d.v, d.v.cur_row), record);
}

TEST_F(Stopped, AFilterOrAFindThatGivesUpChangesNothing) {
    LoadedViewer d(long_table());
    Needle needle;
    ASSERT_TRUE(needle_compile(&needle, "needle", 6));
    EXPECT_EQ(grid_set_filter(&d.v, &needle), 0);
    EXPECT_TRUE(stop_seen());
    EXPECT_EQ(d.v.order.filtered, 0);
    EXPECT_EQ(shown_row_count(&d.v), 100000);
    GridHit hit;
    EXPECT_EQ(grid_find(&d.v, &needle, 0, 0, FIND_NEXT, &hit), 0);

    // Unstopped, the same find and filter reach the last row.
    stop_watch(nullptr);
    ASSERT_EQ(grid_find(&d.v, &needle, 0, 0, FIND_NEXT, &hit), 1);
    EXPECT_EQ(hit.row, 99999);
    ASSERT_EQ(grid_set_filter(&d.v, &needle), 1);
    EXPECT_EQ(shown_row_count(&d.v), 1);
    EXPECT_FALSE(stop_seen());
}

namespace {

// A table of `rows` rows whose three columns hold few values (ties on the first keys), NULLs,
// damaged values and missing fields, with its fields kept for a reference comparison.
struct KeyTable {
    std::vector<std::vector<std::string>> fields; // [row][col]; "" past a short row's end
    std::vector<size_t> widths;
    std::unique_ptr<LoadedViewer> dump;
};

KeyTable key_table(int rows, unsigned seed) {
    std::mt19937 rng(seed);
    const std::vector<std::string> values[3] = {
        {"b", "a", "ab", "", "\\N", "a\\tb", "\\x61"},
        {"1", "-2", "+1", "x", "\\N", "10", "1.5"},
        {"1.0", "1.00", "-0", "0", "NaN", "\\N", "2e1", "20", "-Infinity"}};
    KeyTable t;
    std::string lines;
    for (int r = 0; r < rows; ++r) {
        std::vector<std::string> row;
        std::string line;
        const size_t width = rng() % 40 == 0 ? 1 + rng() % 2 : 3; // a line holds field 0
        for (size_t c = 0; c < 3; ++c) {
            row.push_back(c < width ? values[c][rng() % values[c].size()] : "");
            if (c < width) line += (c ? "\t" : "") + row.back();
        }
        t.fields.push_back(row);
        t.widths.push_back(width);
        lines += line + "\n";
    }
    t.dump = std::make_unique<LoadedViewer>(data_dump("a, b, c", lines));
    return t;
}

} // namespace

// Orders by several keys, each either way, over all rows and over a subset: the same as a stable
// sort by the keys' field comparisons, a descending key's comparison turned round.
TEST(OrderRowsBy, SeveralKeysOrderAsAStableSortByEachKeyInTurn) {
    const ColumnKind kinds[3] = {KIND_TEXT, KIND_INTEGER, KIND_NUMERIC};
    for (int rows : {5, 40, 3000}) {
        KeyTable t = key_table(rows, static_cast<unsigned>(rows));
        ASSERT_EQ(t.dump->loaded, 1);
        const Viewer &v = t.dump->v;
        std::mt19937 rng(3);
        for (int trial = 0; trial < 24; ++trial) {
            const int nkeys = 1 + trial % 3;
            std::vector<OrderKey> keys;
            std::vector<ColumnKind> key_kinds;
            for (int k = 0; k < nkeys; ++k) {
                int32_t col = static_cast<int32_t>((trial + k) % 3);
                keys.push_back({col, rng() % 2 ? SORT_DESC : SORT_ASC});
                key_kinds.push_back(kinds[col]);
            }
            auto field = [&](int32_t r, int32_t c) {
                return c < static_cast<int32_t>(t.widths[static_cast<size_t>(r)])
                           ? t.fields[static_cast<size_t>(r)][static_cast<size_t>(c)].c_str()
                           : nullptr;
            };
            auto before = [&](int32_t a, int32_t b) {
                for (const OrderKey &key : keys) {
                    const char *x = field(a, key.col), *y = field(b, key.col);
                    int c = order_compare_fields(kinds[key.col], x, x ? strlen(x) : 0, y,
                                                 y ? strlen(y) : 0);
                    if (c) return key.dir == SORT_DESC ? c > 0 : c < 0;
                }
                return false;
            };
            Rows in;
            for (int32_t r = 0; r < v.row_count; ++r)
                if (trial % 2 == 0 || rng() % 3) in.push_back(r);
            Rows expected = in;
            std::stable_sort(expected.begin(), expected.end(), before);
            Rows out = in;
            const int32_t n = static_cast<int32_t>(in.size());
            ASSERT_EQ(order_rows_by(&v, keys.data(), nkeys, key_kinds.data(),
                                    trial % 2 == 0 ? nullptr : out.data(), n, out.data()),
                      1);
            EXPECT_EQ(out, expected) << rows << " rows, trial " << trial;
        }
    }
}

TEST(OrderRowsBy, NoKeysIsFileOrder) {
    KeyTable t = key_table(10, 1);
    Rows out(10, -1), in = {0, 2, 5};
    ASSERT_EQ(order_rows_by(&t.dump->v, nullptr, 0, nullptr, nullptr, 10, out.data()), 1);
    EXPECT_EQ(out, (Rows{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(order_rows_by(&t.dump->v, nullptr, 0, nullptr, in.data(), 3, out.data()), 1);
    EXPECT_EQ(Rows(out.begin(), out.begin() + 3), in);
}

TEST_F(Stopped, OrdersByOneKeyTurnedRoundOrBySeveralGiveUp) {
    LoadedViewer d(long_table());
    std::vector<int32_t> rows(100000);
    stop_watch(nullptr);
    ASSERT_EQ(order_rows(&d.v, 1, KIND_TEXT, nullptr, d.v.row_count, rows.data()), 1);
    stop_watch(&flag);
    EXPECT_EQ(order_descending(&d.v, 1, KIND_TEXT, rows.data(), d.v.row_count), 0);
    EXPECT_TRUE(stop_seen());
    const OrderKey keys[2] = {{1, SORT_ASC}, {0, SORT_DESC}};
    const ColumnKind kinds[2] = {KIND_TEXT, KIND_INTEGER};
    const long live = mem_live_count();
    EXPECT_EQ(order_rows_by(&d.v, keys, 2, kinds, nullptr, d.v.row_count, rows.data()), 0);
    EXPECT_EQ(mem_live_count(), live);
}

// Runs past the few rows compared one by one are sorted as a column is: the 26 bodies' runs of
// 3,846 rows each.
TEST(OrderRowsBy, LongRunsOfTheFirstKeyComeInTheSecondKeysOrder) {
    LoadedViewer d(long_table());
    std::vector<int32_t> rows(100000);
    const OrderKey keys[2] = {{1, SORT_ASC}, {0, SORT_ASC}};
    const ColumnKind kinds[2] = {KIND_TEXT, KIND_INTEGER};
    ASSERT_EQ(order_rows_by(&d.v, keys, 2, kinds, nullptr, d.v.row_count, rows.data()), 1);
    // Unstopped, each body's rows come by ascending id, which is descending file order.
    for (size_t i = 1; i < 3846; ++i) EXPECT_LT(rows[i], rows[i - 1]);
}
