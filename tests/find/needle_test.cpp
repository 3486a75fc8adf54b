// Which search texts are taken: none that is empty, too long, or breaks a line.
#include <gtest/gtest.h>

#include "find/find.h"

#include <string>

namespace {

int compiled(const std::string &text, Needle *needle) {
    needle->char_count = -1;
    return needle_compile(needle, text.data(), text.size());
}

} // namespace

TEST(NeedleCompile, RefusesEmptyOverlongAndLineBreakingTextsLeavingTheNeedleEmpty) {
    Needle needle;
    for (const std::string &text :
         {std::string(), std::string(FIND_TEXT_MAX + 1, 'a'), std::string("one\ntwo"),
          std::string("one\rtwo"), std::string("one\0two", 7), std::string("\r\n")}) {
        EXPECT_EQ(compiled(text, &needle), 0) << text;
        EXPECT_EQ(needle.char_count, 0) << text;
    }
}

TEST(NeedleCompile, TakesTextsUpToTheLimitCountingCharactersNotBytes) {
    Needle needle;
    EXPECT_EQ(compiled(std::string(FIND_TEXT_MAX, 'a'), &needle), 1);
    EXPECT_EQ(needle.char_count, FIND_TEXT_MAX);
    EXPECT_EQ(compiled("\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0 a\tb", &needle), 1); // Ёлка a<tab>b
    EXPECT_EQ(needle.char_count, 8);
    EXPECT_EQ(needle.len, 12);
    EXPECT_EQ(needle.chars[0], 0x451u) << "characters are kept folded";
}
