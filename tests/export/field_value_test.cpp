// A field's whole value: every COPY escape decoded as the server reads it, and no length cut.
#include <gtest/gtest.h>

#include <string>

#include "export/field_value.h"

static std::string decoded(const std::string &raw) {
    std::string out(raw.size() + 1, '\xAA');
    size_t n = value_decode_into(raw.data(), raw.size(), out.data());
    EXPECT_LE(n, raw.size());
    return out.substr(0, n);
}

TEST(FieldValue, EachEscapeGivesTheByteTheServerReads) {
    EXPECT_EQ(decoded("\\b\\f\\n\\r\\t\\v"), "\b\f\n\r\t\v");
    EXPECT_EQ(decoded("a\\\\b"), "a\\b");
    EXPECT_EQ(decoded("\\q\\'\\\""), "q'\"");
    EXPECT_EQ(decoded("plain text"), "plain text");
    EXPECT_EQ(decoded(""), "");
}

TEST(FieldValue, OctalTakesOneToThreeDigitsAndKeepsTheLowEightBits) {
    EXPECT_EQ(decoded("\\101\\60\\7x"), "A0\x07x");
    EXPECT_EQ(decoded("\\1014"), "A4");
    EXPECT_EQ(decoded("\\0"), std::string(1, '\0'));
    EXPECT_EQ(decoded("\\777"), "\xFF");
    EXPECT_EQ(decoded("\\8"), "8");
}

TEST(FieldValue, HexTakesOneOrTwoDigitsAndWithoutOneGivesAnX) {
    EXPECT_EQ(decoded("\\x41\\x4g\\xfF"), "A\x04g\xFF");
    EXPECT_EQ(decoded("\\x414"), "A4");
    EXPECT_EQ(decoded("\\xg"), "xg");
    EXPECT_EQ(decoded("\\x"), "x");
    EXPECT_EQ(decoded("\\xC3\\xA9"), "\xC3\xA9");
}

TEST(FieldValue, ALoneFinalBackslashStays) {
    EXPECT_EQ(decoded("end\\"), "end\\");
    EXPECT_EQ(decoded("\\"), "\\");
    EXPECT_EQ(decoded("\\\\\\"), "\\\\");
}

TEST(FieldValue, OnlyAFieldOfExactlyBackslashNIsNull) {
    EXPECT_TRUE(field_is_null("\\N", 2));
    EXPECT_FALSE(field_is_null("\\Nx", 3));
    EXPECT_FALSE(field_is_null("\\\\N", 3));
    EXPECT_FALSE(field_is_null("N", 1));
    EXPECT_EQ(decoded("\\Nx"), "Nx");
}

TEST(FieldValue, AValueFarPastTheGridsCutIsDecodedWhole) {
    std::string raw, want;
    for (int i = 0; i < 5000; ++i) {
        raw += "ab\\tc\\\\";
        want += "ab\tc\\";
    }
    EXPECT_EQ(decoded(raw), want);
    StrBuf out;
    ASSERT_EQ(sb_init(&out), 1);
    value_decode(raw.data(), raw.size(), &out);
    EXPECT_EQ(std::string(out.data, out.len), want);
    sb_drop(&out);
}
