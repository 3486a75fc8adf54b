// Cell texts as the grid shows them, and which field of a row line a column finds.
#include <gtest/gtest.h>

#include <string>

#include "grid/cells.h"
#include "temp_dump.h"

// The grid text of one cell with plenty of room.
static std::string shown(const Viewer &v, int32_t row, int32_t col) {
    char room[64];
    cell_text(&v, row, col, room, sizeof room);
    return room;
}

static std::string field(const char *line, int n) {
    size_t len = 0;
    const char *f = field_at(line, line + strlen(line), n, &len);
    return f ? std::string(f, len) : "<none>";
}

TEST(CellText, NullFieldShowsAsNull) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\n1\t\\N\n\\.\n"));
    ASSERT_EQ(d.loaded, 1);
    char room[64];
    cell_text(&d.v, 0, 1, room, sizeof room);
    EXPECT_STREQ(room, "null");
    cell_text(&d.v, 0, 0, room, sizeof room);
    EXPECT_STREQ(room, "1");
}

TEST(FieldAt, FieldsBeyondTheRowAreAbsent) {
    EXPECT_EQ(field("a\tb\tc", 2), "c");
    EXPECT_EQ(field("a\tb\tc", 3), "<none>");
    EXPECT_EQ(field("a\tb\tc", 5), "<none>");
}

TEST(FieldAt, AdjacentTabsAndATrailingTabMakeEmptyFields) {
    EXPECT_EQ(field("a\t\tc", 1), "");
    EXPECT_EQ(field("a\t\tc", 2), "c");
    EXPECT_EQ(field("a\tb\t", 2), "");
    EXPECT_EQ(field("a\tb\t", 3), "<none>");
    EXPECT_EQ(field("", 0), "");
}

TEST(CellText, MissingFieldsAndRowsOutsideTheDocumentShowEmpty) {
    LoadedViewer d(data_dump("a, b, c", "1\t2\t3\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown(d.v, 0, 5), "");
    EXPECT_EQ(shown(d.v, 0, -1), "");
    EXPECT_EQ(shown(d.v, 1, 0), "");
    EXPECT_EQ(shown(d.v, -1, 0), "");
}

TEST(CellText, OnlyABareBackslashNIsNull) {
    LoadedViewer d(data_dump("a, b, c", "\\\\N\t\\Nx\t\\t\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown(d.v, 0, 0), "\\\\N");
    EXPECT_EQ(shown(d.v, 0, 1), "\\Nx");
    EXPECT_EQ(shown(d.v, 0, 2), "\\t");
}

TEST(CellText, TextLongerThanTheRoomIsCutToItsFirstBytes) {
    LoadedViewer d(data_dump("a, b", "abcdef\t\\N\n"));
    ASSERT_EQ(d.loaded, 1);
    char room[8];
    cell_text(&d.v, 0, 0, room, 4);
    EXPECT_STREQ(room, "abc");
    cell_text(&d.v, 0, 0, room, 1);
    EXPECT_STREQ(room, "");
    cell_text(&d.v, 0, 1, room, 3);
    EXPECT_STREQ(room, "nu");
    cell_text(&d.v, 0, 1, room, 5);
    EXPECT_STREQ(room, "null");
}

TEST(CellText, NothingIsWrittenPastTheRoom) {
    LoadedViewer d(data_dump("a, b", "abcdef\t\\N\n"));
    ASSERT_EQ(d.loaded, 1);
    for (int32_t col = 0; col <= 1; ++col) {
        for (size_t m = 1; m <= 4; ++m) {
            char room[8] = "#######";
            cell_text(&d.v, 0, col, room, m);
            EXPECT_EQ(std::string(room + m), std::string(7 - m, '#')) << col << " in " << m;
        }
    }
}

TEST(CellText, ARoomOfZeroBytesIsNotWritten) {
    LoadedViewer d(data_dump("a", "abc\n"));
    ASSERT_EQ(d.loaded, 1);
    char room[4] = {'#', '#', '#', '\0'};
    cell_text(&d.v, 0, 0, room, 0);
    EXPECT_STREQ(room, "###");
    cell_text(&d.v, 5, 0, room, 0);
    EXPECT_STREQ(room, "###");
}

// Markers end in a bare line feed but the data lines in CR LF: the CR belongs to the last field.
TEST(CellText, CrlfRowsKeepTheirCarriageReturnAndHideTheNull) {
    LoadedViewer d(magic() + section("DATA", "COPY t (a, b) FROM stdin;\r\n1\t\\N\r\n\\N\tx\r\n"));
    ASSERT_EQ(d.loaded, 1);
    ASSERT_EQ(d.v.row_count, 2);
    EXPECT_EQ(shown(d.v, 0, 0), "1");
    EXPECT_EQ(shown(d.v, 0, 1), "\\N\r");
    EXPECT_EQ(shown(d.v, 1, 0), "null");
    EXPECT_EQ(shown(d.v, 1, 1), "x\r");
}

// The Unicode grid's text of one cell in a room of m units.
static std::u16string shown16(const Viewer &v, int32_t row, int32_t col, size_t m = 64) {
    uint16_t room[64];
    for (uint16_t &u : room) u = '#';
    cell_text_utf16(&v, row, col, room, m);
    return std::u16string(reinterpret_cast<const char16_t *>(room));
}

TEST(CellTextUtf16, ShowsWhatTheEightBitTextShowsAsCharacters) {
    LoadedViewer d(data_dump("a, b, c", "Кабель\t\\N\t\xF0\x9F\x8E\x82!\nbad \xFF\xC3\t\\\\N\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown16(d.v, 0, 0), u"Кабель");
    EXPECT_EQ(shown16(d.v, 0, 1), u"null");
    EXPECT_EQ(shown16(d.v, 0, 2), u"\U0001F382!");
    EXPECT_EQ(shown16(d.v, 1, 0), u"bad \uFFFD\uFFFD") << "ill-formed bytes, one per maximal part";
    EXPECT_EQ(shown16(d.v, 1, 1), u"\\\\N") << "an escaped backslash before N is no NULL";
    EXPECT_EQ(shown16(d.v, 1, 2), u"");
    EXPECT_EQ(shown16(d.v, 2, 0), u"");
    EXPECT_EQ(shown16(d.v, -1, 0), u"");
}

TEST(CellTextUtf16, ATextLongerThanTheRoomIsCutBetweenCharacters) {
    LoadedViewer d(data_dump("a, b", "Кабель\t\xF0\x9F\x8E\x82\xF0\x9F\x8E\x82\n"));
    ASSERT_EQ(d.loaded, 1);
    EXPECT_EQ(shown16(d.v, 0, 0, 4), u"Каб");
    EXPECT_EQ(shown16(d.v, 0, 1, 4), u"\U0001F382") << "three units of room, one pair";
    EXPECT_EQ(shown16(d.v, 0, 1, 2), u"") << "one unit of room holds no pair";
    uint16_t untouched = '#';
    cell_text_utf16(&d.v, 0, 1, &untouched, 0);
    EXPECT_EQ(untouched, '#') << "no room, nothing written";
}
