// Records sorted by key prefix, ties read further.
#include "order/record_sort.h"

#include "base/stop.h"

#include <string.h>

namespace {

// Whether the i-th step of a pass over records is one that looks at the stop flag, and it is set:
// a pass over a hundred million records takes longer than a stop may wait.
inline bool stopped_at(size_t i) {
    return (i & (STOP_ROWS - 1)) == STOP_ROWS - 1 && stop_asked();
}

inline bool less(const SortRecord &a, const SortRecord &b) {
    return a.head < b.head || (a.head == b.head && a.rest < b.rest);
}

inline uint64_t load_be64(const uint8_t *b) {
    uint64_t v;
    memcpy(&v, b, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

inline uint32_t load_be32(const uint8_t *b) {
    uint32_t v;
    memcpy(&v, b, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    v = __builtin_bswap32(v);
#endif
    return v;
}

// Records and their rows move together.
struct Span {
    SortRecord *r;
    int32_t *rows;
};

inline Span advanced(Span s, size_t by) {
    return {s.r + by, s.rows + by};
}

// Same key stretch, whatever the fields.
inline bool same_key(const SortRecord &a, const SortRecord &b) {
    return a.head == b.head && (a.rest >> 32) == (b.rest >> 32);
}

// Whether the key goes on past the bytes the record holds.
inline bool key_goes_on(const SortRecord &r) {
    return ((r.rest >> 32) & 0xFF) > RECORD_KEY_BYTES;
}

inline uint32_t field_of(const SortRecord &r) {
    return static_cast<uint32_t>(r.rest);
}

void insertion_sort(Span s, size_t n) {
    for (size_t i = 1; i < n; ++i) {
        SortRecord x = s.r[i];
        int32_t row = s.rows[i];
        size_t j = i;
        for (; j > 0 && less(x, s.r[j - 1]); --j) {
            s.r[j] = s.r[j - 1];
            s.rows[j] = s.rows[j - 1];
        }
        s.r[j] = x;
        s.rows[j] = row;
    }
}

// A record's (head, rest) as 16 bytes, most significant first: byte k of the number it sorts by.
inline unsigned byte_at(const SortRecord &r, unsigned k) {
    return static_cast<unsigned>((k < 8 ? r.head >> (56 - 8 * k) : r.rest >> (120 - 8 * k)) & 0xFF);
}

// Stretches this short are left to insertion sort.
const size_t RADIX_SMALL = 32;

// Turns the buckets' counts into where each begins (next) and ends (end), one after another.
inline void bucket_bounds(uint32_t next[256], uint32_t end[256]) {
    uint32_t at = 0;
    for (unsigned b = 0; b < 256; ++b) {
        uint32_t count = next[b];
        next[b] = at;
        at += count;
        end[b] = at;
    }
}

} // namespace

// Rows in ascending order, by the same kind of radix sort as the records below.
void sort_rows(int32_t *rows, size_t n) {
    if (n <= RADIX_SMALL) {
        for (size_t i = 1; i < n; ++i) {
            int32_t x = rows[i];
            size_t j = i;
            for (; j > 0 && x < rows[j - 1]; --j) rows[j] = rows[j - 1];
            rows[j] = x;
        }
        return;
    }
    uint32_t differ = 0;
    for (size_t i = 1; i < n; ++i) {
        if (stopped_at(i)) return;
        differ |= static_cast<uint32_t>(rows[i] ^ rows[0]);
    }
    if (!differ) return;
    unsigned shift = (31 - static_cast<unsigned>(__builtin_clz(differ))) / 8 * 8;
    uint32_t next[256] = {}, end[256];
    for (size_t i = 0; i < n; ++i) ++next[static_cast<uint32_t>(rows[i]) >> shift & 0xFF];
    bucket_bounds(next, end);
    size_t moved = 0;
    for (unsigned b = 0; b < 256; ++b) {
        while (next[b] < end[b]) {
            if (stopped_at(++moved)) return;
            unsigned to = static_cast<uint32_t>(rows[next[b]]) >> shift & 0xFF;
            if (to == b) {
                ++next[b];
            } else {
                int32_t t = rows[next[b]];
                rows[next[b]] = rows[next[to]];
                rows[next[to]++] = t;
            }
        }
    }
    for (unsigned b = 0, from = 0; b < 256; from = end[b++])
        if (end[b] - from > 1) sort_rows(rows + from, end[b] - from);
}

namespace {

// Of the 16 bytes a record sorts by, those of the key stretch and its byte count; the rest are
// the field's place.
const unsigned KEY_PART = 12;

// Most-significant-byte radix sort in place (American flag sort): the records are dealt into 256
// buckets by the first byte in which they differ (found in the pass that counts them, so bytes
// all of them share cost nothing more), then each bucket alike. Each level looks at a later byte,
// so the recursion is at most 16 deep. `guess` is the byte counted while the first difference is
// sought: the one after the parent's, which is right more often than not.
//
// Records whose key stretches tie are not dealt by their places: if their keys go on, the caller
// reads them further and sorts them again; if not, their values are equal and only their rows
// need to be in file order, which is sorted alone (each record's place no longer matches its row
// then, but nothing reads the place of a key that has ended).
void sort_by_key(Span s, size_t n, unsigned guess) {
    if (n <= RADIX_SMALL) {
        insertion_sort(s, n);
        return;
    }
    if (n >= STOP_ROWS && stop_asked()) return;
    uint32_t next[256] = {}, end[256];
    uint64_t head = 0, rest = 0;
    for (size_t i = 0; i < n; ++i) {
        if (stopped_at(i)) return;
        head |= s.r[i].head ^ s.r[0].head;
        rest |= s.r[i].rest ^ s.r[0].rest;
        ++next[byte_at(s.r[i], guess)];
    }
    unsigned k = head   ? static_cast<unsigned>(__builtin_clzll(head)) / 8
                 : rest ? 8 + static_cast<unsigned>(__builtin_clzll(rest)) / 8
                        : 16;
    if (k >= KEY_PART) {
        if (!key_goes_on(s.r[0])) sort_rows(s.rows, n);
        return;
    }
    if (k != guess) {
        memset(next, 0, sizeof next);
        for (size_t i = 0; i < n; ++i) ++next[byte_at(s.r[i], k)];
    }
    bucket_bounds(next, end);
    // A record taken out of its place is carried to its bucket, and the one it displaces on to
    // its own, until one belongs where the first was taken: each record moves once.
    size_t moved = 0;
    for (unsigned b = 0; b < 256; ++b) {
        while (next[b] < end[b]) {
            if (stopped_at(++moved)) return;
            SortRecord record = s.r[next[b]];
            int32_t row = s.rows[next[b]];
            unsigned to = byte_at(record, k);
            while (to != b) {
                uint32_t at_to = next[to]++;
                SortRecord r = s.r[at_to];
                int32_t rr = s.rows[at_to];
                s.r[at_to] = record;
                s.rows[at_to] = row;
                record = r;
                row = rr;
                to = byte_at(record, k);
            }
            s.r[next[b]] = record;
            s.rows[next[b]++] = row;
        }
    }
    for (unsigned b = 0, from = 0; b < 256; from = end[b++])
        if (end[b] - from > 1) sort_by_key(advanced(s, from), end[b] - from, k + 1);
}

void sort_by_key(Span s, size_t n) {
    sort_by_key(s, n, 0);
}

// What sorts a run: the column, and the class of its fields (damaged ones compare as written).
struct Group {
    const SortColumn *column;
    FieldClass cls;
};

// The key of a record's field, read up to `offset`.
void key_from(Group g, const SortRecord &r, size_t offset, SortKey *key) {
    size_t len = 0;
    const char *field = sort_column_field_at(g.column, field_of(r), &len);
    if (g.cls == FIELD_DAMAGED)
        sort_key_open_raw(key, field, len);
    else
        sort_key_open(key, g.column->kind, field, len);
    sort_key_skip(key, offset);
}

// How far ahead of the record being read a walk over records asks for their fields.
const size_t PREFETCH_AHEAD = 8;

// Sets each of the n records from its key's bytes at `offset`; returns that offset, or, when all
// n keys still tie there and go on, the one where the first of them parts from another. The
// records up to s.r[ahead - 1] (ahead >= n) lie in the same sorted stretch; the fields of those
// whose keys go on are asked for ahead too, as the next runs will read them.
size_t rekey(Group g, Span s, size_t n, size_t ahead, size_t offset) {
    bool all_tie = true;
    for (size_t i = 0; i < n; ++i) {
        if (stopped_at(i)) return offset;
        size_t next = i + PREFETCH_AHEAD;
        if (next < ahead && key_goes_on(s.r[next]))
            sort_column_prefetch_at(g.column, field_of(s.r[next]));
        SortKey key;
        key_from(g, s.r[i], offset, &key);
        sort_record_read(&s.r[i], &key, field_of(s.r[i]));
        all_tie = all_tie && same_key(s.r[i], s.r[0]);
    }
    if (!all_tie || !key_goes_on(s.r[0])) return offset;
    // Long equal values (or long shared starts) would otherwise cost a pass per 11 bytes.
    size_t common = static_cast<size_t>(-1);
    SortKey base; // the first record's key at `offset`, read once; each comparison reads a copy
    key_from(g, s.r[0], offset, &base);
    for (size_t i = 1; i < n; ++i) {
        if (stopped_at(i)) return offset;
        SortKey first = base, other;
        key_from(g, s.r[i], offset, &other);
        common = sort_key_common(&first, &other, common);
    }
    return rekey(g, s, n, n, offset + common);
}

void refine(Group g, Span s, size_t n, size_t offset);

// A run of n records whose keys tie over the 11 bytes from `offset` and go on, in a sorted stretch
// of `ahead` records from its first.
void resolve_run(Group g, Span s, size_t n, size_t ahead, size_t offset) {
    offset = rekey(g, s, n, ahead, offset + RECORD_KEY_BYTES);
    sort_by_key(s, n);
    refine(g, s, n, offset);
}

// Resolves each run of sorted records that tie at `offset` and go on. The largest run is taken in
// this call's loop and the others by recursion: each of those is at most half the records, which
// bounds the depth by log2(n).
void refine(Group g, Span s, size_t n, size_t offset) {
    for (;;) {
        if (n >= STOP_ROWS && stop_asked()) return;
        size_t largest = 0, largest_n = 0, steps = 0;
        for (size_t i = 0; i < n;) {
            if (stopped_at(++steps)) return;
            size_t j = i + 1;
            while (j < n && same_key(s.r[i], s.r[j])) ++j;
            if (j - i > 1 && key_goes_on(s.r[i])) {
                size_t run = i, run_n = j - i;
                if (run_n > largest_n) {
                    size_t t = largest;
                    largest = run;
                    run = t;
                    t = largest_n;
                    largest_n = run_n;
                    run_n = t;
                }
                if (run_n) resolve_run(g, advanced(s, run), run_n, n - run, offset);
            }
            i = j;
        }
        if (!largest_n) return;
        s = advanced(s, largest);
        n = largest_n;
        offset = rekey(g, s, n, n, offset + RECORD_KEY_BYTES);
        sort_by_key(s, n);
    }
}

} // namespace

void sort_record_read(SortRecord *record, SortKey *key, uint32_t field) {
    uint8_t b[RECORD_KEY_BYTES + 1] = {};
    size_t got = sort_key_read(key, b, sizeof b);
    record->head = load_be64(b);
    uint32_t tail = (load_be32(b + 8) & 0xFFFFFF00u) | static_cast<uint32_t>(got);
    record->rest = static_cast<uint64_t>(tail) << 32 | field;
}

// Whether the records are in order already, as a table dumped in its key's order is when sorted by
// that key: each key stretch above the one before, or the same stretch, whole, of a later row. One
// pass, which saves the sort's passes on such columns.
static bool in_order(const SortRecord *records, size_t n) {
    for (size_t i = 1; i < n; ++i) {
        if (stopped_at(i)) return false;
        const SortRecord &a = records[i - 1], &b = records[i];
        const uint64_t a_key = a.rest >> 32, b_key = b.rest >> 32;
        if (a.head != b.head || a_key != b_key) {
            if (a.head > b.head || (a.head == b.head && a_key > b_key)) return false;
            continue;
        }
        if (key_goes_on(a) || static_cast<uint32_t>(a.rest) >= static_cast<uint32_t>(b.rest))
            return false;
    }
    return true;
}

void sort_records(const SortColumn *column, FieldClass cls, SortRecord *records, int32_t *rows,
                  size_t n) {
    if (in_order(records, n)) return;
    Span s = {records, rows};
    sort_by_key(s, n);
    refine({column, cls}, s, n, 0);
}
