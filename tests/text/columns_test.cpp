// Character cells: tab stops, wide characters (every code point against Unicode's
// EastAsianWidth.txt), control pictures, the cells of a line's visible part, and the column cache
// answering as a walk from the line's start does.
#include <gtest/gtest.h>

#include "alloc_hook.h"
#include "text/char_width.h"
#include "text/columns.h"
#include "text/line_cells.h"
#include "base/utf8.h"
#include "text_fixture.h"
#include "ucd.h"

#include <string>
#include <vector>

namespace {

struct Drawn {
    std::u16string units;
    std::vector<uint32_t> cols; // one per unit, then the column after the last character
};

Drawn draw(const TextDoc &doc, size_t line, size_t first, size_t count, size_t room) {
    std::vector<uint16_t> units(room + 1, 0xAAAA);
    std::vector<uint32_t> cols(room + 1, 0xAAAAAAAA);
    size_t n = line_cells(nullptr, &doc, line, first, count, units.data(), cols.data(), room);
    return {std::u16string(units.begin(), units.begin() + static_cast<long>(n)),
            std::vector<uint32_t>(cols.begin(), cols.begin() + static_cast<long>(n) + 1)};
}

// A long line of every kind of character: ASCII runs, tabs, two- to four-byte characters, wide
// ones and ill-formed bytes, `bytes` long or a little more.
std::string mixed_line(size_t bytes, unsigned seed) {
    static const char *const pieces[] = {
        "plain ascii words ", "\t",   "\xC3\xA9", "\xE4\xB8\xAD",
        "\xF0\x9F\x98\x80",   "\x80", "x\ty",     "abcdefghijklmnop"};
    std::string s;
    while (s.size() < bytes) {
        seed = seed * 1103515245u + 12345u;
        s += pieces[(seed >> 16) % 8];
    }
    return s;
}

// Positions and columns of a line through the cache and through a walk from its start agree,
// asked in an order that jumps back and forth.
void expect_cache_agrees(ColumnCache *cache, const TextDoc &doc, size_t line, unsigned seed,
                         int queries) {
    const size_t columns = line_columns(nullptr, &doc, line);
    EXPECT_EQ(line_columns(cache, &doc, line), columns);
    for (int q = 0; q < queries; ++q) {
        seed = seed * 1103515245u + 12345u;
        size_t col = (seed >> 8) % (columns + 2);
        int nearest = q & 1;
        size_t pos = pos_at_column(nullptr, &doc, line, col, nearest);
        ASSERT_EQ(pos_at_column(cache, &doc, line, col, nearest), pos) << "column " << col;
        ASSERT_EQ(column_of(cache, &doc, line, pos), column_of(nullptr, &doc, line, pos));
    }
}

} // namespace

TEST(CharColumns, EastAsianWideAndFullwidthCharactersTakeTwoColumns) {
    EXPECT_EQ(char_columns('a'), 1);
    EXPECT_EQ(char_columns(0xE9), 1);    // e with acute
    EXPECT_EQ(char_columns(0x4E2D), 2);  // CJK ideograph
    EXPECT_EQ(char_columns(0x3042), 2);  // hiragana
    EXPECT_EQ(char_columns(0xAC00), 2);  // hangul syllable
    EXPECT_EQ(char_columns(0xFF21), 2);  // fullwidth A
    EXPECT_EQ(char_columns(0xFF71), 1);  // halfwidth katakana
    EXPECT_EQ(char_columns(0x1F600), 2); // emoji
    EXPECT_EQ(char_columns(0x20000), 2); // ideograph past the Basic Multilingual Plane
    EXPECT_EQ(char_columns(REPLACEMENT_CHAR), 1);
}

// Every code point, so the first and last of every wide range and the ones just outside it too.
TEST(CharColumns, EveryCodePointTakesTwoColumnsExactlyWhenItsEastAsianWidthIsWOrF) {
    const std::vector<bool> wide = ucd::wide();
    ASSERT_FALSE(wide.empty()) << ucd::missing("EastAsianWidth.txt");
    for (uint32_t cp = 0; cp < ucd::CODE_POINTS; ++cp)
        ASSERT_EQ(char_columns(cp), wide[cp] ? 2 : 1) << "U+" << std::hex << cp;
}

TEST(ShownChar, ControlCharactersShowAsTheirPictures) {
    EXPECT_EQ(shown_char(0x00), 0x2400u);
    EXPECT_EQ(shown_char('\r'), 0x240Du);
    EXPECT_EQ(shown_char(0x1F), 0x241Fu);
    EXPECT_EQ(shown_char(0x7F), 0x2421u);
    EXPECT_EQ(shown_char(' '), uint32_t(' '));
    EXPECT_EQ(shown_char(0x85), 0x85u);
}

TEST(Columns, TabsStopEveryEightColumnsFromTheLineStart) {
    PlainText t("first line\na\tb\t\tc");
    const size_t s = 11; // line 1
    const size_t want[] = {0, 1, 8, 9, 16, 24, 25};
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(column_of(nullptr, &t.doc, 1, s + i), want[i]);
    EXPECT_EQ(line_columns(nullptr, &t.doc, 1), 25u);
    // A tab covers every column up to its stop; the right half of it is nearer the next character.
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 1, 0), s + 1);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 7, 0), s + 1);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 8, 0), s + 2);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 4, 1), s + 1);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 5, 1), s + 2);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 20, 0), s + 4);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 25, 0), s + 6);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 1, 1000, 1), s + 6);
}

TEST(Columns, WideCharactersTakeTwoColumnsAndAClickInTheirRightHalfGoesAfterThem) {
    PlainText t("\xE4\xB8\xAD"
                "a\xE4\xB8\xAD\r\n");
    EXPECT_EQ(column_of(nullptr, &t.doc, 0, 3), 2u);
    EXPECT_EQ(column_of(nullptr, &t.doc, 0, 4), 3u);
    EXPECT_EQ(line_columns(nullptr, &t.doc, 0), 5u) << "the CR of a CR LF takes no column";
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 0, 1, 0), 0u);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 0, 1, 1), 3u);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 0, 4, 0), 4u);
    EXPECT_EQ(pos_at_column(nullptr, &t.doc, 0, 4, 1), 7u);
}

TEST(LineCells, TabsAsBlanksControlsAsPicturesAndPairsSharingTheirColumn) {
    // A tab, "ab", a wide ideograph, a control character and an emoji (a surrogate pair).
    PlainText t("\tab\xE4\xB8\xAD\x01\xF0\x9F\x98\x80");
    Drawn d = draw(t.doc, 0, 0, 100, 100);
    EXPECT_EQ(d.units, u"        ab\u4E2D\u2401\U0001F600");
    EXPECT_EQ(d.cols, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 13, 15}));
}

TEST(LineCells, CharactersCutByAnEdgeShowAsBlanksAndAPairNeverGetsHalfTheRoom) {
    PlainText t("\tab\xE4\xB8\xAD\x01\xF0\x9F\x98\x80");
    Drawn left_tab = draw(t.doc, 0, 4, 5, 100);
    EXPECT_EQ(left_tab.units, u"    a");
    EXPECT_EQ(left_tab.cols, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
    // The ideograph starts at column 10, the emoji at 13.
    Drawn both = draw(t.doc, 0, 11, 3, 100);
    EXPECT_EQ(both.units, u" \u2401 ");
    EXPECT_EQ(both.cols, (std::vector<uint32_t>{0, 1, 2, 3}));
    Drawn past = draw(t.doc, 0, 50, 10, 100);
    EXPECT_EQ(past.units, u"");
    EXPECT_EQ(past.cols, std::vector<uint32_t>{0});
    Drawn no_room_for_pair = draw(t.doc, 0, 12, 10, 2);
    EXPECT_EQ(no_room_for_pair.units, u"\u2401");
    EXPECT_EQ(no_room_for_pair.cols, (std::vector<uint32_t>{0, 1}));
}

TEST(ColumnCache, AnswersAsAWalkFromTheLineStartOnLinesOfMegabytes) {
    PlainText t("short\n" + mixed_line(3u << 20, 1) + "\n" + mixed_line(200000, 2) + "\nend");
    ColumnCache *cache = column_cache_new();
    ASSERT_NE(cache, nullptr);
    expect_cache_agrees(cache, t.doc, 1, 7, 30);
    expect_cache_agrees(cache, t.doc, 2, 8, 60);
    expect_cache_agrees(cache, t.doc, 1, 9, 10);
    expect_cache_agrees(cache, t.doc, 0, 10, 10);
    column_cache_delete(cache);
}

TEST(ColumnCache, ManyLongLinesTakeTurnsAndItsMemoryStopsGrowing) {
    std::string text;
    for (int i = 0; i < 150; ++i) text += mixed_line(3000 + 37 * i, i) + "\n";
    PlainText t(text);
    ColumnCache *cache = column_cache_new();
    ASSERT_NE(cache, nullptr);
    for (size_t line = 0; line < 75; ++line)
        expect_cache_agrees(cache, t.doc, line, static_cast<unsigned>(line), 4);
    const long live = mem_live_count();
    for (size_t line = 150; line-- > 0;)
        expect_cache_agrees(cache, t.doc, line, static_cast<unsigned>(line) + 1, 4);
    EXPECT_EQ(mem_live_count(), live);
    column_cache_delete(cache);
}

TEST(ColumnCache, ClearedForANewTextItAnswersForThatText) {
    ColumnCache *cache = column_cache_new();
    ASSERT_NE(cache, nullptr);
    {
        PlainText before(std::string(5000, 'a'));
        EXPECT_EQ(column_of(cache, &before.doc, 0, 4000), 4000u);
    }
    PlainText after(std::string(5000, '\t'));
    column_cache_clear(cache);
    EXPECT_EQ(column_of(cache, &after.doc, 0, 4000), 32000u);
    column_cache_delete(cache);
}

using ColumnCacheMemory = AllocationHookTest;

TEST_F(ColumnCacheMemory, WithoutMemoryItStillAnswersByWalking) {
    mem_fail_after(0);
    EXPECT_EQ(column_cache_new(), nullptr);
    ColumnCache *cache = column_cache_new();
    ASSERT_NE(cache, nullptr);
    PlainText t(mixed_line(100000, 3));
    const long live = mem_live_count();
    const size_t columns = line_columns(nullptr, &t.doc, 0);
    mem_fail_after(0);
    EXPECT_EQ(line_columns(cache, &t.doc, 0), columns);
    EXPECT_EQ(mem_live_count(), live);
    mem_fail_after(-1);
    expect_cache_agrees(cache, t.doc, 0, 4, 20);
    column_cache_delete(cache);
}
