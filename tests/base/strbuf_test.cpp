// StrBuf: appending, doubling growth, and a growth that cannot be had.
#include <gtest/gtest.h>

#include <string>

#include "alloc_hook.h"
#include "base/strbuf.h"

namespace {

using StrBufGrowth = AllocationHookTest;

} // namespace

TEST_F(StrBufGrowth, StartsEmptyWith8192Bytes) {
    StrBuf sb;
    ASSERT_EQ(sb_init(&sb), 1);
    EXPECT_EQ(sb.len, 0u);
    EXPECT_EQ(sb.cap, 8192u);
    EXPECT_STREQ(sb.data, "");
    EXPECT_EQ(sb.failed, 0);
    sb_drop(&sb);
}

TEST_F(StrBufGrowth, FirstBufferThatCannotBeHadIsReported) {
    StrBuf sb;
    mem_fail_after(0);
    EXPECT_EQ(sb_init(&sb), 0);
    EXPECT_EQ(sb.data, nullptr);
}

TEST_F(StrBufGrowth, AppendsAndIgnoresNullText) {
    StrBuf sb;
    ASSERT_EQ(sb_init(&sb), 1);
    sb_add(&sb, "ab");
    sb_add(&sb, nullptr);
    sb_add(&sb, "");
    sb_add_len(&sb, "cdef", 2);
    EXPECT_STREQ(sb.data, "abcd");
    EXPECT_EQ(sb.len, 4u);
    sb_drop(&sb);
}

TEST_F(StrBufGrowth, DoublesOnlyWhenTheTextAndItsNulNoLongerFit) {
    StrBuf sb;
    ASSERT_EQ(sb_init(&sb), 1);
    const std::string almost(8191, 'a');
    sb_add(&sb, almost.c_str());
    EXPECT_EQ(sb.cap, 8192u);
    sb_add(&sb, "b");
    EXPECT_EQ(sb.cap, 16384u);
    const std::string big(40000, 'c');
    sb_add(&sb, big.c_str());
    EXPECT_EQ(sb.cap, 65536u);
    EXPECT_EQ(sb.len, 48192u);
    EXPECT_EQ(std::string(sb.data), almost + "b" + big);
    sb_drop(&sb);
}

TEST_F(StrBufGrowth, FailedGrowthKeepsTheTextAndRefusesLaterAppends) {
    StrBuf sb;
    ASSERT_EQ(sb_init(&sb), 1);
    sb_add(&sb, "kept");
    const char *data = sb.data;
    mem_fail_after(0);
    sb_add(&sb, std::string(9000, 'x').c_str());
    EXPECT_EQ(sb.failed, 1);
    EXPECT_EQ(sb.data, data);
    EXPECT_EQ(sb.cap, 8192u);
    EXPECT_EQ(sb.len, 4u);
    EXPECT_STREQ(sb.data, "kept");
    // Later appends do nothing, even those that would fit, so no text with a gap is ever made.
    sb_add(&sb, "more");
    EXPECT_STREQ(sb.data, "kept");
    EXPECT_EQ(sb_take(&sb), nullptr);
    EXPECT_EQ(sb.data, nullptr);
}

TEST_F(StrBufGrowth, TakeHandsOverTheText) {
    StrBuf sb;
    ASSERT_EQ(sb_init(&sb), 1);
    sb_add(&sb, "text");
    char *text = sb_take(&sb);
    EXPECT_STREQ(text, "text");
    EXPECT_EQ(sb.data, nullptr);
    mem_free(text);
}
