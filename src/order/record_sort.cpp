// Records sorted by key prefix, ties read further.
#include "order/record_sort.h"

#include <string.h>

namespace {

inline bool less(const SortRecord &a, const SortRecord &b) {
    return a.head < b.head || (a.head == b.head && a.rest < b.rest);
}

inline void swap_records(SortRecord *a, SortRecord *b) {
    SortRecord t = *a;
    *a = *b;
    *b = t;
}

// Same key stretch, whatever the rows.
inline bool same_key(const SortRecord &a, const SortRecord &b) {
    return a.head == b.head && (a.rest >> 32) == (b.rest >> 32);
}

// Whether the key goes on past the bytes the record holds.
inline bool key_goes_on(const SortRecord &r) {
    return ((r.rest >> 32) & 0xFF) > RECORD_KEY_BYTES;
}

void insertion_sort(SortRecord *r, size_t n) {
    for (size_t i = 1; i < n; ++i) {
        SortRecord x = r[i];
        size_t j = i;
        for (; j > 0 && less(x, r[j - 1]); --j) r[j] = r[j - 1];
        r[j] = x;
    }
}

void sift_down(SortRecord *r, size_t n, size_t i) {
    SortRecord x = r[i];
    for (size_t child; (child = 2 * i + 1) < n; i = child) {
        if (child + 1 < n && less(r[child], r[child + 1])) ++child;
        if (!less(x, r[child])) break;
        r[i] = r[child];
    }
    r[i] = x;
}

void heap_sort(SortRecord *r, size_t n) {
    for (size_t i = n / 2; i-- > 0;) sift_down(r, n, i);
    for (size_t end = n; end-- > 1;) {
        swap_records(&r[0], &r[end]);
        sift_down(r, end, 0);
    }
}

// Quicksort with a median-of-three pivot, handing over to heapsort when it goes deeper than
// `depth` (so never quadratic) and to insertion sort on short stretches. No two records are
// equal, as their rows differ.
void intro_sort(SortRecord *r, size_t n, int depth) {
    while (n > 16) {
        if (depth-- == 0) {
            heap_sort(r, n);
            return;
        }
        size_t mid = n / 2;
        if (less(r[mid], r[0])) swap_records(&r[mid], &r[0]);
        if (less(r[n - 1], r[mid])) {
            swap_records(&r[n - 1], &r[mid]);
            if (less(r[mid], r[0])) swap_records(&r[mid], &r[0]);
        }
        // r[0] <= pivot <= r[n - 1] stop both scans inside the stretch.
        SortRecord pivot = r[mid];
        size_t i = 0, j = n - 1;
        for (;;) {
            do ++i;
            while (less(r[i], pivot));
            do --j;
            while (less(pivot, r[j]));
            if (i >= j) break;
            swap_records(&r[i], &r[j]);
        }
        // [0, i) holds no record above the pivot and [i, n) none below; both are non-empty.
        if (i < n - i) {
            intro_sort(r, i, depth);
            r += i;
            n -= i;
        } else {
            intro_sort(r + i, n - i, depth);
            n = i;
        }
    }
    insertion_sort(r, n);
}

void sort_by_key(SortRecord *r, size_t n) {
    int depth = 0;
    for (size_t m = n; m > 1; m >>= 1) depth += 2;
    intro_sort(r, n, depth);
}

// The key of the record's row, read up to `offset`.
void key_from(const SortColumn *column, const SortRecord *r, size_t offset, SortKey *key) {
    sort_column_key(column, sort_record_row(r), key);
    sort_key_skip(key, offset);
}

// Sets each of the n records from its key's bytes at `offset`; returns that offset, or, when all
// n keys still tie there and go on, the one where the first of them parts from another.
size_t rekey(const SortColumn *column, SortRecord *r, size_t n, size_t offset) {
    bool all_tie = true;
    for (size_t i = 0; i < n; ++i) {
        SortKey key;
        key_from(column, &r[i], offset, &key);
        uint8_t bytes[RECORD_KEY_BYTES + 1];
        size_t got = sort_key_read(&key, bytes, sizeof bytes);
        sort_record_set(&r[i], bytes, got, sort_record_row(&r[i]));
        all_tie = all_tie && same_key(r[i], r[0]);
    }
    if (!all_tie || !key_goes_on(r[0])) return offset;
    // Long equal values (or long shared starts) would otherwise cost a pass per 11 bytes.
    size_t common = static_cast<size_t>(-1);
    for (size_t i = 1; i < n; ++i) {
        SortKey first, other;
        key_from(column, &r[0], offset, &first);
        key_from(column, &r[i], offset, &other);
        common = sort_key_common(&first, &other, common);
    }
    return rekey(column, r, n, offset + common);
}

void refine(const SortColumn *column, SortRecord *r, size_t n, size_t offset);

// A run of records whose keys tie over the 11 bytes from `offset` and go on.
void resolve_run(const SortColumn *column, SortRecord *r, size_t n, size_t offset) {
    offset = rekey(column, r, n, offset + RECORD_KEY_BYTES);
    sort_by_key(r, n);
    refine(column, r, n, offset);
}

// Resolves each run of sorted records that tie at `offset` and go on. The largest run is taken in
// this call's loop and the others by recursion: each of those is at most half the records, which
// bounds the depth by log2(n).
void refine(const SortColumn *column, SortRecord *r, size_t n, size_t offset) {
    for (;;) {
        SortRecord *largest = nullptr;
        size_t largest_n = 0;
        for (size_t i = 0; i < n;) {
            size_t j = i + 1;
            while (j < n && same_key(r[i], r[j])) ++j;
            if (j - i > 1 && key_goes_on(r[i])) {
                SortRecord *run = r + i;
                size_t run_n = j - i;
                if (run_n > largest_n) {
                    SortRecord *t = largest;
                    largest = run;
                    run = t;
                    size_t tn = largest_n;
                    largest_n = run_n;
                    run_n = tn;
                }
                if (run) resolve_run(column, run, run_n, offset);
            }
            i = j;
        }
        if (!largest) return;
        offset = rekey(column, largest, largest_n, offset + RECORD_KEY_BYTES);
        sort_by_key(largest, largest_n);
        r = largest;
        n = largest_n;
    }
}

} // namespace

void sort_record_set(SortRecord *record, const uint8_t *bytes, size_t got, int32_t row) {
    uint8_t b[RECORD_KEY_BYTES] = {};
    memcpy(b, bytes, got < RECORD_KEY_BYTES ? got : RECORD_KEY_BYTES);
    uint64_t head = 0;
    for (int i = 0; i < 8; ++i) head = head << 8 | b[i];
    record->head = head;
    record->rest = static_cast<uint64_t>(b[8]) << 56 | static_cast<uint64_t>(b[9]) << 48 |
                   static_cast<uint64_t>(b[10]) << 40 | static_cast<uint64_t>(got) << 32 |
                   static_cast<uint32_t>(row);
}

void sort_records(const SortColumn *column, SortRecord *records, size_t n) {
    sort_by_key(records, n);
    refine(column, records, n, 0);
}
