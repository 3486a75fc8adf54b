// A COPY text field's value, decoded a piece at a time: what the server compares is the value,
// whose bytes sort apart from their escaped forms (a tab is 0x09, its escape "\t" starts 0x5C).
#pragma once

#include <stddef.h>
#include <stdint.h>

// Whether the raw field (len bytes) is COPY's NULL marker: exactly "\N". Any other field holding
// "\N" is a value ("\Nx" decodes to "Nx").
inline bool field_is_null(const char *raw, size_t len) {
    return len == 2 && raw[0] == '\\' && raw[1] == 'N';
}

// Decodes the escapes of the field text [*p, end) into out, at most `want` bytes, and advances *p
// past what it decoded; returns the bytes written, fewer than `want` only when the text ends.
//
// The escapes are COPY's: \b \f \n \r \t \v, one to three octal digits, \x with one or two hex
// digits, and a backslash before any other byte for that byte. Each escape gives one byte. A
// backslash that ends the field stays as it is.
size_t copy_unescape(const char **p, const char *end, uint8_t *out, size_t want);
