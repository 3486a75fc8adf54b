// UTF-8 as the views read it: replacement of ill-formed bytes by maximal subparts, steps back by
// whole characters, and UTF-16 in a bounded room cut only between characters.
#include <gtest/gtest.h>

#include "base/utf8.h"

#include <string>
#include <vector>

namespace {

// Every character of a text: its code point and its length in bytes.
std::vector<std::pair<uint32_t, size_t>> decode_all(const std::string &s) {
    std::vector<std::pair<uint32_t, size_t>> out;
    for (size_t i = 0; i < s.size();) {
        uint32_t cp = 0;
        size_t n = utf8_decode(s.data() + i, s.size() - i, &cp);
        out.push_back({cp, n});
        i += n;
    }
    return out;
}

std::u16string to_utf16(const std::string &s, size_t room, size_t *used = nullptr) {
    std::vector<uint16_t> out(room + 1, 0xAAAA);
    size_t n = utf8_to_utf16(s.data(), s.size(), out.data(), room, used);
    if (room > 0) EXPECT_EQ(out[n], 0) << "ends in a 0 unit";
    return std::u16string(out.begin(), out.begin() + static_cast<long>(n));
}

const uint32_t R = REPLACEMENT_CHAR;

} // namespace

TEST(Utf8Decode, WellFormedCharactersOfEveryLengthDecodeWhole) {
    auto chars = decode_all("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[0], std::make_pair(uint32_t('a'), size_t(1)));
    EXPECT_EQ(chars[1], std::make_pair(uint32_t(0xE9), size_t(2)));
    EXPECT_EQ(chars[2], std::make_pair(uint32_t(0x20AC), size_t(3)));
    EXPECT_EQ(chars[3], std::make_pair(uint32_t(0x1F600), size_t(4)));
}

TEST(Utf8Decode, IllFormedBytesBecomeOneReplacementPerMaximalSubpart) {
    struct Case {
        const char *bytes;
        std::vector<std::pair<uint32_t, size_t>> want;
    } cases[] = {
        {"\x80", {{R, 1}}},                                     // stray continuation byte
        {"\xC0\xAF", {{R, 1}, {R, 1}}},                         // overlong: C0 starts nothing
        {"\xE0\x80\xAF", {{R, 1}, {R, 1}, {R, 1}}},             // overlong three-byte form
        {"\xED\xA0\x80", {{R, 1}, {R, 1}, {R, 1}}},             // encoded surrogate
        {"\xF4\x90\x80\x80", {{R, 1}, {R, 1}, {R, 1}, {R, 1}}}, // past U+10FFFF
        {"\xE2\x82x", {{R, 2}, {'x', 1}}},                      // cut short before an ASCII byte
        {"\xF0\x9F\x98", {{R, 3}}},                             // cut short by the end
        {"\xFF\xFE", {{R, 1}, {R, 1}}},
    };
    for (const Case &c : cases) EXPECT_EQ(decode_all(c.bytes), c.want) << c.bytes;
}

TEST(Utf8Prev, StepsBackOverTheSameCharactersDecodingMeetsForward) {
    const std::string texts[] = {
        "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z",
        "\xE2\x82\xAC\xAC\xAC\xAC\xAC", // a euro sign, then stray continuation bytes
        "\xC3\x82\xAC\xE2\x82\xC3\xA9\xF0\x9F\x98",
        "\x80\x80\x80\x80\x80",
    };
    for (const std::string &s : texts) {
        std::vector<size_t> starts;
        for (size_t i = 0; i < s.size();) {
            starts.push_back(i);
            uint32_t cp;
            i += utf8_decode(s.data() + i, s.size() - i, &cp);
        }
        size_t pos = s.size();
        for (size_t k = starts.size(); k-- > 0;) {
            pos = utf8_prev(s.data(), 0, pos);
            EXPECT_EQ(pos, starts[k]) << "in text of " << s.size() << " bytes";
        }
    }
}

TEST(Utf16, ConversionReplacesIllFormedBytesAndCountsUnitsAlike) {
    const std::string s = "Caf\xC3\xA9 \xF0\x9F\x98\x80 \xFF!";
    EXPECT_EQ(to_utf16(s, 64), u"Caf\u00E9 \U0001F600 \uFFFD!");
    EXPECT_EQ(utf16_length(s.data(), s.size()), to_utf16(s, 64).size());
}

TEST(Utf16, ATextLongerThanTheRoomIsCutBetweenCharacters) {
    const std::string s = "ab\xF0\x9F\x98\x80"
                          "c";
    size_t used = 0;
    EXPECT_EQ(to_utf16(s, 4, &used), u"ab") << "the pair needs two units, one is left";
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(to_utf16(s, 5, &used), u"ab\U0001F600");
    EXPECT_EQ(used, 6u);
    EXPECT_EQ(to_utf16("\xD0\x9A\xD0\xB0", 2), u"\u041A") << "never a replacement from a cut";
    EXPECT_EQ(to_utf16("abc", 1), u"");
    EXPECT_EQ(utf8_to_utf16("abc", 3, nullptr, 0, &used), 0u);
    EXPECT_EQ(used, 0u);
}

TEST(Utf16, BackToUtf8KeepsCharactersAndReplacesLoneSurrogates) {
    const uint16_t typed[] = {'K', 0x0430, 0xD83D, 0xDE00, 0xDC00, 'x'};
    char out[32];
    size_t n = utf16_to_utf8(typed, 6, out, sizeof out);
    EXPECT_EQ(std::string(out, n), "K\xD0\xB0\xF0\x9F\x98\x80\xEF\xBF\xBDx");
    EXPECT_EQ(utf16_to_utf8(typed, 6, out, 5), 3u) << "room for K and a, not for the pair";
    EXPECT_STREQ(out, "K\xD0\xB0");
}
