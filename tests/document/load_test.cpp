// The loader: sections, header line, names, rows and the status line.
#include <gtest/gtest.h>

#include "temp_dump.h"

TEST(LoadFile, WellFormedDumpGivesNamesRowsAndStatus) {
    LoadedViewer d(magic() + section("SQL", "CREATE TABLE t (a int);\n") +
                   section("INFO", "two rows\n") +
                   section("DATA", "COPY public.items (id, name, price) FROM stdin;\n"
                                   "1\tpen\t2.50\n2\t\\N\t3\n\\.\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(sql_of(d.v), "CREATE TABLE t (a int);\n");
    EXPECT_EQ(info_of(d.v), "two rows\n");
    ASSERT_EQ(d.v.col_count, 3);
    EXPECT_STREQ(d.v.col_names[0], "id");
    EXPECT_STREQ(d.v.col_names[1], "name");
    EXPECT_STREQ(d.v.col_names[2], "price");
    ASSERT_EQ(d.v.row_count, 2);
    EXPECT_EQ(row_at(d.v, 1), "2\t\\N\t3");
    EXPECT_STREQ(d.v.status, "public.items   \xE2\x80\x94   2 rows");
}
