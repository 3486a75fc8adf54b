// UTF-8 as the views read it: replacement of ill-formed bytes by maximal subparts, at every edge of
// the well-formed byte ranges, steps back by whole characters, and UTF-16 in a bounded room cut
// only between characters.
#include <gtest/gtest.h>

#include "base/utf8.h"

#include <stdio.h>

#include <algorithm>
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

// Every well-formed sequence: each scalar value encoded by the bit layout of UTF-8, its bytes
// packed high to low into `key` with zeros after them. UTF-8 keeps code point order and no
// sequence starts another, so the keys come out sorted and a prefix's sequences are adjacent.
struct Encoded {
    uint32_t key, cp;
    size_t len;
};

std::vector<Encoded> every_sequence() {
    std::vector<Encoded> out;
    for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        size_t len = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        uint32_t bytes[4] = {cp, 0, 0, 0};
        if (len > 1) {
            static const uint32_t marks[5] = {0, 0, 0xC0, 0xE0, 0xF0};
            for (size_t k = len - 1; k > 0; --k)
                bytes[k] = 0x80 | ((cp >> (6 * (len - 1 - k))) & 0x3F);
            bytes[0] = marks[len] | (cp >> (6 * (len - 1)));
        }
        out.push_back({bytes[0] << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3], cp, len});
    }
    return out;
}

// What decoding the start of s must give, by the list alone: the sequence s starts with, or else
// U+FFFD for the longest start of s that begins some sequence (its maximal subpart), at least
// one byte.
std::pair<uint32_t, size_t> expected_start(const std::vector<Encoded> &all, const std::string &s) {
    for (size_t k = std::min<size_t>(s.size(), 4); k > 0; --k) {
        uint32_t key = 0;
        for (size_t i = 0; i < 4; ++i)
            key = key << 8 | (i < k ? static_cast<unsigned char>(s[i]) : 0u);
        auto it = std::lower_bound(all.begin(), all.end(), key,
                                   [](const Encoded &e, uint32_t v) { return e.key < v; });
        const uint32_t mask = ~0u << (8 * (4 - k));
        // A shorter sequence matches too when s goes on with NULs, as its key's padding does.
        if (it == all.end() || (it->key & mask) != key || it->len < k) continue;
        return it->len == k ? std::make_pair(it->cp, k) : std::make_pair(R, k);
    }
    return {R, 1};
}

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

// Every lead byte with every second byte, then continuation bytes at their bounds, bytes just
// outside them, or nothing: each well-formed range's edges (C2, DF, E0 A0, ED 9F, EF, F0 90,
// F4 8F, and C1, E0 9F, ED A0, F0 8F, F4 90, F5 just outside), truncations, and the maximal
// subparts of everything ill-formed.
TEST(Utf8Decode, EveryStartOfATextReadsAsTheListOfAllEncodedCodePointsSays) {
    const std::vector<Encoded> all = every_sequence();
    const char *const tails[] = {"",         "\x80",     "\xBF",     "\x7F",     "\xC0",
                                 "\x80\x80", "\xBF\xBF", "\x80\x7F", "\xBF\xC0", "\x80\x80\x80"};
    std::vector<std::string> texts;
    for (int b0 = 0; b0 < 256; ++b0) {
        texts.push_back(std::string{char(b0)});
        for (int b1 = 0; b1 < 256; ++b1)
            for (const char *tail : tails) texts.push_back(std::string{char(b0), char(b1)} + tail);
    }
    int mismatches = 0;
    for (const std::string &s : texts) {
        uint32_t cp = 0;
        size_t len = utf8_decode(s.data(), s.size(), &cp);
        auto want = expected_start(all, s);
        if (std::make_pair(cp, len) != want && ++mismatches <= 5) {
            char hex[4];
            std::string bytes;
            for (unsigned char b : s) bytes += (snprintf(hex, sizeof hex, " %02X", b), hex);
            ADD_FAILURE() << "bytes" << bytes << ": got U+" << std::hex << cp << " of " << len
                          << " bytes, want U+" << want.first << " of " << want.second;
        }
    }
    EXPECT_EQ(mismatches, 0);
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

// The code points at the edges of each UTF-8 length and of the surrogates, as the compiler writes
// them in UTF-8 and UTF-16.
TEST(Utf16, CodePointsAtTheEdgesOfEachLengthTakeTheUnitsTheCompilerGivesThem) {
    struct Edge {
        uint32_t cp;
        std::u8string utf8;
        std::u16string utf16;
    } edges[] = {
        {0x7F, u8"\u007F", u"\u007F"},
        {0x80, u8"\u0080", u"\u0080"},
        {0x7FF, u8"\u07FF", u"\u07FF"},
        {0x800, u8"\u0800", u"\u0800"},
        {0xD7FF, u8"\uD7FF", u"\uD7FF"},
        {0xE000, u8"\uE000", u"\uE000"},
        {0xFFFF, u8"\uFFFF", u"\uFFFF"},
        {0x10000, u8"\U00010000", u"\U00010000"},
        {0x10FFFF, u8"\U0010FFFF", u"\U0010FFFF"},
    };
    for (const Edge &e : edges) {
        const std::string bytes(e.utf8.begin(), e.utf8.end());
        uint32_t cp = 0;
        EXPECT_EQ(utf8_decode(bytes.data(), bytes.size(), &cp), bytes.size()) << std::hex << e.cp;
        EXPECT_EQ(cp, e.cp);
        EXPECT_EQ(utf16_units(e.cp), e.utf16.size()) << std::hex << e.cp;
        EXPECT_EQ(utf16_length(bytes.data(), bytes.size()), e.utf16.size()) << std::hex << e.cp;
        EXPECT_EQ(to_utf16(bytes, 8), e.utf16) << std::hex << e.cp;
        char back[8];
        EXPECT_EQ(
            std::string(back, utf16_to_utf8(reinterpret_cast<const uint16_t *>(e.utf16.data()),
                                            e.utf16.size(), back, sizeof back)),
            bytes);
    }
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

// Long ASCII runs go sixteen bytes at a time: texts mixing runs of every length with other
// characters and ill-formed bytes convert, in every room, as character by character does.
TEST(Utf16, LongAsciiRunsConvertAndCountAsCharacterByCharacter) {
    const std::string others[] = {"\xC3\xA9", "\xF0\x9F\x98\x80", "\xFF", "\xE2\x82", ""};
    std::string s;
    for (int run = 0; run < 40; ++run)
        s += std::string(static_cast<size_t>(run), static_cast<char>('a' + run % 26)) +
             others[run % 5];
    std::u16string want;
    for (const auto &[cp, len] : decode_all(s)) {
        if (cp >= 0x10000) {
            want += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            want += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            want += static_cast<char16_t>(cp);
        }
    }
    EXPECT_EQ(utf16_length(s.data(), s.size()), want.size());
    for (size_t room = 1; room <= want.size() + 1; ++room) {
        size_t used = 0;
        const std::u16string got = to_utf16(s, room, &used);
        ASSERT_LE(got.size(), room - 1);
        ASSERT_EQ(got, want.substr(0, got.size())) << "room " << room;
        // Cut only where the next character would not fit.
        ASSERT_EQ(utf16_length(s.data(), used), got.size()) << "room " << room;
        if (used < s.size()) {
            uint32_t cp = 0;
            utf8_decode(s.data() + used, s.size() - used, &cp);
            ASSERT_GT(got.size() + utf16_units(cp), room - 1) << "room " << room;
        }
    }
}

TEST(Utf16, BackToUtf8KeepsCharactersAndReplacesLoneSurrogates) {
    const uint16_t typed[] = {'K', 0x0430, 0xD83D, 0xDE00, 0xDC00, 'x'};
    char out[32];
    size_t n = utf16_to_utf8(typed, 6, out, sizeof out);
    EXPECT_EQ(std::string(out, n), "K\xD0\xB0\xF0\x9F\x98\x80\xEF\xBF\xBDx");
    EXPECT_EQ(utf16_to_utf8(typed, 6, out, 5), 3u) << "room for K and a, not for the pair";
    EXPECT_STREQ(out, "K\xD0\xB0");
}
