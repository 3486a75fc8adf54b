// What the server's answers cannot show: how the bar tells a condition from a search text, the
// reasons and positions of texts it cannot read, names as the header writes them, conditions made
// from cells and joined, ILIKE beyond ASCII, memory that cannot be had and work asked to stop.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "alloc_hook.h"
#include "base/stop.h"
#include "base/strbuf.h"
#include "query/condition.h"
#include "temp_dump.h"

namespace {

// An order-lines table as pg_dump writes one, names needing quotes among them.
struct Orders {
    LoadedViewer d;
    Orders()
        : d(magic() +
            section("SQL", "CREATE TABLE public.lines (\n    \"Order Id\" integer,\n    status "
                           "text,\n    \"Unit Price\" numeric(10,2),\n    \"Paid\" boolean,\n    "
                           "code character(4)\n);\n") +
            section("DATA", "COPY public.lines (\"Order Id\", status, \"Unit Price\", \"Paid\", "
                            "code) FROM stdin;\n"
                            "1\tpaid\t100.00\tt\tab  \n"
                            "2\topen\t250.50\tf\tAB  \n"
                            "3\tpaid\t\\N\tt\t\\N\n"
                            "4\tÉTÉ\t99.99\t\\N\tétés\n"
                            "5\tpaid\t1000\tf\tab\\tc\n"
                            "\\.\n")) {}

    // The ids of the rows a condition holds for, or its error as "message @position".
    std::string rows(const std::string &text) {
        Condition *c = nullptr;
        ConditionError error;
        if (!condition_parse(&d.v, text.data(), text.size(), &c, &error))
            return std::string(error.message) + " @" + std::to_string(error.position);
        std::string ids = matches(c);
        condition_free(c);
        return ids;
    }
    std::string matches(const Condition *c) {
        std::string ids;
        for (int32_t r = 0; r < d.v.row_count; ++r)
            if (condition_holds(c, &d.v, r)) ids += std::to_string(r + 1);
        return ids;
    }
    std::string named(const Condition *c) {
        StrBuf out;
        sb_init(&out);
        condition_text(c, &d.v, &out);
        std::string text(out.data, out.len);
        sb_drop(&out);
        return text;
    }
    bool looks_like(const std::string &text) {
        return condition_looks_like(&d.v, text.data(), text.size());
    }
};

} // namespace

TEST(Condition, ATextIsAConditionWhenItStartsWithAColumnAndAnOperator) {
    Orders o;
    for (const char *text :
         {"status = 'paid'", "  \"Unit Price\" > 100", "Unit Price > 100", "STATUS is null",
          "(status = 'x' OR Paid)", "NOT status LIKE 'p%'", "\"Order Id\" in (1)", "Paid=true",
          "Order Id between 1 and 2", "status <> ", "status not like 'a'"})
        EXPECT_TRUE(o.looks_like(text)) << text;
    for (const char *text : {"paid", "status", "status paid", "Unit = 4", "\"unit price\" > 1",
                             "price > 100", "not paid", "(paid)", "1 = 1", ""})
        EXPECT_FALSE(o.looks_like(text)) << text;
}

// Quoted names match exactly; unquoted ones as the header writes them without quotes, or folded
// to lower case as the server folds them.
TEST(Condition, ColumnsAreNamedAsTheHeaderShowsThem) {
    Orders o;
    EXPECT_EQ(o.rows("\"Unit Price\" > 100"), "25");
    EXPECT_EQ(o.rows("Unit Price > 100"), "25");
    EXPECT_EQ(o.rows("STATUS = 'paid' AND Paid = true"), "13");
    EXPECT_EQ(o.rows("\"Order Id\" = 2 OR Order Id = 4"), "24");
}

TEST(Condition, TextsItCannotReadSayWhyAndWhere) {
    Orders o;
    const std::pair<const char *, const char *> cases[] = {
        {"status = 'paid", "the string is not closed: a ' is missing @10"},
        {"status = paid", "a value was expected: a number or a 'quoted string' @10"},
        {"status = NULL", "NULL is no value to compare with: write IS NULL or IS NOT NULL @10"},
        {"\"Unit Price\" > 'cheap'", "'cheap' is not a value of numeric(10,2) @16"},
        {"\"Order Id\" = '1.5'", "'1.5' is not a value of integer @14"},
        {"Paid = 1", "a boolean is 'true' or 'false', not 1 @8"},
        {"status IS 'x'", "NULL was expected after IS @11"},
        {"status = 'a' AND", "a column's name was expected @17"},
        {"status = 'a' AND Paid",
         "an operator was expected after the column: = <> < <= > >= IS LIKE ILIKE BETWEEN IN "
         "@22"},
        {"status = 'a' AND price > 1", "no column is named price @18"},
        {"status = 'a' garbage", "AND or OR was expected, or the end @14"},
        {"(status = 'a'", ") was expected @14"},
        {"status = 'a')", "this ) closes no ( @13"},
        {"status IN ('a' 'b')", ", or ) was expected in the list of IN @16"},
        {"status BETWEEN 'a' OR 'b'", "AND was expected between the two values of BETWEEN @20"},
        {"status LIKE 'a\\'", "a LIKE pattern cannot end with \\ @13"},
        {"status NOT = 'a'", "LIKE, ILIKE, BETWEEN or IN was expected after NOT @12"},
        {"ÉTÉ = 1 OR status ~ 'a'", "no column is named ÉTÉ @1"},
        {"status = 'é' OR status ~ 'a'",
         "an operator was expected after the column: = <> < <= > >= IS LIKE ILIKE BETWEEN IN "
         "@24"},
    };
    for (const auto &[text, expected] : cases) EXPECT_EQ(o.rows(text), expected) << text;
}

// NULL matches no comparison, and NOT of an unknown is unknown; a field that is no value is as NULL
// to comparisons; character(n) compares without its blanks; ILIKE folds case beyond ASCII.
TEST(Condition, ThreeValuedLogicPaddingAndCase) {
    Orders o;
    EXPECT_EQ(o.rows("\"Unit Price\" < 200"), "14");
    EXPECT_EQ(o.rows("NOT \"Unit Price\" < 200"), "25");
    EXPECT_EQ(o.rows("\"Unit Price\" < 200 OR status = 'paid'"), "1345");
    EXPECT_EQ(o.rows("NOT (\"Unit Price\" > 0 AND Paid = false)"), "13");
    EXPECT_EQ(o.rows("code = 'ab'"), "1");
    EXPECT_EQ(o.rows("code = 'ab\tc'"), "5");
    EXPECT_EQ(o.rows("code ILIKE 'ÉTÉS'"), "4");
    EXPECT_EQ(o.rows("status ILIKE '%été%'"), "4");
    EXPECT_EQ(o.rows("status LIKE '%été%'"), "");
    EXPECT_EQ(o.rows("code ILIKE 'a_%'"), "125");
    EXPECT_EQ(o.rows("Paid IS NOT NULL AND NOT Paid = 'no'"), "13");
}

TEST(Condition, CellsMakeConditionsAndConditionsJoinAsTheStatusLineNamesThem) {
    Orders o;
    Condition *price = condition_for_cell(&o.d.v, 2, CELL_EQUAL, "1000.00", 7);
    ASSERT_NE(price, nullptr);
    EXPECT_EQ(o.matches(price), "5");
    EXPECT_EQ(o.named(price), "\"Unit Price\" = 1000.00");
    Condition *open = condition_for_cell(&o.d.v, 1, CELL_NOT_EQUAL, "open", 4);
    EXPECT_EQ(o.named(open), "status <> 'open'");
    Condition *both = condition_and(price, open);
    EXPECT_EQ(o.matches(both), "5");
    Condition *typed = nullptr;
    ConditionError error;
    const std::string text = "status = 'it''s' OR NOT (Paid IS NULL AND code LIKE 'a%')";
    ASSERT_EQ(condition_parse(&o.d.v, text.data(), text.size(), &typed, &error), 1);
    both = condition_and(both, typed);
    EXPECT_EQ(o.named(both), "\"Unit Price\" = 1000.00 AND status <> 'open' AND (status = 'it''s' "
                             "OR NOT (\"Paid\" IS NULL AND code LIKE 'a%'))");
    EXPECT_EQ(o.matches(both), "5");
    condition_free(both);

    // A NULL cell's value tests IS NULL; "not equal" leaves NULL rows out, as <> does.
    Condition *null = condition_for_cell(&o.d.v, 2, CELL_EQUAL, "\\N", 2);
    EXPECT_EQ(o.named(null), "\"Unit Price\" IS NULL");
    EXPECT_EQ(o.matches(null), "3");
    condition_free(null);
    Condition *not_paid = condition_for_cell(&o.d.v, 3, CELL_NOT_EQUAL, "t", 1);
    EXPECT_EQ(o.matches(not_paid), "25");
    condition_free(not_paid);
    Condition *padded = condition_for_cell(&o.d.v, 4, CELL_EQUAL, "AB  ", 4);
    EXPECT_EQ(o.matches(padded), "2");
    condition_free(padded);
    EXPECT_EQ(condition_and(nullptr, nullptr), nullptr);
}

// Conditions joined one after another in any grouping read the same: AND and OR need parentheses
// only where an OR stands under an AND. A copy tests and reads as the condition it copies, and
// outlives it.
TEST(Condition, JoinedConditionsAreNamedWithTheParenthesesTheyNeedAndCopiesStandAlone) {
    Orders o;
    Condition *a = condition_for_cell(&o.d.v, 1, CELL_EQUAL, "paid", 4);
    Condition *b = condition_for_cell(&o.d.v, 3, CELL_EQUAL, "t", 1);
    Condition *c = condition_for_cell(&o.d.v, 2, CELL_NOT_NULL, nullptr, 0);
    Condition *right = condition_and(a, condition_and(b, c));
    EXPECT_EQ(o.named(right), "status = 'paid' AND \"Paid\" = 't' AND \"Unit Price\" IS NOT NULL");
    EXPECT_EQ(o.matches(right), "1");
    Condition *copy = condition_copy(right);
    condition_free(right);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(o.named(copy), "status = 'paid' AND \"Paid\" = 't' AND \"Unit Price\" IS NOT NULL");
    EXPECT_EQ(o.matches(copy), "1");
    StrBuf out;
    sb_init(&out);
    condition_text_after_and(copy, &o.d.v, &out);
    EXPECT_EQ(std::string(out.data, out.len), o.named(copy)) << "an AND needs none after an AND";
    sb_drop(&out);
    condition_free(copy);

    Condition *either = nullptr;
    ConditionError error;
    const std::string text = "status = 'open' OR (code = 'ab' OR \"Order Id\" = 4)";
    ASSERT_EQ(condition_parse(&o.d.v, text.data(), text.size(), &either, &error), 1);
    EXPECT_EQ(o.named(either), "status = 'open' OR code = 'ab' OR \"Order Id\" = 4");
    EXPECT_EQ(o.matches(either), "124");
    sb_init(&out);
    condition_text_after_and(either, &o.d.v, &out);
    EXPECT_EQ(std::string(out.data, out.len),
              "(status = 'open' OR code = 'ab' OR \"Order Id\" = 4)");
    sb_drop(&out);
    condition_free(either);
    EXPECT_EQ(condition_copy(nullptr), nullptr);
}

using ConditionMemory = AllocationHookTest;

TEST_F(ConditionMemory, WithoutMemoryThereIsNoConditionAndNothingIsKept) {
    Orders o;
    const std::string text = "status IN ('a', 'b', 'c') OR NOT \"Unit Price\" BETWEEN 1 AND 2";
    for (long fail = 0;; ++fail) {
        const long live = mem_live_count();
        Condition *c = nullptr;
        ConditionError error;
        mem_fail_after(fail);
        const int parsed = condition_parse(&o.d.v, text.data(), text.size(), &c, &error);
        Condition *cell = parsed ? condition_for_cell(&o.d.v, 0, CELL_EQUAL, "1", 1) : nullptr;
        Condition *both = parsed && cell ? condition_and(c, cell) : nullptr;
        mem_fail_after(-1);
        if (!parsed) {
            EXPECT_EQ(c, nullptr);
            EXPECT_STREQ(error.message, "not enough memory for the condition");
        } else if (!cell) {
            condition_free(c);
        } else if (both) {
            EXPECT_EQ(o.matches(both), "1");
            condition_free(both);
            EXPECT_EQ(mem_live_count(), live);
            break;
        }
        EXPECT_EQ(mem_live_count(), live) << "failing allocation " << fail;
    }
}

TEST(Condition, AskedToStopTheMarkGivesUp) {
    std::string lines;
    for (int i = 0; i < 70000; ++i) lines += std::to_string(i) + "\n";
    LoadedViewer d(data_dump("n", lines));
    Condition *c = nullptr;
    ConditionError error;
    ASSERT_EQ(condition_parse(&d.v, "n LIKE '%7'", 11, &c, &error), 1) << error.message;
    std::vector<uint8_t> bits(70000 / 8 + 1);
    std::atomic<int> flag{1};
    stop_watch(&flag);
    EXPECT_EQ(condition_mark(c, &d.v, nullptr, d.v.row_count, bits.data()), -1);
    stop_watch(nullptr);
    EXPECT_EQ(condition_mark(c, &d.v, nullptr, d.v.row_count, bits.data()), 7000);
    condition_free(c);
}
