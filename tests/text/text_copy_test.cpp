// Ranges of a text of several blocks: the UTF-8 copy with the rows' NULs as line feeds, UTF-16
// counts, conversion into a bounded room and positions, and positions brought back to boundaries.
#include <gtest/gtest.h>

#include "text/text_copy.h"
#include "text/text_pos.h"
#include "text_fixture.h"

#include <string>
#include <vector>

namespace {

// "x😀", rows "r1" and "r2" with their line feed between them, the terminator line and "end", as
// the Full SQL text lays out its blocks. Reads "x😀\nr1\nr2\n\\.\nend": 18 bytes, 16 UTF-16
// units.
struct RowsText {
    const char rows[6] = "r1\nr2";
    IndexedRows starts{{rows, rows + 3}, rows + 5};
    TextDoc doc{};
    RowsText() {
        TextBlock blocks[] = {
            {"x\xF0\x9F\x98\x80", 5, 1, nullptr, nullptr, 0},
            {rows, 5, 1, nullptr, &starts.index, 2},
            {"\\.", 2, 1, nullptr, nullptr, 0},
            {"end", 3, 0, nullptr, nullptr, 0},
        };
        text_doc_set(&doc, blocks, 4);
    }
};

std::string copy(const TextDoc &doc, size_t from, size_t to) {
    std::string out(to - from + 1, '?');
    text_copy_utf8(&doc, from, to, out.data());
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

std::u16string copy16(const TextDoc &doc, size_t from, size_t to, size_t room) {
    std::vector<uint16_t> out(room + 1, 0xAAAA);
    size_t n = text_copy_utf16(&doc, from, to, out.data(), room);
    if (room > 0) EXPECT_EQ(out[n], 0) << "ends in a 0 unit";
    return std::u16string(out.begin(), out.begin() + static_cast<long>(n));
}

} // namespace

TEST(TextRange, TheUtf8CopyReadsRowBreaksAndBlockEndsAsLineFeeds) {
    RowsText t;
    ASSERT_EQ(t.doc.len, 18u);
    EXPECT_EQ(copy(t.doc, 0, 18), "x\xF0\x9F\x98\x80\nr1\nr2\n\\.\nend");
    EXPECT_EQ(copy(t.doc, 6, 9), "r1\n");
    EXPECT_EQ(copy(t.doc, 5, 6), "\n");
    EXPECT_EQ(copy(t.doc, 7, 7), "");
}

TEST(TextRange, Utf16CountsAndCopiesKeepSurrogatePairsWhole) {
    RowsText t;
    EXPECT_EQ(text_utf16_count(&t.doc, 0, 18), 16u);
    EXPECT_EQ(text_utf16_count(&t.doc, 1, 5), 2u);
    EXPECT_EQ(copy16(t.doc, 0, 18, 17), u"x\U0001F600\nr1\nr2\n\\.\nend");
    EXPECT_EQ(copy16(t.doc, 0, 18, 3), u"x") << "no room for both halves of the pair";
    EXPECT_EQ(copy16(t.doc, 0, 18, 4), u"x\U0001F600");
    EXPECT_EQ(copy16(t.doc, 4 + 1, 11, 100), u"\nr1\nr2");
    EXPECT_EQ(copy16(t.doc, 0, 18, 0), u"");
}

TEST(TextRange, AUnitCountFindsTheCharacterHoldingIt) {
    RowsText t;
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 0), 0u);
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 1), 1u);
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 2), 1u) << "inside the pair: the pair's start";
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 3), 5u);
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 15), 17u);
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 16), 18u);
    EXPECT_EQ(text_pos_of_utf16(&t.doc, 1000), 18u);
}

TEST(TextRange, APositionFromOutsideFallsBackToACharacterStartOrTheLineEnd) {
    RowsText t;
    EXPECT_EQ(text_char_floor(&t.doc, 3), 1u);
    EXPECT_EQ(text_char_floor(&t.doc, 5), 5u);
    EXPECT_EQ(text_char_floor(&t.doc, 99), 18u);
    PlainText crlf("a\r\n\x80\x80\xE2\x82\xAC");
    EXPECT_EQ(text_char_floor(&crlf.doc, 2), 1u) << "between CR and LF";
    EXPECT_EQ(text_char_floor(&crlf.doc, 4), 4u) << "a stray continuation byte stands alone";
    EXPECT_EQ(text_char_floor(&crlf.doc, 6), 5u);
    EXPECT_EQ(text_char_floor(&crlf.doc, 7), 5u);
}
