// The container: the magic, section markers in any order or missing, and where texts end.
#include <gtest/gtest.h>

#include <string>

#include "temp_dump.h"

namespace {

const std::string kSql = "CREATE TABLE t (a int, b text);\n";
const std::string kInfo = "dumped by hand\n";
const std::string kData = "COPY t (a, b) FROM stdin;\n1\tx\n2\t\\N\n\\.\n";
const std::string kStatusT2 = "t   \xE2\x80\x94   2 rows";

} // namespace

TEST(Container, MagicAloneLoadsAsAnEmptyDocument) {
    LoadedViewer d(magic());
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.buf_len, 8);
    EXPECT_EQ(std::string(d.v.buf, 9), magic() + std::string(1, '\0'));
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(d.v.info, nullptr);
    EXPECT_EQ(d.v.copy_line, nullptr);
    EXPECT_EQ(d.v.row_count, 0);
    EXPECT_EQ(d.v.col_count, 0);
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

// Every order of the three sections gives the same document, as long as the data block ends
// with its "\\." line. The parameter spells the file order: S for SQL, I for INFO, D for DATA.
class SectionOrder : public ::testing::TestWithParam<const char *> {};

TEST_P(SectionOrder, LoadsTheSameAsAnyOtherOrder) {
    std::string file = magic();
    for (const char *c = GetParam(); *c; ++c) {
        file += *c == 'S'   ? section("SQL", kSql)
                : *c == 'I' ? section("INFO", kInfo)
                            : section("DATA", kData);
    }
    LoadedViewer d(file);
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(sql_of(d.v), kSql.c_str());
    EXPECT_EQ(info_of(d.v), kInfo.c_str());
    ASSERT_EQ(d.v.col_count, 2);
    EXPECT_STREQ(d.v.col_names[0], "a");
    EXPECT_STREQ(d.v.col_names[1], "b");
    ASSERT_EQ(d.v.row_count, 2);
    EXPECT_EQ(row_at(d.v, 0), "1\tx");
    EXPECT_EQ(row_at(d.v, 1), "2\t\\N");
    EXPECT_STREQ(d.v.status, kStatusT2.c_str());
}

std::string order_name(const ::testing::TestParamInfo<const char *> &info) {
    return info.param;
}

INSTANTIATE_TEST_SUITE_P(AllOrders, SectionOrder,
                         ::testing::Values("SID", "SDI", "ISD", "IDS", "DSI", "DIS"), order_name);

TEST(Container, SqlAloneHasNoDataAndSaysSo) {
    LoadedViewer d(magic() + section("SQL", kSql));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(sql_of(d.v), kSql.c_str());
    EXPECT_EQ(d.v.info, nullptr);
    EXPECT_EQ(d.v.copy_line, nullptr);
    EXPECT_EQ(d.v.row_count, 0);
    EXPECT_EQ(d.v.col_count, 0);
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

TEST(Container, InfoAloneRunsToTheEndOfTheFile) {
    LoadedViewer d(magic() + section("INFO", kInfo));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(info_of(d.v), kInfo.c_str());
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

TEST(Container, DataAloneLeavesTheTextSectionsAbsent) {
    LoadedViewer d(magic() + section("DATA", kData));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(d.v.info, nullptr);
    EXPECT_EQ(d.v.row_count, 2);
    EXPECT_STREQ(d.v.status, kStatusT2.c_str());
}

TEST(Container, EmptySectionsArePresentButEmpty) {
    LoadedViewer d(magic() + section("SQL", "") + section("INFO", ""));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_NE(d.v.sql, nullptr);
    ASSERT_NE(d.v.info, nullptr);
    EXPECT_EQ(sql_of(d.v), "");
    EXPECT_EQ(info_of(d.v), "");
}

TEST(Container, OnlyTheFirstMarkerOfANameCounts) {
    LoadedViewer d(magic() + section("SQL", "first\n") + section("DATA", kData) +
                   section("SQL", "second\n") + section("DATA", "COPY u (z) FROM stdin;\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(sql_of(d.v), "first\n");
    EXPECT_STREQ(d.v.copy_line, "COPY t (a, b) FROM stdin;");
    EXPECT_EQ(d.v.row_count, 2);
}

TEST(Container, TextSectionEndsAtAnyLaterMarkerByte) {
    // A 0x01 that begins no marker still ends the SQL text.
    LoadedViewer d(magic() +
                   section("SQL", "a\x01"
                                  "b\n") +
                   section("INFO", "i"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(sql_of(d.v), "a");
    EXPECT_EQ(info_of(d.v), "i");
}

TEST(Container, MarkersMustMatchExactly) {
    LoadedViewer d(magic() + "\x01[sql]\nlower\n\x01[SQL] \nblank\n[INFO]\nno byte\n");
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(d.v.info, nullptr);
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

TEST(Container, MarkersEndingInCarriageReturnLineFeedAreNoMarkers) {
    LoadedViewer d(magic() + "\x01[SQL]\r\nCREATE TABLE t (a int);\r\n" +
                   "\x01[INFO]\r\nsome info\r\n" +
                   "\x01[DATA]\r\nCOPY t (a) FROM stdin;\r\n1\r\n\\.\r\n");
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(d.v.info, nullptr);
    EXPECT_EQ(d.v.copy_line, nullptr);
    EXPECT_EQ(d.v.col_count, 0);
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

TEST(Container, NulByteEndsTheTextForEverySearch) {
    const std::string file =
        magic() + section("SQL", "abc") + std::string(1, '\0') + section("INFO", "hidden");
    LoadedViewer d(file);
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.buf_len, static_cast<int32_t>(file.size()));
    EXPECT_EQ(sql_of(d.v), "abc");
    EXPECT_EQ(d.v.info, nullptr);
}

TEST(Container, NulBeforeEveryMarkerHidesThemAll) {
    LoadedViewer d(magic() + std::string(1, '\0') + section("SQL", kSql) + section("DATA", kData));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(d.v.sql, nullptr);
    EXPECT_EQ(d.v.copy_line, nullptr);
    EXPECT_STREQ(d.v.status, "object (SQL only)");
}

TEST(Container, LoadClearsScriptAndCursorButNotTheViewFields) {
    TempFile file(magic() + section("DATA", kData));
    static char stale_script[] = "stale"; // not owned: the load must drop it, not free it
    int grid_stand_in = 0;
    Viewer v{};
    v.full_sql = stale_script;
    v.cur_row = v.cur_col = v.anchor_row = v.anchor_col = 1;
    v.tab = TAB_INFO;
    v.grid = &grid_stand_in;
    ASSERT_EQ(load_file(&v, file.path()), 1);
    EXPECT_EQ(v.full_sql, nullptr);
    EXPECT_EQ(v.cur_row, 0);
    EXPECT_EQ(v.cur_col, 0);
    EXPECT_EQ(v.anchor_row, 0);
    EXPECT_EQ(v.anchor_col, 0);
    EXPECT_EQ(v.tab, TAB_INFO);
    EXPECT_EQ(v.grid, &grid_stand_in);
    viewer_free_blocks(&v);
}
