// The value table's probing, its decrement rounds, and its in-place rehash.
#include "query/value_table.h"

#include "base/mem.h"

#include <string.h>

namespace {

inline uint32_t home(const ValueTable *t, uint64_t tag) {
    // Exact tags (integers, dates) are anything but random in their low bits; the mixed high bits
    // are scaled to the table, whose size is what the memory allows, not a power of two.
    const uint64_t h = (tag * 0x9E3779B97F4A7C15ull) >> 32;
    return static_cast<uint32_t>((h * t->cap) >> 32);
}

inline uint32_t after(const ValueTable *t, uint32_t i) {
    return i + 1 == t->cap ? 0 : i + 1;
}

void place(ValueTable *t, const ValueSlot &s) {
    uint32_t i = home(t, s.tag);
    while (t->slots[i].count) i = after(t, i);
    t->slots[i] = s;
}

// One decrement round: every count less one, the slots at 0 freed, and the rest placed again so
// that every value stays reachable from its home slot. The re-placing starts after a free slot,
// so each probe run is met whole.
void decrement(ValueTable *t) {
    ++t->decrements;
    t->used = 0;
    uint32_t start = 0;
    for (uint32_t i = 0; i < t->cap; ++i) {
        ValueSlot &s = t->slots[i];
        if (s.count && --s.count) ++t->used;
        if (!s.count) start = i;
    }
    for (uint32_t k = 1; k <= t->cap; ++k) {
        const uint32_t i = (start + k) % t->cap;
        if (!t->slots[i].count) continue;
        ValueSlot s = t->slots[i];
        t->slots[i].count = 0;
        place(t, s);
    }
}

inline bool matches(const ValueSlot &s, uint64_t tag, bool exact, SameValue same, void *context) {
    if (s.tag != tag || ((s.row & SLOT_EXACT) != 0) != exact) return false;
    return exact || same(context, slot_row(&s));
}

} // namespace

int value_table_init(ValueTable *t, size_t bytes) {
    size_t slots = bytes / sizeof(ValueSlot);
    if (slots < 16) slots = 16;
    if (slots > (1u << 30)) slots = 1u << 30;
    const uint32_t cap = static_cast<uint32_t>(slots);
    *t = {};
    t->slots = static_cast<ValueSlot *>(mem_alloc(cap * sizeof(ValueSlot)));
    if (!t->slots) return 0;
    memset(t->slots, 0, cap * sizeof(ValueSlot));
    t->cap = cap;
    t->limit = cap / 10 * 7;
    return 1;
}

void value_table_free(ValueTable *t) {
    mem_free(t->slots);
    *t = {};
}

void value_table_prefetch(const ValueTable *t, uint64_t tag) {
    __builtin_prefetch(&t->slots[home(t, tag)]);
}

ValueSlot *value_table_find(ValueTable *t, uint64_t tag, bool exact, SameValue same,
                            void *context) {
    for (uint32_t i = home(t, tag);; i = after(t, i)) {
        ValueSlot &s = t->slots[i];
        if (!s.count) return nullptr;
        if (matches(s, tag, exact, same, context)) return &s;
    }
}

void value_table_count(ValueTable *t, uint64_t tag, bool exact, int32_t row, SameValue same,
                       void *context) {
    uint32_t i = home(t, tag);
    for (;; i = after(t, i)) {
        ValueSlot &s = t->slots[i];
        if (!s.count) break;
        if (matches(s, tag, exact, same, context)) {
            ++s.count;
            if (static_cast<uint32_t>(row) < (s.row & ~SLOT_EXACT))
                s.row = static_cast<uint32_t>(row) | (s.row & SLOT_EXACT);
            return;
        }
    }
    if (t->used >= t->limit) {
        decrement(t);
        return;
    }
    t->slots[i] = {tag, static_cast<uint32_t>(row) | (exact ? SLOT_EXACT : 0u), 1};
    ++t->used;
}

int value_table_candidates(const ValueTable *from, uint32_t most, ValueTable *to,
                           uint32_t *left_at_most) {
    // How many values were counted each number of times, the last bucket for all from
    // CANDIDATE_COUNT_MAX up.
    uint32_t counted[CANDIDATE_COUNT_MAX + 1] = {};
    for (uint32_t i = 0; i < from->cap; ++i) {
        const uint32_t c = from->slots[i].count - from->base;
        if (from->slots[i].count) ++counted[c < CANDIDATE_COUNT_MAX ? c : CANDIDATE_COUNT_MAX];
    }
    uint32_t least = CANDIDATE_COUNT_MAX, taken = counted[CANDIDATE_COUNT_MAX];
    if (taken > most) return 0;
    while (least > 1 && taken + counted[least - 1] <= most) taken += counted[--least];
    ValueTable small;
    if (!value_table_init(&small, (4 * static_cast<size_t>(taken) + 16) * sizeof(ValueSlot)))
        return 0;
    for (uint32_t i = 0; i < from->cap; ++i) {
        const ValueSlot &s = from->slots[i];
        if (!s.count || s.count - from->base < least) continue;
        place(&small, ValueSlot{s.tag, s.row, 1});
        ++small.used;
    }
    small.base = 1;
    small.decrements = from->decrements;
    *to = small;
    *left_at_most = least - 1;
    return 1;
}

void value_table_recount(ValueTable *t) {
    t->base = 1;
    for (uint32_t i = 0; i < t->cap; ++i) {
        ValueSlot &s = t->slots[i];
        if (!s.count) continue;
        s.count = 1;
    }
}
