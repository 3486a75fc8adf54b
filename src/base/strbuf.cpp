// StrBuf: append with doubling growth; a failed growth is remembered, never half-applied.
#include "base/strbuf.h"

#include "base/mem.h"

#include <stdint.h>
#include <string.h>

int sb_init(StrBuf *sb) {
    return sb_init_spilling(sb, STRBUF_START, nullptr, nullptr);
}

int sb_init_spilling(StrBuf *sb, size_t cap, void (*spill)(StrBuf *sb, void *to), void *to) {
    sb->len = 0;
    sb->failed = 0;
    sb->spill = spill;
    sb->spill_to = to;
    sb->data = static_cast<char *>(mem_alloc(cap));
    sb->cap = sb->data ? cap : 0;
    if (!sb->data) return 0;
    sb->data[0] = '\0';
    return 1;
}

char *sb_grow(StrBuf *sb, size_t n) {
    if (sb->failed) return nullptr;
    if (sb->spill && sb->len > 0) {
        sb->spill(sb, sb->spill_to);
        if (sb->failed) return nullptr;
        sb->data[sb->len] = '\0';
        if (n < sb->cap - sb->len) return sb->data + sb->len;
    }
    if (n > SIZE_MAX / 2 - 1 - sb->len) {
        sb->failed = 1;
        return nullptr;
    }
    size_t need = sb->len + n + 1;
    if (sb->cap < need) {
        size_t cap = sb->cap;
        while (cap < need) cap *= 2;
        char *grown = static_cast<char *>(mem_realloc(sb->data, cap));
        if (!grown) {
            sb->failed = 1;
            return nullptr;
        }
        sb->data = grown;
        sb->cap = cap;
    }
    return sb->data + sb->len;
}

void sb_add_len(StrBuf *sb, const char *text, size_t n) {
    if (n == 0) return;
    char *room = sb_prep(sb, n);
    if (!room) return;
    memcpy(room, text, n);
    sb_commit(sb, n);
}

void sb_add(StrBuf *sb, const char *text) {
    if (text) sb_add_len(sb, text, strlen(text));
}

char *sb_take(StrBuf *sb) {
    char *data = sb->data;
    if (sb->failed) {
        mem_free(data);
        data = nullptr;
    }
    sb->data = nullptr;
    sb->len = sb->cap = 0;
    return data;
}

void sb_drop(StrBuf *sb) {
    mem_free(sb->data);
    sb->data = nullptr;
    sb->len = sb->cap = 0;
}
