// JSON tokens by a hand-written lexer, and the grammar as a state machine over a bit stack.
#include "export/json_scan.h"

#include "base/mem.h"
#include "base/utf8.h"

#include <string.h>

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

static bool is_hex(char c) {
    return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Bytes of the longest JSON number at the start of [p, end); 0 when none starts there.
static size_t number_length(const char *p, const char *end) {
    const char *q = p;
    if (q < end && *q == '-') ++q;
    if (q == end || !is_digit(*q)) return 0;
    if (*q == '0') {
        ++q;
    } else {
        while (q < end && is_digit(*q)) ++q;
    }
    if (q + 1 < end && *q == '.' && is_digit(q[1])) {
        q += 2;
        while (q < end && is_digit(*q)) ++q;
    }
    if (q < end && (*q == 'e' || *q == 'E')) {
        const char *e = q + 1;
        if (e < end && (*e == '+' || *e == '-')) ++e;
        if (e < end && is_digit(*e)) {
            while (e < end && is_digit(*e)) ++e;
            q = e;
        }
    }
    return static_cast<size_t>(q - p);
}

bool json_is_number(const char *text, size_t len) {
    return len > 0 && number_length(text, text + len) == len;
}

bool utf8_well_formed_at(const char *text, size_t n, size_t *len) {
    uint32_t cp = 0;
    *len = utf8_decode(text, n, &cp);
    return cp != REPLACEMENT_CHAR || (*len == 3 && memcmp(text, "\xEF\xBF\xBD", 3) == 0);
}

// Bytes of the string starting with the quote at p, closing quote included; 0 when it is not a
// well-formed JSON string.
static size_t string_length(const char *p, const char *end) {
    const char *q = p + 1;
    while (q < end) {
        unsigned char c = static_cast<unsigned char>(*q);
        if (c == '"') return static_cast<size_t>(q + 1 - p);
        if (c < 0x20) return 0;
        if (c == '\\') {
            if (q + 1 == end) return 0;
            char x = q[1];
            if (x == 'u') {
                if (end - q < 6) return 0;
                for (int i = 2; i < 6; ++i)
                    if (!is_hex(q[i])) return 0;
                q += 6;
            } else if (x != '\0' && strchr("\"\\/bfnrt", x)) {
                q += 2;
            } else {
                return 0;
            }
        } else if (c >= 0x80) {
            size_t n = 0;
            if (!utf8_well_formed_at(q, static_cast<size_t>(end - q), &n)) return 0;
            q += n;
        } else {
            ++q;
        }
    }
    return 0;
}

JsonToken json_next(JsonLexer *lexer) {
    const char *p = lexer->at;
    const char *end = lexer->end;
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) ++p;
    if (p == end) {
        lexer->at = p;
        return {JSON_END, p, 0};
    }
    JsonTokenKind kind = JSON_BAD;
    size_t n = 1;
    switch (*p) {
    case '{': kind = JSON_BEGIN_OBJECT; break;
    case '}': kind = JSON_END_OBJECT; break;
    case '[': kind = JSON_BEGIN_ARRAY; break;
    case ']': kind = JSON_END_ARRAY; break;
    case ':': kind = JSON_NAME_SEP; break;
    case ',': kind = JSON_VALUE_SEP; break;
    case '"':
        n = string_length(p, end);
        kind = n ? JSON_STRING : JSON_BAD;
        break;
    case 't':
    case 'f':
    case 'n': {
        const char *word = *p == 't' ? "true" : *p == 'f' ? "false" : "null";
        n = strlen(word);
        kind =
            static_cast<size_t>(end - p) >= n && memcmp(p, word, n) == 0 ? JSON_LITERAL : JSON_BAD;
        break;
    }
    default:
        n = number_length(p, end);
        kind = n ? JSON_NUMBER : JSON_BAD;
        break;
    }
    if (kind == JSON_BAD) {
        lexer->at = p;
        return {JSON_BAD, p, 0};
    }
    lexer->at = p + n;
    return {kind, p, n};
}

namespace {

// Which brackets are open, one bit a level (1: an object), innermost last. The first
// INLINE_LEVELS live in the record; deeper nesting moves them all into one block big enough for
// any nesting the text can hold.
enum { INLINE_LEVELS = 512 };

struct OpenBrackets {
    unsigned char inline_bits[INLINE_LEVELS / 8];
    unsigned char *bits;
    size_t capacity; // levels that fit in `bits`
    size_t depth;
};

// Pushes one level; returns 0 when the block for deep nesting cannot be had.
int push_level(OpenBrackets *open, bool object, size_t text_len) {
    if (open->depth == open->capacity) {
        // The block holds a level for every byte of the text, so it never fills.
        if (open->bits != open->inline_bits) return 0;
        size_t levels = text_len + 1;
        unsigned char *block = static_cast<unsigned char *>(mem_alloc(levels / 8 + 1));
        if (!block) return 0;
        memcpy(block, open->bits, open->capacity / 8);
        open->bits = block;
        open->capacity = levels;
    }
    const size_t d = open->depth++;
    const unsigned char bit = static_cast<unsigned char>(1u << (d % 8));
    if (object)
        open->bits[d / 8] |= bit;
    else
        open->bits[d / 8] &= static_cast<unsigned char>(~bit);
    return 1;
}

bool innermost_is_object(const OpenBrackets *open) {
    const size_t d = open->depth - 1;
    return (open->bits[d / 8] >> (d % 8)) & 1;
}

// What may come next.
enum Expect {
    EXPECT_VALUE,              // at the start, after ':' and after ',' in an array
    EXPECT_VALUE_OR_ARRAY_END, // after '['
    EXPECT_NAME_OR_OBJECT_END, // after '{'
    EXPECT_NAME,               // after ',' in an object
    EXPECT_NAME_SEP,           // after a member's name
    EXPECT_SEP_OR_END,         // after a value inside brackets
    EXPECT_NOTHING,            // after the top value
};

// The state after a whole value: a separator or a close inside brackets, else the end.
Expect after_value(const OpenBrackets *open) {
    return open->depth > 0 ? EXPECT_SEP_OR_END : EXPECT_NOTHING;
}

// One token against the state; returns the next state, or -1 when the token may not come here,
// or -2 when memory for deep nesting ran out.
int step(OpenBrackets *open, Expect expect, JsonTokenKind kind, size_t text_len) {
    const bool value_here = expect == EXPECT_VALUE || expect == EXPECT_VALUE_OR_ARRAY_END;
    switch (kind) {
    case JSON_BEGIN_OBJECT:
    case JSON_BEGIN_ARRAY:
        if (!value_here) return -1;
        if (!push_level(open, kind == JSON_BEGIN_OBJECT, text_len)) return -2;
        return kind == JSON_BEGIN_OBJECT ? EXPECT_NAME_OR_OBJECT_END : EXPECT_VALUE_OR_ARRAY_END;
    case JSON_END_OBJECT:
    case JSON_END_ARRAY: {
        const bool object = kind == JSON_END_OBJECT;
        const bool may_close =
            object ? expect == EXPECT_NAME_OR_OBJECT_END : expect == EXPECT_VALUE_OR_ARRAY_END;
        if (!may_close && expect != EXPECT_SEP_OR_END) return -1;
        if (innermost_is_object(open) != object) return -1;
        --open->depth;
        return after_value(open);
    }
    case JSON_NAME_SEP: return expect == EXPECT_NAME_SEP ? EXPECT_VALUE : -1;
    case JSON_VALUE_SEP:
        if (expect != EXPECT_SEP_OR_END) return -1;
        return innermost_is_object(open) ? EXPECT_NAME : EXPECT_VALUE;
    case JSON_STRING:
        if (expect == EXPECT_NAME || expect == EXPECT_NAME_OR_OBJECT_END) return EXPECT_NAME_SEP;
        return value_here ? after_value(open) : -1;
    case JSON_NUMBER:
    case JSON_LITERAL: return value_here ? after_value(open) : -1;
    case JSON_END: return expect == EXPECT_NOTHING ? EXPECT_NOTHING : -1;
    case JSON_BAD: return -1;
    }
    return -1;
}

} // namespace

JsonCheck json_check(const char *text, size_t len) {
    OpenBrackets open;
    open.bits = open.inline_bits;
    open.capacity = INLINE_LEVELS;
    open.depth = 0;
    JsonLexer lexer;
    json_lexer_start(&lexer, text, len);
    int expect = EXPECT_VALUE;
    for (;;) {
        const JsonTokenKind kind = json_next(&lexer).kind;
        expect = step(&open, static_cast<Expect>(expect), kind, len);
        if (expect < 0 || kind == JSON_END) break;
    }
    if (open.bits != open.inline_bits) mem_free(open.bits);
    if (expect == -2) return JSON_NO_MEMORY;
    return expect == EXPECT_NOTHING ? JSON_VALID : JSON_INVALID;
}
