// The fuzz references' own reading of Unicode, apart from the project's decoder and tables: UTF-8
// decoded and encoded by the C library in its C.UTF-8 locale, and East Asian widths and case
// foldings read from the Unicode Character Database's files, once, when first asked for.
#pragma once

#include <locale.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "fuzz_check.h"
#include "ucd.h"

namespace unicode_ref {

const uint32_t REPLACEMENT = 0xFFFD;

// A start of up to three bytes, with its length, as one number.
inline uint32_t start_key(const char *s, size_t k) {
    uint32_t key = static_cast<uint32_t>(k);
    for (size_t i = 0; i < 3; ++i) key = key << 8 | (i < k ? static_cast<unsigned char>(s[i]) : 0u);
    return key;
}

// The code point glibc decodes from the start of s, and its length: 0 when it refuses the bytes
// or finds them cut short.
inline size_t libc_decode(const char *s, size_t n, uint32_t *cp) {
    mbstate_t state;
    memset(&state, 0, sizeof state);
    wchar_t wc = 0;
    size_t len = mbrtowc(&wc, s, n, &state);
    if (len == static_cast<size_t>(-1) || len == static_cast<size_t>(-2)) return 0;
    *cp = static_cast<uint32_t>(wc);
    return len == 0 ? 1 : len; // a NUL
}

// The UTF-8 bytes glibc writes for cp into out (room for 8); 0 for a surrogate.
inline size_t encode(uint32_t cp, char *out) {
    mbstate_t state;
    memset(&state, 0, sizeof state);
    size_t len = wcrtomb(out, static_cast<wchar_t>(cp), &state);
    return len == static_cast<size_t>(-1) ? 0 : len;
}

struct Tables {
    std::unordered_set<uint32_t> starts; // start_key of every proper start of a sequence
    std::vector<bool> wide;              // East_Asian_Width W or F
    std::vector<uint32_t> fold;          // the simple folding, where it keeps the UTF-8 length
    std::unordered_map<uint32_t, std::vector<uint32_t>> forms; // a folding: all that fold to it
};

inline void require(bool ok, const char *what) {
    if (!ok) fprintf(stderr, "unicode reference: %s\n", what);
    FUZZ_CHECK(ok);
}

inline Tables load() {
    require(setlocale(LC_CTYPE, "C.UTF-8") != nullptr, "no C.UTF-8 locale");
    // glibc refuses overlong forms and encoded surrogates, as Unicode does, so its answers can
    // stand for Unicode's but for one thing: it takes values past U+10FFFF (F4 90 and up, F5 to
    // F7, and five- and six-byte forms), which decode() refuses itself.
    static const char *const refused[] = {"\xC0\x80",         "\xC1\xBF",         "\xE0\x80\x80",
                                          "\xE0\x9F\xBF",     "\xED\xA0\x80",     "\xED\xBF\xBF",
                                          "\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF", "\x80"};
    uint32_t cp = 0;
    for (const char *s : refused) require(libc_decode(s, strlen(s), &cp) == 0, "glibc takes less");
    require(libc_decode("\xF0\x90\x80\x80", 4, &cp) == 4 && cp == 0x10000, "glibc reads U+10000");

    Tables t;
    char bytes[8];
    for (cp = 0; cp < ucd::CODE_POINTS; ++cp)
        for (size_t k = 1, len = encode(cp, bytes); k < len; ++k)
            t.starts.insert(start_key(bytes, k));
    t.wide = ucd::wide();
    require(!t.wide.empty(), ucd::missing("EastAsianWidth.txt").c_str());
    t.fold = ucd::simple_folding();
    require(!t.fold.empty(), ucd::missing("CaseFolding.txt").c_str());
    char other[8];
    for (cp = 0; cp < ucd::CODE_POINTS; ++cp) {
        if (t.fold[cp] == cp) continue;
        if (encode(cp, bytes) != encode(t.fold[cp], other)) {
            t.fold[cp] = cp;
            continue;
        }
        std::vector<uint32_t> &forms = t.forms[t.fold[cp]];
        if (forms.empty()) forms.push_back(t.fold[cp]);
        forms.push_back(cp);
    }
    return t;
}

inline const Tables &tables() {
    static const Tables t = load();
    return t;
}

// The character at the start of s (n > 0 bytes) and its length: glibc's answer when it decodes a
// code point of Unicode's range; else U+FFFD for the maximal subpart, the longest start of s that
// begins some well-formed sequence, or one byte.
inline size_t decode(const char *s, size_t n, uint32_t *cp) {
    size_t len = libc_decode(s, n, cp);
    if (len > 0 && *cp <= 0x10FFFF) return len;
    *cp = REPLACEMENT;
    size_t k = n < 3 ? n : 3;
    while (k > 1 && !tables().starts.count(start_key(s, k))) --k;
    return k;
}

inline size_t columns(uint32_t cp) {
    return tables().wide[cp] ? 2 : 1;
}

inline uint32_t fold(uint32_t cp) {
    return tables().fold[cp];
}

// Every code point that folds as cp does, cp included.
inline std::vector<uint32_t> forms(uint32_t cp) {
    auto it = tables().forms.find(fold(cp));
    return it == tables().forms.end() ? std::vector<uint32_t>{cp} : it->second;
}

// cp in UTF-16 into out (room for two units); returns the units.
inline size_t utf16(uint32_t cp, uint16_t *out) {
    if (cp < 0x10000) {
        out[0] = static_cast<uint16_t>(cp);
        return 1;
    }
    out[0] = static_cast<uint16_t>(0xD800 | (cp - 0x10000) >> 10);
    out[1] = static_cast<uint16_t>(0xDC00 | (cp & 0x3FF));
    return 2;
}

} // namespace unicode_ref
