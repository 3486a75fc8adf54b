// Counts with a comma between each group of three digits, and cut to the room given.
#include <gtest/gtest.h>

#include <string>

#include "base/thousands.h"

static std::string grouped(unsigned long long v, size_t n = 32) {
    char out[40];
    memset(out, '#', sizeof out);
    format_thousands(out, n, v);
    EXPECT_EQ(out[n], '#') << "wrote past its room";
    return out;
}

TEST(Thousands, ACommaBeforeEachGroupOfThreeDigitsFromTheRight) {
    EXPECT_EQ(grouped(0), "0");
    EXPECT_EQ(grouped(7), "7");
    EXPECT_EQ(grouped(999), "999");
    EXPECT_EQ(grouped(1000), "1,000");
    EXPECT_EQ(grouped(12345), "12,345");
    EXPECT_EQ(grouped(999999), "999,999");
    EXPECT_EQ(grouped(1000000), "1,000,000");
    EXPECT_EQ(grouped(2147483647), "2,147,483,647");
    EXPECT_EQ(grouped(18446744073709551615ull), "18,446,744,073,709,551,615");
}

TEST(Thousands, CutWholeToItsRoomAndAlwaysEnded) {
    EXPECT_EQ(grouped(1234567, 6), "1,234");
    EXPECT_EQ(grouped(1234567, 3), "1,");
    EXPECT_EQ(grouped(1234567, 2), "1");
    EXPECT_EQ(grouped(1234567, 1), "");
    char untouched = '#';
    format_thousands(&untouched, 0, 5);
    EXPECT_EQ(untouched, '#');
}
