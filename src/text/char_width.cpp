// Character widths: East Asian wide ranges, tab stops, and the fast step over plain ASCII.
#include "text/char_width.h"

#include "base/code_ranges.h"
#include "base/utf8.h"

#include <string.h>

namespace {

// East Asian wide and fullwidth characters, in order.
const CodeRange WIDE[] = {
#include "text/wide_chars.inc"
};

// Bytes that are neither ASCII nor a tab have their high bit set in the result, for eight bytes
// at once.
uint64_t not_plain(const char *s) {
    uint64_t w;
    memcpy(&w, s, sizeof w);
    const uint64_t ones = 0x0101010101010101ull;
    uint64_t tabs = w ^ (ones * '\t'); // a zero byte where w has a tab
    return w | ((tabs - ones) & ~tabs);
}

} // namespace

int char_columns(uint32_t cp) {
    return code_in_ranges(cp, WIDE, sizeof WIDE / sizeof WIDE[0]) ? 2 : 1;
}

uint32_t shown_char(uint32_t cp) {
    if (cp < 0x20) return 0x2400 + cp;
    if (cp == 0x7F) return 0x2421;
    return cp;
}

size_t char_step(const char *s, size_t len, size_t off, size_t col, size_t *next_col) {
    unsigned char b = static_cast<unsigned char>(s[off]);
    if (b == '\t') {
        *next_col = tab_stop_after(col);
        return 1;
    }
    if (b < 0x80) {
        *next_col = col + 1;
        return 1;
    }
    uint32_t cp;
    size_t n = utf8_decode(s + off, len - off, &cp);
    *next_col = col + static_cast<size_t>(char_columns(cp));
    return n;
}

size_t plain_run(const char *s, size_t n) {
    const uint64_t highs = 0x8080808080808080ull;
    size_t i = 0;
    while (n - i >= 16 && ((not_plain(s + i) | not_plain(s + i + 8)) & highs) == 0) i += 16;
    return i;
}
