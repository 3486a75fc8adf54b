// What the find bar says: where a match is, whether the search went round, or why nothing was
// found, always ending between whole characters.
#include <gtest/gtest.h>

#include "find/find_message.h"
#include "temp_dump.h"

#include <string>

TEST(FindMessage, AGridMatchNamesItsRowAndColumnAndWhetherTheSearchWentRound) {
    std::string rows;
    for (int r = 0; r < 1234; ++r) rows += "1\t2\n";
    LoadedViewer d(data_dump("id, \"Сумма\"", rows));
    ASSERT_EQ(d.loaded, 1);
    char out[FIND_MESSAGE_LEN];
    GridHit hit = {1233, 1, 0};
    find_message_grid(out, sizeof out, &d.v, &hit, FIND_NEXT);
    EXPECT_STREQ(out, "Row 1,234 of 1,234, column \"Сумма\"");
    hit = {0, 0, 1};
    find_message_grid(out, sizeof out, &d.v, &hit, FIND_NEXT);
    EXPECT_STREQ(out, "Row 1 of 1,234, column id (from the top again)");
    find_message_grid(out, sizeof out, &d.v, &hit, FIND_PREV);
    EXPECT_STREQ(out, "Row 1 of 1,234, column id (from the end again)");
}

TEST(FindMessage, ATextMatchNamesItsLine) {
    char out[FIND_MESSAGE_LEN];
    TextHit hit = {10, 14, 0};
    find_message_text(out, sizeof out, 11, 40, &hit, FIND_PREV);
    EXPECT_STREQ(out, "Line 12 of 40");
    hit.wrapped = 1;
    find_message_text(out, sizeof out, 0, 1000000, &hit, FIND_PREV);
    EXPECT_STREQ(out, "Line 1 of 1,000,000 (from the end again)");
}

TEST(FindMessage, NothingFoundSaysWhatWasSoughtOrWhyItCannotBe) {
    char out[FIND_MESSAGE_LEN];
    find_message_none(out, sizeof out, "Кабель");
    EXPECT_STREQ(out, "Not found: \u201CКабель\u201D");
    find_message_none(out, sizeof out, "");
    EXPECT_STREQ(out, "Type a text to find");
    find_message_none(out, sizeof out, "a\nb");
    EXPECT_STREQ(out, "A line break cannot be found");
    find_message_none(out, sizeof out, std::string(FIND_TEXT_MAX + 1, 'x').c_str());
    EXPECT_STREQ(out, "The text is too long to find");
}

TEST(FindMessage, AMessageLongerThanItsRoomEndsAtAWholeCharacter) {
    // "Not found: " is 11 bytes and the opening quote 3 more; a Cyrillic letter takes 2.
    char out[17];
    find_message_none(out, sizeof out, "Кабель");
    EXPECT_STREQ(out, "Not found: \u201CК") << "room for one letter";
    find_message_none(out, 16, "Кабель");
    EXPECT_STREQ(out, "Not found: \u201C") << "room for half a letter: none of it";
    char tiny[13];
    find_message_none(tiny, sizeof tiny, "x");
    EXPECT_STREQ(tiny, "Not found: ") << "the quote does not fit whole";
}
