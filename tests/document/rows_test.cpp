// The data block's rows: where the block ends, and what counts as a row.
#include <gtest/gtest.h>

#include <string>

#include "temp_dump.h"

namespace {

const std::string kHeader = "COPY t (a, b) FROM stdin;\n";

std::string status_of(const std::string &table, int rows) {
    return table + "   \xE2\x80\x94   " + std::to_string(rows) + " rows";
}

} // namespace

TEST(Rows, KeepTheirFieldsAndEscapesAsWritten) {
    LoadedViewer d(magic() + section("DATA", kHeader + "a\\tb\t\\N\n\\\\x\t\n\\.\n"));
    ASSERT_EQ(d.v.row_count, 2);
    EXPECT_EQ(row_at(d.v, 0), "a\\tb\t\\N");
    EXPECT_EQ(row_at(d.v, 1), "\\\\x\t");
}

TEST(Rows, TerminatorInTheMiddleEndsTheBlock) {
    LoadedViewer d(magic() + section("DATA", kHeader + "1\tx\n\\.\n2\ty\n"));
    ASSERT_EQ(d.v.row_count, 1);
    EXPECT_EQ(row_at(d.v, 0), "1\tx");
    EXPECT_STREQ(d.v.status, status_of("t", 1).c_str());
}

TEST(Rows, OnlyAnExactTerminatorLineEndsTheBlock) {
    LoadedViewer d(magic() + section("DATA", kHeader + "\\. \n \\.\n\\.x\n\\\n\\.\n"));
    ASSERT_EQ(d.v.row_count, 4);
    EXPECT_EQ(row_at(d.v, 0), "\\. ");
    EXPECT_EQ(row_at(d.v, 1), " \\.");
    EXPECT_EQ(row_at(d.v, 2), "\\.x");
    EXPECT_EQ(row_at(d.v, 3), "\\");
}

TEST(Rows, WithoutTerminatorRunToTheEndOfTheFile) {
    LoadedViewer final_lf(magic() + section("DATA", kHeader + "1\tx\n2\ty\n"));
    ASSERT_EQ(final_lf.v.row_count, 2); // the final line feed adds no empty row
    EXPECT_EQ(row_at(final_lf.v, 1), "2\ty");
    LoadedViewer no_lf(magic() + section("DATA", kHeader + "1\tx\n2\ty"));
    ASSERT_EQ(no_lf.v.row_count, 2);
    EXPECT_EQ(row_at(no_lf.v, 1), "2\ty");
}

TEST(Rows, EmptyLineInsideTheBlockIsARow) {
    LoadedViewer d(magic() + section("DATA", kHeader + "1\tx\n\n2\ty\n\\.\n"));
    ASSERT_EQ(d.v.row_count, 3);
    EXPECT_EQ(row_at(d.v, 1), "");
}

TEST(Rows, HeaderWithoutRowsGivesNone) {
    LoadedViewer with_lf(magic() + section("DATA", kHeader));
    ASSERT_EQ(with_lf.loaded, 1);
    EXPECT_EQ(with_lf.v.row_count, 0);
    EXPECT_EQ(with_lf.v.col_count, 2);
    EXPECT_STREQ(with_lf.v.status, status_of("t", 0).c_str());
    LoadedViewer without_lf(magic() + section("DATA", "COPY t (a) FROM stdin;"));
    EXPECT_EQ(without_lf.v.row_count, 0);
    EXPECT_EQ(without_lf.v.col_count, 1);
    EXPECT_STREQ(without_lf.v.copy_line, "COPY t (a) FROM stdin;");
}

TEST(Rows, DataMarkerEndingTheFileGivesAnEmptyHeaderLine) {
    LoadedViewer d(magic() + section("DATA", ""));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_NE(d.v.copy_line, nullptr);
    EXPECT_STREQ(d.v.copy_line, "");
    EXPECT_EQ(d.v.row_count, 0);
    EXPECT_EQ(d.v.col_count, 0);
    EXPECT_STREQ(d.v.status, status_of("table", 0).c_str());
}

TEST(Rows, EmptyHeaderLineStillHasRows) {
    LoadedViewer d(magic() + section("DATA", "\n1\t2\t3\n\\.\n"));
    ASSERT_EQ(d.v.row_count, 1);
    EXPECT_EQ(d.v.col_count, 3);
    EXPECT_STREQ(d.v.status, status_of("table", 1).c_str());
}

TEST(Rows, CarriageReturnsStayAndTheCrTerminatorEndsNothing) {
    // Markers end in a bare line feed; the block's lines end in CR LF.
    LoadedViewer d(magic() +
                   section("DATA", "COPY t (a, b) FROM stdin;\r\n1\tx\r\n\\.\r\nafter\r\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_STREQ(d.v.copy_line, "COPY t (a, b) FROM stdin;\r");
    ASSERT_EQ(d.v.col_count, 2);
    EXPECT_STREQ(d.v.col_names[1], "b");
    ASSERT_EQ(d.v.row_count, 3);
    EXPECT_EQ(row_at(d.v, 0), "1\tx\r");
    EXPECT_EQ(row_at(d.v, 1), "\\.\r");
    EXPECT_EQ(row_at(d.v, 2), "after\r");
}

TEST(Rows, UnterminatedBlockTakesAFollowingInfoSectionAsRows) {
    LoadedViewer d(magic() + section("DATA", kHeader + "1\tx\n") +
                   section("INFO", "first line\nsecond line\n"));
    ASSERT_EQ(d.v.row_count, 4);
    EXPECT_EQ(row_at(d.v, 1), "\x01[INFO]");
    EXPECT_EQ(row_at(d.v, 2), "first line");
    EXPECT_EQ(row_at(d.v, 3), "second line");
    // The rows are read where they lie, so the information text keeps its lines.
    EXPECT_EQ(info_of(d.v), "first line\nsecond line\n");
}

TEST(Rows, UnterminatedBlockStopsWhereALaterSectionWasCut) {
    // The SQL text ends at the INFO marker's 0x01, and so does the data block it lies in.
    LoadedViewer d(magic() + section("DATA", kHeader + "1\tx\n") + section("SQL", "create\n") +
                   section("INFO", "about\n"));
    ASSERT_EQ(d.v.row_count, 3);
    EXPECT_EQ(row_at(d.v, 1), "\x01[SQL]");
    EXPECT_EQ(row_at(d.v, 2), "create");
    EXPECT_EQ(sql_of(d.v), "create\n");
    EXPECT_EQ(info_of(d.v), "about\n");
}

TEST(Rows, NulByteEndsTheBlock) {
    LoadedViewer d(
        magic() + section("DATA", kHeader + "1\tx\n2\ty" + std::string(1, '\0') + "\n3\tz\n\\.\n"));
    ASSERT_EQ(d.v.row_count, 2);
    EXPECT_EQ(row_at(d.v, 1), "2\ty");
}

TEST(Rows, ThousandsOfRowsAreAllKeptInOrder) {
    std::string rows;
    for (int i = 0; i < 3000; ++i) rows += std::to_string(i) + "\tv\n";
    LoadedViewer d(magic() + section("DATA", kHeader + rows + "\\.\n"));
    ASSERT_EQ(d.v.row_count, 3000);
    for (int i : {0, 1023, 1024, 2047, 2048, 2999})
        EXPECT_EQ(row_at(d.v, i), std::to_string(i) + "\tv") << "row " << i;
    EXPECT_STREQ(d.v.status, status_of("t", 3000).c_str());
}
