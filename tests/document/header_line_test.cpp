// The data block's header line: its column names, its table name and the status line.
#include <gtest/gtest.h>

#include <string>

#include "temp_dump.h"

namespace {

// A container whose data block is this header line, these rows and the "\\." line.
std::string dump_with_header(const std::string &header, const std::string &rows = "") {
    return magic() + section("DATA", header + "\n" + rows + "\\.\n");
}

std::string status_of(const std::string &table, int rows) {
    return table + "   \xE2\x80\x94   " + std::to_string(rows) + " rows";
}

} // namespace

TEST(StatusLine, IsNameEmDashAndCountWithThreeBlanksEachSide) {
    LoadedViewer one(dump_with_header("COPY t (a) FROM stdin;", "1\n"));
    ASSERT_EQ(one.loaded, 1);
    // The dash is U+2014 in UTF-8; "rows" stays plural whatever the count.
    EXPECT_STREQ(one.v.status, "t   \xE2\x80\x94   1 rows");
    LoadedViewer none(dump_with_header("COPY t (a) FROM stdin;"));
    ASSERT_EQ(none.loaded, 1);
    EXPECT_STREQ(none.v.status, "t   \xE2\x80\x94   0 rows");
}

TEST(ColumnNames, CommaWithoutBlankDoesNotSplit) {
    LoadedViewer d(dump_with_header("COPY t (a,b) FROM stdin;"));
    ASSERT_EQ(d.v.col_count, 1);
    EXPECT_STREQ(d.v.col_names[0], "a,b");
}

TEST(ColumnNames, KeepTheirBlanksExactlyAsWritten) {
    LoadedViewer d(dump_with_header("COPY t ( a, b ) FROM stdin;"));
    ASSERT_EQ(d.v.col_count, 2);
    EXPECT_STREQ(d.v.col_names[0], " a");
    EXPECT_STREQ(d.v.col_names[1], "b ");
}

TEST(ColumnNames, TrailingSeparatorAddsNoEmptyName) {
    LoadedViewer d(dump_with_header("COPY t (a, b, ) FROM stdin;"));
    ASSERT_EQ(d.v.col_count, 2);
    EXPECT_STREQ(d.v.col_names[0], "a");
    EXPECT_STREQ(d.v.col_names[1], "b");
    EXPECT_EQ(d.v.col_names[2], nullptr);
}

TEST(ColumnNames, NamesDecideTheCountWhateverTheRowsHold) {
    LoadedViewer d(dump_with_header("COPY t (a, b) FROM stdin;", "1\t2\t3\n"));
    EXPECT_EQ(d.v.col_count, 2);
}

TEST(ColumnNames, EmptyListTakesTheCountFromTheFirstRow) {
    LoadedViewer d(dump_with_header("COPY t () FROM stdin;", "1\t2\t3\n4\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.col_count, 3);
    EXPECT_EQ(d.v.col_names[0], nullptr);
    EXPECT_STREQ(d.v.status, status_of("t", 2).c_str());
}

TEST(ColumnNames, UnclosedListGivesNoNamesAndCutsNothing) {
    LoadedViewer d(dump_with_header("COPY t (a, b FROM stdin;", "1\t2\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.col_count, 2);
    EXPECT_EQ(d.v.col_names[0], nullptr);
    EXPECT_STREQ(d.v.status, status_of("t", 1).c_str());
}

TEST(ColumnNames, CountFromTheFirstRowMayExceedTheNameSlots) {
    std::string row = "0";
    for (int i = 1; i < 300; ++i) row += "\t" + std::to_string(i);
    LoadedViewer d(dump_with_header("COPY t FROM stdin;", row + "\n"));
    EXPECT_EQ(d.v.col_count, 300);
    EXPECT_EQ(d.v.col_names[MAX_COLS - 1], nullptr);
}

TEST(ColumnNames, ThreeHundredColumnsKeepTheFirst256AndCutTheLastCleanly) {
    std::string list = "c1";
    for (int i = 2; i <= 300; ++i) list += ", c" + std::to_string(i);
    LoadedViewer d(dump_with_header("COPY wide (" + list + ") FROM stdin;"));
    ASSERT_EQ(d.v.col_count, 256);
    EXPECT_STREQ(d.v.col_names[0], "c1");
    EXPECT_STREQ(d.v.col_names[254], "c255");
    EXPECT_STREQ(d.v.col_names[255], "c256");
    EXPECT_STREQ(d.v.status, status_of("wide", 0).c_str());
}

TEST(ColumnNames, CopyLineKeepsTheWholeHeaderLine) {
    LoadedViewer d(dump_with_header("COPY public.items (id, name, price) FROM stdin;"));
    ASSERT_EQ(d.v.col_count, 3);
    EXPECT_STREQ(d.v.copy_line, "COPY public.items (id, name, price) FROM stdin;");
    EXPECT_STREQ(d.v.status, status_of("public.items", 0).c_str());
}

TEST(TableName, RunsIntoTheColumnListWhenNoBlankPrecedesIt) {
    LoadedViewer split(dump_with_header("COPY t(a, b) FROM stdin;"));
    EXPECT_STREQ(split.v.status, status_of("t(a", 0).c_str());
    ASSERT_EQ(split.v.col_count, 2);
    EXPECT_STREQ(split.v.col_names[0], "a");
    EXPECT_STREQ(split.v.col_names[1], "b");
    LoadedViewer closed(dump_with_header("COPY t(a)x FROM stdin;"));
    EXPECT_STREQ(closed.v.status, status_of("t(a", 0).c_str());
}

TEST(TableName, CopyAloneIsCalledTable) {
    LoadedViewer d(magic() + section("DATA", "COPY"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_STREQ(d.v.copy_line, "COPY");
    EXPECT_EQ(d.v.row_count, 0);
    EXPECT_STREQ(d.v.status, status_of("table", 0).c_str());
}

TEST(TableName, BlankSixthByteGivesTable) {
    LoadedViewer d(dump_with_header("COPY  t (a) FROM stdin;"));
    EXPECT_STREQ(d.v.status, status_of("table", 0).c_str());
}

TEST(TableName, FirstFiveBytesAreSkippedWhateverTheyAre) {
    LoadedViewer d(dump_with_header("INSERT x"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_STREQ(d.v.status, status_of("T", 0).c_str());
}

TEST(TableName, IsCutAt255BytesEvenInsideACharacter) {
    const std::string name = std::string(254, 'x') + "\xC3\xA9"; // 254 x and an e-acute
    LoadedViewer d(dump_with_header("COPY " + name + " (a) FROM stdin;"));
    EXPECT_STREQ(d.v.status, status_of(std::string(254, 'x') + "\xC3", 0).c_str());
}

// PostgreSQL quotes identifiers that need it; a quoted stretch is one unit for the closing ")",
// for the ", " split and for the blank that ends the table name, and the quotes stay.
TEST(QuotedIdentifiers, BlanksInsideQuotesBelongToTheName) {
    LoadedViewer d(dump_with_header(
        "COPY public.\"Order Lines\" (\"Line No\", qty, \"Unit Price\") FROM stdin;",
        "1\t2\t9.99\n"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.col_count, 3);
    EXPECT_STREQ(d.v.col_names[0], "\"Line No\"");
    EXPECT_STREQ(d.v.col_names[1], "qty");
    EXPECT_STREQ(d.v.col_names[2], "\"Unit Price\"");
    EXPECT_STREQ(d.v.status, status_of("public.\"Order Lines\"", 1).c_str());
    EXPECT_STREQ(d.v.copy_line,
                 "COPY public.\"Order Lines\" (\"Line No\", qty, \"Unit Price\") FROM stdin;");
}

TEST(QuotedIdentifiers, SeparatorsParenthesesAndDoubledQuotesInsideQuotesStay) {
    LoadedViewer d(dump_with_header(
        "COPY public.odd (id, \"x, y\", \"a)b\", \"say \"\"hi\"\"\", last) FROM stdin;"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.col_count, 5);
    EXPECT_STREQ(d.v.col_names[0], "id");
    EXPECT_STREQ(d.v.col_names[1], "\"x, y\"");
    EXPECT_STREQ(d.v.col_names[2], "\"a)b\"");
    EXPECT_STREQ(d.v.col_names[3], "\"say \"\"hi\"\"\"");
    EXPECT_STREQ(d.v.col_names[4], "last");
    EXPECT_STREQ(d.v.status, status_of("public.odd", 0).c_str());
}
