// A field's whole value: every COPY escape decoded as the server reads it.
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
    EXPECT_EQ(decoded("\\b\\f\\n\\r\\t\\v a\\\\b \\q\\'"), "\b\f\n\r\t\v a\\b q'");
    // Octal: one to three digits, the low eight bits of a larger value.
    EXPECT_EQ(decoded("\\101\\60\\7x \\1014 \\777 \\8"), "A0\x07x A4 \xFF 8");
    EXPECT_EQ(decoded("\\0"), std::string(1, '\0'));
    // Hex: one or two digits; without one, an x.
    EXPECT_EQ(decoded("\\x41\\x4g\\xfF \\x414 \\xg \\xC3\\xA9"), "A\x04g\xFF A4 xg \xC3\xA9");
    EXPECT_EQ(decoded("\\x"), "x");
    // A lone backslash ending the field has no byte to give, and stays.
    EXPECT_EQ(decoded("end\\"), "end\\");
    EXPECT_EQ(decoded("\\\\\\"), "\\\\");
}

TEST(FieldValue, OnlyAFieldOfExactlyBackslashNIsNull) {
    EXPECT_TRUE(field_is_null("\\N", 2));
    EXPECT_FALSE(field_is_null("\\Nx", 3));
    EXPECT_FALSE(field_is_null("\\\\N", 3));
    EXPECT_EQ(decoded("\\Nx"), "Nx");
}
