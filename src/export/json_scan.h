// JSON text (RFC 8259) read token by token, and checked whole without recursion.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum JsonTokenKind : uint8_t {
    JSON_BEGIN_OBJECT,
    JSON_END_OBJECT,
    JSON_BEGIN_ARRAY,
    JSON_END_ARRAY,
    JSON_NAME_SEP,  // ':'
    JSON_VALUE_SEP, // ','
    JSON_STRING,    // quotes included, escapes as written
    JSON_NUMBER,
    JSON_LITERAL, // true, false, null
    JSON_END,     // nothing but whitespace was left
    JSON_BAD,     // bytes no token can be made of
};

// A token's kind and its bytes as written (text points into the lexer's input).
struct JsonToken {
    JsonTokenKind kind;
    const char *text;
    size_t len;
};

// The unread part [at, end) of a text; it points into the caller's bytes and owns nothing.
struct JsonLexer {
    const char *at;
    const char *end;
};

inline void json_lexer_start(JsonLexer *lexer, const char *text, size_t len) {
    lexer->at = text;
    lexer->end = text + len;
}

// Skips whitespace (blank, tab, LF, CR) and reads the next token. A string must be well-formed
// UTF-8 with no control character unescaped and only JSON's escapes; a number must follow JSON's
// grammar (no leading zero, no lone '.', no '+' sign). A bad token leaves the lexer where it was.
JsonToken json_next(JsonLexer *lexer);

// Whether the character at the start of text (n > 0 bytes) is well-formed UTF-8, an encoded
// U+FFFD included; its length as utf8_decode reads it (the maximal subpart when ill-formed) goes
// into *len.
bool utf8_well_formed_at(const char *text, size_t n, size_t *len);

// Whether len bytes are exactly one JSON number, e.g. "-0.5e+3" but not "1.", ".5", "+1", "NaN".
bool json_is_number(const char *text, size_t len);

enum JsonCheck { JSON_VALID, JSON_INVALID, JSON_NO_MEMORY };

// Whether len bytes are one JSON value with nothing but whitespace around it. Nesting of any
// depth is walked in a loop; past 512 levels the record of which brackets are open moves into
// one block of len / 8 bytes from the allocation seam, freed before returning. JSON_NO_MEMORY
// when that block cannot be had.
JsonCheck json_check(const char *text, size_t len);
