// The column cache: walks over a line's characters, and the remembered points of long lines.
#include "text/column_cache.h"

#include "base/mem.h"
#include "text/char_width.h"

#include <string.h>

namespace {

const size_t NO_LIMIT = static_cast<size_t>(-1);

// Steps over whole characters of the line s[0, len) from *at, each one that starts before
// off_limit and ends at or before column col_limit. So with off_limit a character boundary the walk
// ends there, and with col_limit it ends on the character that covers that column.
void walk(const char *s, size_t len, ColumnSpot *at, size_t off_limit, size_t col_limit) {
    size_t off = at->off, col = at->col;
    if (off_limit > len) off_limit = len;
    while (off < off_limit) {
        size_t room = off_limit - off < col_limit - col ? off_limit - off : col_limit - col;
        size_t run = plain_run(s + off, room);
        off += run;
        col += run;
        if (off >= off_limit) break;
        size_t next;
        size_t n = char_step(s, len, off, col, &next);
        if (next > col_limit) break;
        off += n;
        col = next;
    }
    at->off = off;
    at->col = col;
}

// The cache: a few long lines, each with points at most `stride` bytes apart. Point k is the first
// character start at or after k * stride (characters are at most 4 bytes and a stride is far
// more, so it lies below (k + 1) * stride). Points are known from the line's start up to where
// walks have been; a slot that fills up keeps every other point and doubles its stride, so a line
// of any length fits in one slot and a walk between points stays below a stride.
//
// Each slot also keeps the place of its last answer, so that asking again near it (the next paint
// of the same columns, the caret going back to a line) walks only from there.
//
// Lines of up to FIRST_STRIDE bytes are walked whole and take no slot. Slots hold enough lines for
// every long line of a screen; the least recently used one goes to a new line.
enum { CACHE_SLOTS = 64, SLOT_POINTS = 1000, FIRST_STRIDE = 1024 };

struct Slot {
    ColumnSpot *points; // SLOT_POINTS entries, allocated on the slot's first use, kept until delete
    size_t line;
    size_t count; // points known, 1 or more while in use
    size_t stride;
    ColumnSpot last; // the last answer: a character start before count * stride
    unsigned long last_use;
    int in_use;
};

} // namespace

struct ColumnCache {
    Slot slots[CACHE_SLOTS];
    unsigned long clock;
};

static_assert(sizeof(ColumnCache) + CACHE_SLOTS * SLOT_POINTS * sizeof(ColumnSpot) <= 1024 * 1024,
              "a column cache holds at most 1 MiB");

namespace {

// The slot of `line`, taken over for it when it has none; null when no cache is given or a slot's
// points cannot be had.
Slot *slot_for(ColumnCache *c, size_t line) {
    if (!c) return nullptr;
    ++c->clock;
    Slot *victim = &c->slots[0];
    for (Slot &s : c->slots) {
        if (s.in_use && s.line == line) {
            s.last_use = c->clock;
            return &s;
        }
        if (s.last_use < victim->last_use) victim = &s;
    }
    if (!victim->points) {
        victim->points = static_cast<ColumnSpot *>(mem_alloc(SLOT_POINTS * sizeof(ColumnSpot)));
        if (!victim->points) return nullptr;
    }
    victim->in_use = 1;
    victim->line = line;
    victim->count = 1;
    victim->points[0] = {0, 0};
    victim->stride = FIRST_STRIDE;
    victim->last = {0, 0};
    victim->last_use = c->clock;
    return victim;
}

// Adds the point at `at`, the first character start at or after count * stride.
void remember(Slot *slot, ColumnSpot at) {
    if (slot->count == SLOT_POINTS) {
        // Point 2k, the first start at or after 2k * stride, is point k of the doubled stride.
        for (size_t k = 0; 2 * k < SLOT_POINTS; ++k) slot->points[k] = slot->points[2 * k];
        slot->count = (SLOT_POINTS + 1) / 2;
        slot->stride *= 2;
    }
    slot->points[slot->count++] = at;
}

// Where a walk to `target` (an offset, or a column) starts: the remembered point, or the slot's
// last answer when that lies between it and the target.
ColumnSpot nearer(const Slot *slot, ColumnSpot point, size_t target, bool by_column) {
    const ColumnSpot last = slot->last;
    return last.off > point.off && (by_column ? last.col : last.off) <= target ? last : point;
}

// walk() from at (at or after the slot's last point), adding each point it passes.
void walk_remembering(Slot *slot, const char *s, size_t len, ColumnSpot *at, size_t off_limit,
                      size_t col_limit) {
    for (;;) {
        size_t next_point = slot->count * slot->stride;
        walk(s, len, at, off_limit < next_point ? off_limit : next_point, col_limit);
        if (at->off < next_point) return; // at the limit, the column or the line's end
        remember(slot, *at);
    }
}

} // namespace

ColumnSpot column_seek_offset(ColumnCache *c, size_t line, const char *s, size_t len, size_t off) {
    if (off > len) off = len;
    ColumnSpot at = {0, 0};
    Slot *slot = len > FIRST_STRIDE ? slot_for(c, line) : nullptr;
    if (!slot) {
        walk(s, len, &at, off, NO_LIMIT);
        return at;
    }
    size_t k = off / slot->stride;
    if (k >= slot->count) {
        at = nearer(slot, slot->points[slot->count - 1], off, false);
        walk_remembering(slot, s, len, &at, off, NO_LIMIT);
    } else {
        if (slot->points[k].off > off) --k;
        at = nearer(slot, slot->points[k], off, false);
        walk(s, len, &at, off, NO_LIMIT);
    }
    slot->last = at;
    return at;
}

ColumnSpot column_seek_column(ColumnCache *c, size_t line, const char *s, size_t len, size_t col) {
    ColumnSpot at = {0, 0};
    Slot *slot = len > FIRST_STRIDE ? slot_for(c, line) : nullptr;
    if (!slot) {
        walk(s, len, &at, len, col);
        return at;
    }
    size_t lo = 0, hi = slot->count - 1; // the last point at or before col
    while (lo < hi) {
        size_t mid = lo + (hi - lo + 1) / 2;
        if (slot->points[mid].col <= col)
            lo = mid;
        else
            hi = mid - 1;
    }
    at = nearer(slot, slot->points[lo], col, true);
    if (lo + 1 == slot->count)
        walk_remembering(slot, s, len, &at, len, col);
    else
        walk(s, len, &at, len, col);
    slot->last = at;
    return at;
}

ColumnCache *column_cache_new(void) {
    ColumnCache *c = static_cast<ColumnCache *>(mem_alloc(sizeof(ColumnCache)));
    if (c) memset(c, 0, sizeof *c);
    return c;
}

void column_cache_clear(ColumnCache *c) {
    if (!c) return;
    for (Slot &s : c->slots) {
        s.in_use = 0;
        s.last_use = 0;
    }
}

void column_cache_delete(ColumnCache *c) {
    if (!c) return;
    for (Slot &s : c->slots) mem_free(s.points);
    mem_free(c);
}
