// The UTF-16 sink: a text handed over a piece at a time, pieces cutting characters anywhere, comes
// out as the UTF-16 of the whole text, counted or converted alike.
#include <gtest/gtest.h>

#include <string>

#include "base/strbuf.h"
#include "base/utf16_sink.h"

namespace {

// Characters of one, two, three and four bytes, twice, so that a piece can end after any byte of
// each.
const std::string kText =
    "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x90\x89z\xF0\x9F\x90\x89\xE4\xB8\xAD\xC3\xA9";
const std::u16string kUtf16 = u"a\u00E9\u4E2D\U0001F409z\U0001F409\u4E2D\u00E9";

// The text appended `step` bytes at a time to a StrBuf of `cap` bytes that spills into the sink.
uint64_t through_sink(Utf16Sink *sink, size_t cap, size_t step, StrBuf *sb) {
    EXPECT_EQ(sb_init_spilling(sb, cap, utf16_sink_spill, sink), 1);
    for (size_t at = 0; at < kText.size(); at += step)
        sb_add_len(sb, kText.data() + at, std::min(step, kText.size() - at));
    const uint64_t units = utf16_sink_finish(sb, sink);
    sb_drop(sb);
    return units;
}

} // namespace

TEST(Utf16Sink, PiecesCuttingCharactersAnywhereConvertAsTheWholeText) {
    for (size_t cap = 5; cap <= 12; ++cap) {
        for (size_t step = 1; step <= 4; ++step) {
            std::u16string out(kUtf16.size() + 8, u'#');
            Utf16Sink sink = {reinterpret_cast<uint16_t *>(out.data()), out.size(), 0, 0};
            StrBuf sb;
            const uint64_t units = through_sink(&sink, cap, step, &sb);
            EXPECT_EQ(sb.failed, 0);
            ASSERT_EQ(units, kUtf16.size()) << "room " << cap << ", pieces of " << step;
            EXPECT_EQ(out.substr(0, units), kUtf16) << "room " << cap << ", pieces of " << step;
            EXPECT_EQ(out[units], u'\0') << "the text is ended";

            Utf16Sink counter = {nullptr, 0, 0, UINT64_MAX};
            EXPECT_EQ(through_sink(&counter, cap, step, &sb), kUtf16.size());
        }
    }
}

TEST(Utf16Sink, CountingPastTheLimitFailsTheText) {
    Utf16Sink counter = {nullptr, 0, 0, kUtf16.size() - 1};
    StrBuf sb;
    EXPECT_EQ(sb_init_spilling(&sb, 6, utf16_sink_spill, &counter), 1);
    sb_add_len(&sb, kText.data(), kText.size());
    utf16_sink_finish(&sb, &counter);
    EXPECT_EQ(sb.failed, 1);
    sb_drop(&sb);
}

TEST(Utf16Sink, ACharacterCutAtTheTextsEndIsOneReplacementCharacter) {
    std::u16string out(8, u'#');
    Utf16Sink sink = {reinterpret_cast<uint16_t *>(out.data()), out.size(), 0, 0};
    StrBuf sb;
    ASSERT_EQ(sb_init_spilling(&sb, 4, utf16_sink_spill, &sink), 1);
    sb_add_len(&sb, "ab\xF0\x9F\x90", 5);
    EXPECT_EQ(utf16_sink_finish(&sb, &sink), 3u);
    EXPECT_EQ(out.substr(0, 3), u"ab\uFFFD");
    sb_drop(&sb);
}
