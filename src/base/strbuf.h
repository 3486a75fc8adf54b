// StrBuf: a growable NUL-terminated byte string for composing texts.
#pragma once

#include <stddef.h>

enum { STRBUF_START = 8192 };

// `data` is always NUL-terminated and holds `len` bytes before the NUL in a block of `cap` bytes.
// The StrBuf lives on the caller's stack; `data` is owned by whoever holds the StrBuf, who either
// takes it over (sb_take) or frees it (sb_drop).
//
// Growth doubles `cap` until the text fits. When growth cannot be had, the buffer keeps the text
// it had, `failed` becomes 1 and every later append does nothing, so a caller checks `failed`
// once at the end and never stores a truncated text.
//
// A spilling StrBuf (sb_init_spilling) never grows past its first block for long: when an append
// does not fit, `spill` is called first to take the text away (to count it, or convert it where
// it goes), leaving at most a few bytes at the front; the block grows only for an append larger
// than itself. A spill that sets `failed` stops the text there.
struct StrBuf {
    char *data;
    size_t len;
    size_t cap;
    int failed;
    void (*spill)(StrBuf *sb, void *to);
    void *spill_to;
};

// Allocates the first STRBUF_START bytes. Returns 1, or 0 when the memory cannot be had (then
// `data` is null and the other verbs must not be used).
int sb_init(StrBuf *sb);

// The same for a spilling StrBuf of `cap` bytes that hands its text to spill(sb, to).
int sb_init_spilling(StrBuf *sb, size_t cap, void (*spill)(StrBuf *sb, void *to), void *to);

// Appends a NUL-terminated string; a null text does nothing. May reallocate `data`.
void sb_add(StrBuf *sb, const char *text);

// Appends n bytes (which may hold no NUL). May reallocate `data`.
void sb_add_len(StrBuf *sb, const char *text, size_t n);

// For writing a text in place rather than copying it in: makes room for n more bytes and the NUL
// after them and returns where they go (data + len), or null when the room cannot be had (then
// `failed` is set). May reallocate `data`. The bytes count once sb_commit adds them. Inline, as
// callers use it per field of a large selection; the growth lives in sb_grow.
char *sb_grow(StrBuf *sb, size_t n);
inline char *sb_prep(StrBuf *sb, size_t n) {
    if (!sb->failed && n < sb->cap - sb->len) return sb->data + sb->len;
    return sb_grow(sb, n);
}

// Adds the n bytes written at sb_prep's pointer (n at most what was asked) and ends the text.
inline void sb_commit(StrBuf *sb, size_t n) {
    sb->len += n;
    sb->data[sb->len] = '\0';
}

// Hands `data` to the caller and leaves the StrBuf empty; null when the buffer had failed (its
// data is then freed).
char *sb_take(StrBuf *sb);

// Frees `data`.
void sb_drop(StrBuf *sb);
