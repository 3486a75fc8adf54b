// Sort keys per column kind.
#include "order/sort_key.h"

#include "document/copy_escapes.h"
#include "order/number_key.h"
#include "order/time_key.h"

#include <string.h>

namespace {

void put_be(uint8_t *out, uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i, value >>= 8) out[i] = static_cast<uint8_t>(value);
}

// A signed count as 8 bytes whose unsigned order is the count's order.
void put_count(SortKey *key, int64_t value) {
    put_be(key->head + key->head_len, static_cast<uint64_t>(value) ^ (1ull << 63), 8);
    key->head_len += 8;
}

// A decimal's class byte and, for a non-zero number, its exponent; the digits follow as the tail.
void open_decimal(SortKey *key, const Decimal *d) {
    key->head[key->head_len++] = d->cls;
    if (d->cls != DECIMAL_NEGATIVE && d->cls != DECIMAL_POSITIVE) return;
    uint32_t exponent = static_cast<uint32_t>(d->exponent + (1 << 23));
    key->negative = d->cls == DECIMAL_NEGATIVE;
    if (key->negative) exponent = 0xFFFFFF - exponent;
    put_be(key->head + key->head_len, exponent, 3);
    key->head_len += 3;
    key->tail = TAIL_DIGITS;
    key->p = d->digits;
    key->digits_left = d->count;
}

// The head (and tail) of a value of `kind`; false when the text is none.
bool open_value(SortKey *key, ColumnKind kind, const char *field, size_t len) {
    int64_t count;
    switch (kind) {
    case KIND_TEXT:
    case KIND_JSON: key->tail = TAIL_DECODED; return true;
    case KIND_INTEGER:
        if (!integer_read(field, len, &count)) return false;
        put_count(key, count);
        return true;
    case KIND_NUMERIC:
    case KIND_FLOAT: {
        Decimal d;
        if (!decimal_read(field, len, &d)) return false;
        open_decimal(key, &d);
        return true;
    }
    case KIND_BOOLEAN:
        if (len != 1 || (field[0] != 't' && field[0] != 'f')) return false;
        key->head[key->head_len++] = field[0] == 't';
        return true;
    case KIND_DATE:
        if (!date_read(field, len, &count)) return false;
        put_count(key, count);
        return true;
    case KIND_TIME:
        if (!time_read(field, len, &count)) return false;
        put_count(key, count);
        return true;
    case KIND_TIMESTAMP:
    case KIND_TIMESTAMPTZ:
        if (!timestamp_read(field, len, kind == KIND_TIMESTAMPTZ, &count)) return false;
        put_count(key, count);
        return true;
    case KIND_TIMETZ: {
        int32_t zone;
        if (!timetz_read(field, len, &count, &zone)) return false;
        put_count(key, count);
        put_be(key->head + key->head_len, static_cast<uint32_t>(zone + (1 << 23)), 3);
        key->head_len += 3;
        return true;
    }
    }
    return false;
}

// The digits two to a byte. Works on copies of the key's fields, which writes through `out` would
// otherwise make the compiler read again for every byte.
size_t read_digits(SortKey *key, uint8_t *out, size_t want) {
    const char *p = key->p;
    int64_t left = key->digits_left;
    const int base = key->negative ? 100 : 1, sign = key->negative ? -1 : 1;
    size_t n = 0;
    for (; n < want && left > 0; ++n) {
        if (*p == '.') ++p;
        int pair = (*p++ - '0') * 10;
        if (--left > 0) {
            if (*p == '.') ++p;
            pair += *p++ - '0';
            --left;
        }
        out[n] = static_cast<uint8_t>(base + sign * pair);
    }
    key->p = p;
    key->digits_left = left;
    if (n < want && key->negative && !key->ended) {
        out[n++] = 0xFF;
        key->ended = true;
    }
    return n;
}

} // namespace

void sort_key_open_raw(SortKey *key, const char *field, size_t len) {
    key->cls = FIELD_DAMAGED;
    key->tail = TAIL_RAW;
    key->negative = false;
    key->ended = false;
    key->head_len = 0;
    key->head_pos = 0;
    key->p = field;
    key->end = field ? field + len : nullptr;
    key->digits_left = 0;
}

void sort_key_open(SortKey *key, ColumnKind kind, const char *field, size_t len) {
    sort_key_open_raw(key, field, len);
    if (!field) return;
    if (field_is_null(field, len)) {
        key->cls = FIELD_NULL;
        return;
    }
    key->cls = FIELD_VALUE;
    key->tail = TAIL_NONE;
    if (!open_value(key, kind, field, len)) sort_key_open_raw(key, field, len);
}

size_t sort_key_read(SortKey *key, uint8_t *out, size_t want) {
    size_t n = static_cast<size_t>(key->head_len - key->head_pos);
    if (n > want) n = want;
    memcpy(out, key->head + key->head_pos, n);
    key->head_pos = static_cast<uint8_t>(key->head_pos + n);
    if (n == want) return n;
    switch (key->tail) {
    case TAIL_NONE: break;
    case TAIL_RAW: {
        size_t m = static_cast<size_t>(key->end - key->p);
        if (m > want - n) m = want - n;
        if (m) memcpy(out + n, key->p, m);
        key->p += m;
        n += m;
        break;
    }
    case TAIL_DECODED: n += copy_unescape(&key->p, key->end, out + n, want - n); break;
    case TAIL_DIGITS: n += read_digits(key, out + n, want - n); break;
    }
    return n;
}

void sort_key_skip(SortKey *key, size_t n) {
    size_t in_head = static_cast<size_t>(key->head_len - key->head_pos);
    if (in_head > n) in_head = n;
    key->head_pos = static_cast<uint8_t>(key->head_pos + in_head);
    n -= in_head;
    // The field's own bytes are stepped over where no escape lies among them.
    if (n > 0 && (key->tail == TAIL_RAW || key->tail == TAIL_DECODED)) {
        size_t span = static_cast<size_t>(key->end - key->p);
        if (span > n) span = n;
        if (key->tail == TAIL_RAW || !memchr(key->p, '\\', span)) {
            key->p += span;
            return;
        }
    }
    uint8_t scratch[64];
    while (n > 0) {
        size_t want = n < sizeof scratch ? n : sizeof scratch;
        size_t got = sort_key_read(key, scratch, want);
        if (got < want) return;
        n -= got;
    }
}

int sort_key_compare(SortKey *a, SortKey *b) {
    if (a->cls != b->cls) return a->cls < b->cls ? -1 : 1;
    if (a->cls == FIELD_NULL) return 0;
    uint8_t x[32], y[32];
    for (;;) {
        size_t nx = sort_key_read(a, x, sizeof x), ny = sort_key_read(b, y, sizeof y);
        int c = memcmp(x, y, nx < ny ? nx : ny);
        if (c != 0) return c < 0 ? -1 : 1;
        if (nx != ny) return nx < ny ? -1 : 1;
        if (nx < sizeof x) return 0;
    }
}

size_t sort_key_common(SortKey *a, SortKey *b, size_t limit) {
    uint8_t x[32], y[32];
    size_t common = 0;
    while (common < limit) {
        size_t want = limit - common < sizeof x ? limit - common : sizeof x;
        size_t nx = sort_key_read(a, x, want), ny = sort_key_read(b, y, want);
        size_t m = nx < ny ? nx : ny, i = 0;
        while (i < m && x[i] == y[i]) ++i;
        common += i;
        if (i < want) break;
    }
    return common;
}
