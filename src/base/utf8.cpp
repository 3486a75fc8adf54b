// UTF-8 decoding by the well-formed byte ranges, boundaries, and UTF-16 conversion in whole
// characters.
#include "base/utf8.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Length a lead byte announces and the range its second byte must lie in; 0 for a byte that
// starts no sequence (a continuation byte, C0, C1, F5 to FF).
struct Lead {
    uint8_t len, lo, hi;
};

Lead lead_of(unsigned char b) {
    if (b < 0x80) return {1, 0, 0};
    if (b < 0xC2) return {0, 0, 0};
    if (b < 0xE0) return {2, 0x80, 0xBF};
    if (b == 0xE0) return {3, 0xA0, 0xBF};
    if (b == 0xED) return {3, 0x80, 0x9F}; // no encoded surrogates
    if (b < 0xF0) return {3, 0x80, 0xBF};
    if (b == 0xF0) return {4, 0x90, 0xBF}; // no overlong four-byte forms
    if (b < 0xF4) return {4, 0x80, 0xBF};
    if (b == 0xF4) return {4, 0x80, 0x8F}; // nothing past U+10FFFF
    return {0, 0, 0};
}

bool continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

size_t utf8_decode(const char *text, size_t n, uint32_t *cp) {
    const unsigned char *s = reinterpret_cast<const unsigned char *>(text);
    Lead lead = lead_of(s[0]);
    if (lead.len == 1) {
        *cp = s[0];
        return 1;
    }
    *cp = REPLACEMENT_CHAR;
    if (lead.len == 0 || n < 2 || s[1] < lead.lo || s[1] > lead.hi) return 1;
    uint32_t value = s[0] & (0x7Fu >> lead.len);
    value = value << 6 | (s[1] & 0x3Fu);
    size_t i = 2;
    for (; i < lead.len; ++i) {
        if (i >= n || !continuation(s[i])) return i;
        value = value << 6 | (s[i] & 0x3Fu);
    }
    *cp = value;
    return i;
}

size_t utf8_char_floor(const char *text, size_t n, size_t off) {
    const unsigned char *s = reinterpret_cast<const unsigned char *>(text);
    // Every byte that is not a continuation byte starts a character; continuation bytes belong to
    // the nearest such byte before them when its sequence reaches them, else stand alone.
    for (size_t k = 0; k < 4 && k <= off; ++k) {
        if (continuation(s[off - k])) continue;
        uint32_t cp;
        return utf8_decode(text + off - k, n - (off - k), &cp) > k ? off - k : off;
    }
    return off;
}

size_t utf8_char_ceil(const char *text, size_t n, size_t off) {
    if (off >= n) return off;
    size_t start = utf8_char_floor(text, n, off);
    if (start == off) return off;
    uint32_t cp;
    return start + utf8_decode(text + start, n - start, &cp);
}

size_t utf8_prev(const char *text, size_t start, size_t pos) {
    // The character holding the byte before pos, reading no further than pos: it ends there.
    return start + utf8_char_floor(text + start, pos - start, pos - 1 - start);
}

size_t utf16_put(uint32_t cp, uint16_t *out) {
    if (cp < 0x10000) {
        out[0] = static_cast<uint16_t>(cp);
        return 1;
    }
    cp -= 0x10000;
    out[0] = static_cast<uint16_t>(0xD800 + (cp >> 10));
    out[1] = static_cast<uint16_t>(0xDC00 + (cp & 0x3FF));
    return 2;
}

// The ASCII bytes at text[0 ..], at most n, that 16-byte loads find: a multiple of 16, each byte
// one unit. Texts the viewer copies are mostly ASCII, and a byte at a time would make the
// conversion the slowest part of a large copy.
static size_t ascii_run(const char *text, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; n - i >= 16; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        if (_mm_movemask_epi8(v) != 0) break;
    }
#else
    (void)text;
    (void)n;
#endif
    return i;
}

size_t utf16_length(const char *text, size_t n) {
    size_t units = 0;
    for (size_t i = 0; i < n;) {
        if (size_t run = ascii_run(text + i, n - i)) {
            units += run;
            i += run;
            continue;
        }
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++units;
            ++i;
            continue;
        }
        uint32_t cp;
        i += utf8_decode(text + i, n - i, &cp);
        units += utf16_units(cp);
    }
    return units;
}

size_t utf8_to_utf16(const char *text, size_t n, uint16_t *out, size_t room, size_t *used) {
    size_t o = 0, i = 0;
    if (room > 0) {
        while (i < n) {
#if defined(__SSE2__)
            // Sixteen ASCII bytes widen to sixteen units at once.
            while (n - i >= 16 && room - 1 - o >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
                if (_mm_movemask_epi8(v) != 0) break;
                const __m128i zero = _mm_setzero_si128();
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + o), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + o + 8),
                                 _mm_unpackhi_epi8(v, zero));
                i += 16;
                o += 16;
            }
            if (i >= n) break;
#endif
            unsigned char b = static_cast<unsigned char>(text[i]);
            if (b < 0x80) {
                if (o + 1 > room - 1) break;
                out[o++] = b;
                ++i;
                continue;
            }
            uint32_t cp;
            size_t len = utf8_decode(text + i, n - i, &cp);
            if (o + utf16_units(cp) > room - 1) break;
            o += utf16_put(cp, out + o);
            i += len;
        }
        out[o] = 0;
    }
    if (used) *used = i;
    return o;
}

size_t utf16_to_utf8(const uint16_t *text, size_t n, char *out, size_t room) {
    if (room == 0) return 0;
    size_t o = 0;
    for (size_t i = 0; i < n; ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = REPLACEMENT_CHAR;
        }
        size_t len = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        if (o + len > room - 1) break;
        if (len == 1) {
            out[o++] = static_cast<char>(cp);
            continue;
        }
        static const unsigned char marks[5] = {0, 0, 0xC0, 0xE0, 0xF0};
        for (size_t k = len; k-- > 1;) {
            out[o + k] = static_cast<char>(0x80 | (cp & 0x3F));
            cp >>= 6;
        }
        out[o] = static_cast<char>(marks[len] | cp);
        o += len;
    }
    out[o] = '\0';
    return o;
}
