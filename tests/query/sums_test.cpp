// The selection's sums where columns of several kinds meet, and the exact sums' own edges.
#include <gtest/gtest.h>

#include <string>

#include "base/strbuf.h"
#include "query/exact_sum.h"
#include "query/selection_sums.h"
#include "temp_dump.h"

namespace {

struct Table {
    LoadedViewer d;
    explicit Table(const std::string &lines)
        : d(magic() +
            section("SQL", "CREATE TABLE t (\n    i integer,\n    n numeric,\n    f double "
                           "precision,\n    s text\n);\n") +
            section("DATA", "COPY t (i, n, f, s) FROM stdin;\n" + lines + "\\.\n")) {}
    std::string sums(int32_t r0, int32_t r1, int32_t c0, int32_t c1) {
        StrBuf out;
        sb_init(&out);
        const int done = selection_sums_text(&d.v, r0, r1, c0, c1, &out);
        std::string text = done ? std::string(out.data, out.len) : "<none>";
        sb_drop(&out);
        return text;
    }
};

std::string exact(std::initializer_list<const char *> values, bool average) {
    ExactSum sum = {};
    for (const char *v : values) EXPECT_EQ(exact_sum_add_text(&sum, v, strlen(v)), 1) << v;
    StrBuf out;
    sb_init(&out);
    (average ? exact_sum_avg_text : exact_sum_text)(&sum, &out);
    std::string text(out.data, out.len);
    sb_drop(&out);
    exact_sum_free(&sum);
    return text;
}

} // namespace

// Integers and numerics sum exactly as numeric; a float among them makes every value float8, as
// the server widens them; text makes the selection no number selection: only its count shows.
TEST(SelectionSums, ColumnsOfSeveralKindsSumAsTheServerWidensThem) {
    Table t("1\t0.10\t0.1\tx\n2\t0.20\t0.2\t\\N\n\\N\t\\N\t\\N\ty\n");
    EXPECT_EQ(t.sums(0, 2, 0, 1), "Count 4   Sum 3.30   Avg 0.82500000000000000000");
    EXPECT_EQ(t.sums(0, 2, 1, 2), "Count 4   Sum 0.6   Avg 0.15");
    EXPECT_EQ(t.sums(0, 2, 0, 3), "Count 8");
    EXPECT_EQ(t.sums(2, 2, 0, 2), "Count 0   Sum null   Avg null");
    EXPECT_EQ(t.sums(0, 0, 2, 2), "Count 1   Sum 0.1   Avg 0.1");
}

// A row with fewer fields than the selection's columns counts what it has.
TEST(SelectionSums, ShortRowsCountTheirFieldsOnly) {
    Table t("5\n6\t1.5\n");
    EXPECT_EQ(t.sums(0, 1, 0, 1), "Count 3   Sum 12.5   Avg 4.1666666666666667");
}

// Sums past 128 bits and scales that differ: each value at the largest scale, exactly.
TEST(ExactSum, DigitsPastAnyMachineWordAndMixedScales) {
    EXPECT_EQ(
        exact({"99999999999999999999999999999999999999999", "1", "0.000000000000000000001"}, false),
        "100000000000000000000000000000000000000000.000000000000000000001");
    EXPECT_EQ(exact({"-1e3", "2.5e-2", "1E2"}, false), "-899.975");
    EXPECT_EQ(exact({"0.1", "-0.1"}, false), "0.0");
    EXPECT_EQ(exact({"-0.00001", "0"}, true), "-0.000005000000000000000000"); // the server's
    EXPECT_EQ(exact({"Infinity", "5"}, true), "Infinity");
    EXPECT_EQ(exact({"-inf", "Infinity"}, false), "NaN");
    EXPECT_EQ(exact({}, true), "null");
    ExactSum sum = {};
    EXPECT_EQ(exact_sum_add_text(&sum, "1.2.3", 5), 0);
    EXPECT_EQ(exact_sum_add_text(&sum, "1e", 2), 0);
    EXPECT_EQ(exact_sum_add_text(&sum, "-NaN", 4), 0);
    EXPECT_EQ(sum.count, 0);
    exact_sum_free(&sum);
}
