// UTF-8 as every view of the viewer reads it: decoding with replacement, character boundaries,
// and conversion to the UTF-16 that Windows shows.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum : uint32_t { REPLACEMENT_CHAR = 0xFFFD };

// Decodes the character at the start of `text` (n > 0 bytes readable) into *cp and returns its
// length in bytes, 1 to 4. A well-formed sequence gives its code point. Anything else (a stray
// continuation byte, an overlong form, an encoded surrogate, a value past U+10FFFF, a sequence cut
// short) gives U+FFFD for its maximal subpart: the longest start of a well-formed sequence, or one
// byte when there is none. That is the Unicode Standard's recommended practice, so every byte
// belongs to exactly one character and the same bytes always read the same way.
size_t utf8_decode(const char *text, size_t n, uint32_t *cp);

// Character boundaries in n bytes of text, as utf8_decode reads them. Each looks at most four
// bytes around `off`, so a step costs the same in a line of any length.

// The start of the character holding byte `off` (off < n): off itself when a character starts
// there, or when the continuation byte at off belongs to no sequence before it.
size_t utf8_char_floor(const char *text, size_t n, size_t off);

// The first character start at or after `off` (off <= n).
size_t utf8_char_ceil(const char *text, size_t n, size_t off);

// The start of the character that ends at `pos`, reading forward from `start` (a character
// boundary at or before pos, e.g. the line's start). pos must be a character boundary above
// start.
size_t utf8_prev(const char *text, size_t start, size_t pos);

// UTF-16 units of a code point: 2 past the Basic Multilingual Plane, else 1.
inline size_t utf16_units(uint32_t cp) {
    return cp >= 0x10000 ? 2 : 1;
}

// Writes the code point as UTF-16 into out (room for utf16_units(cp) units); returns the units.
size_t utf16_put(uint32_t cp, uint16_t *out);

// UTF-16 units of n bytes of UTF-8, as utf8_decode reads them.
size_t utf16_length(const char *text, size_t n);

// Converts n bytes of UTF-8 into out, which has room for `room` units, and ends it with a 0 unit:
// as many whole characters as fit in room - 1 units, never half a surrogate pair. Returns the
// units written before the 0; *used, when not null, gets the bytes they came from. room 0 writes
// nothing.
size_t utf8_to_utf16(const char *text, size_t n, uint16_t *out, size_t room, size_t *used);

// UTF-16 units to UTF-8, for text typed into the platform's controls: an unpaired surrogate
// becomes U+FFFD. Writes at most room - 1 bytes of whole characters and a NUL; returns the bytes
// written before the NUL. room 0 writes nothing.
size_t utf16_to_utf8(const uint16_t *text, size_t n, char *out, size_t room);
