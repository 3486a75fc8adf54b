// Cell texts as the grid shows them.
#include <gtest/gtest.h>

#include "grid/cells.h"
#include "temp_dump.h"

TEST(CellText, NullFieldShowsAsNull) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\n1\t\\N\n\\.\n"));
    ASSERT_EQ(d.loaded, 1);
    char room[64];
    cell_text(&d.v, 0, 1, room, sizeof room);
    EXPECT_STREQ(room, "null");
    cell_text(&d.v, 0, 0, room, sizeof room);
    EXPECT_STREQ(room, "1");
}
