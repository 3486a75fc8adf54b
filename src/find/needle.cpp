// The needle: a search text folded and refused or accepted, and the folded compare.
#include "find/needle.h"

#include "base/utf8.h"
#include "find/case_fold.h"
#include "find/find_scan.h"

#include <string.h>

namespace {

static_assert(CASE_VARIANTS_MAX <= sizeof(ByteSet{}.bytes), "a byte set holds every case form");

uint8_t lead_byte(uint32_t cp) {
    if (cp < 0x80) return static_cast<uint8_t>(cp);
    if (cp < 0x800) return static_cast<uint8_t>(0xC0 | cp >> 6);
    if (cp < 0x10000) return static_cast<uint8_t>(0xE0 | cp >> 12);
    return static_cast<uint8_t>(0xF0 | cp >> 18);
}

uint8_t final_byte(uint32_t cp) {
    return static_cast<uint8_t>(cp < 0x80 ? cp : 0x80 | (cp & 0x3F));
}

// Adds b unless the set has it.
void add_byte(ByteSet *set, uint8_t b) {
    for (int k = 0; k < set->count; ++k)
        if (set->bytes[k] == b) return;
    set->bytes[set->count++] = b;
}

// The lead (or final) bytes of every case form of cp, folded by the 0x20 bit when that makes
// fewer compares: an ASCII letter's two cases, or a Latin-1 or Cyrillic pair's final bytes.
ByteSet byte_set(uint32_t cp, bool final) {
    uint32_t forms[CASE_VARIANTS_MAX];
    size_t n = case_variants(cp, forms);
    ByteSet exact = {}, folded = {};
    folded.mask = 0x20;
    for (size_t k = 0; k < n; ++k) {
        uint8_t b = final ? final_byte(forms[k]) : lead_byte(forms[k]);
        add_byte(&exact, b);
        add_byte(&folded, b | 0x20);
    }
    return folded.count < exact.count ? folded : exact;
}

} // namespace

int needle_compile(Needle *needle, const char *text, size_t n) {
    needle->char_count = 0;
    needle->len = 0;
    needle->first = needle->last = ByteSet{};
    needle->replacement = needle->tab = 0;
    if (n == 0 || n > FIND_TEXT_MAX) return 0;
    if (memchr(text, '\n', n) || memchr(text, '\r', n) || memchr(text, '\0', n)) return 0;
    int32_t count = 0;
    for (size_t i = 0; i < n;) {
        uint32_t cp;
        i += utf8_decode(text + i, n - i, &cp);
        if (cp == REPLACEMENT_CHAR) needle->replacement = 1;
        needle->chars[count++] = fold_case(cp);
    }
    needle->char_count = count;
    needle->len = static_cast<int32_t>(n);
    needle->first = byte_set(needle->chars[0], false);
    needle->last = byte_set(needle->chars[count - 1], true);
    needle->tab = memchr(text, '\t', n) != nullptr;
    return 1;
}

size_t match_at(const Needle *needle, const char *p, const char *end) {
    const char *s = p;
    for (int32_t k = 0; k < needle->char_count; ++k) {
        if (s >= end) return 0;
        unsigned char b = static_cast<unsigned char>(*s);
        uint32_t cp;
        if (b < 0x80) {
            cp = static_cast<uint32_t>(b - 'A') < 26u ? b + 32u : b;
            ++s;
        } else {
            s += utf8_decode(s, static_cast<size_t>(end - s), &cp);
            cp = fold_case(cp);
        }
        if (cp != needle->chars[k]) return 0;
    }
    return static_cast<size_t>(s - p);
}

bool text_holds(const Needle *needle, const char *text, size_t n) {
    const char *end = text + n;
    if (!needle->replacement) {
        const ScanArea area = {text, end, 0};
        return scan_next(needle, &area, text, end) < end;
    }
    for (const char *p = text; p < end;) {
        if (match_at(needle, p, end)) return true;
        uint32_t cp;
        p += utf8_decode(p, static_cast<size_t>(end - p), &cp);
    }
    return false;
}
