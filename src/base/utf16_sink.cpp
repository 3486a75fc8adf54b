// The UTF-16 sink: each piece counted or converted up to its last whole character.
#include "base/utf16_sink.h"

#include "base/stop.h"
#include "base/utf8.h"

#include <string.h>

namespace {

// Bytes at the piece's end that begin a character whose rest has not come yet: a lead byte, and
// the continuation bytes after it, fewer than it announces.
size_t cut_tail(const char *s, size_t n) {
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        unsigned char b = static_cast<unsigned char>(s[n - back]);
        if ((b & 0xC0) == 0x80) continue; // a continuation byte: look further back
        size_t want = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return want > back ? back : 0;
    }
    return 0;
}

// Counts or converts the first n bytes of the piece.
void take(StrBuf *sb, Utf16Sink *sink, size_t n) {
    if (!sink->out) {
        sink->units += utf16_length(sb->data, n);
        if (sink->units > sink->limit) sb->failed = 1;
        return;
    }
    size_t used = 0;
    size_t room = static_cast<size_t>(sink->room - sink->units);
    sink->units += utf8_to_utf16(sb->data, n, sink->out + sink->units, room, &used);
    if (used < n) sb->failed = 1; // the block was made too small: never store a cut text
}

} // namespace

void utf16_sink_spill(StrBuf *sb, void *to) {
    Utf16Sink *sink = static_cast<Utf16Sink *>(to);
    // Each piece is milliseconds of building: where a stopped copy gives up.
    if (stop_asked()) {
        sb->failed = 1;
        return;
    }
    size_t keep = cut_tail(sb->data, sb->len);
    take(sb, sink, sb->len - keep);
    memmove(sb->data, sb->data + sb->len - keep, keep);
    sb->len = keep;
}

uint64_t utf16_sink_finish(StrBuf *sb, Utf16Sink *sink) {
    if (!sb->failed) take(sb, sink, sb->len);
    sb->len = 0;
    return sink->units;
}
