// Character cells: widths, walks over a line's characters, and the remembered points of long lines.
#include "text/columns.h"

#include "document/mem.h"
#include "text/utf8.h"

#include <string.h>

namespace {

struct Range {
    uint32_t lo, hi;
};

// East Asian wide and fullwidth characters, in order.
const Range WIDE[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},
    {0x23F0, 0x23F0},   {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},
    {0x2648, 0x2653},   {0x267F, 0x267F},   {0x2693, 0x2693},   {0x26A1, 0x26A1},
    {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},   {0x26CE, 0x26CE},
    {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},
    {0x2728, 0x2728},   {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},
    {0x2757, 0x2757},   {0x2795, 0x2797},   {0x27B0, 0x27B0},   {0x27BF, 0x27BF},
    {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},   {0x2E80, 0x303E},
    {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},
    {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4},
    {0x16FF0, 0x16FF1}, {0x17000, 0x18D08}, {0x1AFF0, 0x1B2FF}, {0x1F004, 0x1F004},
    {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F202},
    {0x1F210, 0x1F23B}, {0x1F240, 0x1F248}, {0x1F250, 0x1F251}, {0x1F260, 0x1F265},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393},
    {0x1F3A0, 0x1F3CA}, {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4},
    {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440}, {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D},
    {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A}, {0x1F595, 0x1F596},
    {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6DC, 0x1F6DF}, {0x1F6EB, 0x1F6EC},
    {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB}, {0x1F7F0, 0x1F7F0}, {0x1F90C, 0x1F93A},
    {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

const size_t NO_LIMIT = static_cast<size_t>(-1);

// A place on a line: a character start's byte offset from the line's start, and its column.
struct Spot {
    size_t off, col;
};

size_t tab_stop_after(size_t col) {
    return (col / TAB_STOP + 1) * TAB_STOP;
}

// Bytes that are neither ASCII nor a tab have their high bit set in the result, for eight bytes
// at once.
uint64_t not_plain(const char *s) {
    uint64_t w;
    memcpy(&w, s, sizeof w);
    const uint64_t ones = 0x0101010101010101ull;
    uint64_t tabs = w ^ (ones * '\t'); // a zero byte where w has a tab
    return w | ((tabs - ones) & ~tabs);
}

// How many bytes from s on, in steps of 16 up to at most n, are ASCII other than tabs: characters
// of one column each, so their columns are their offsets. Most SQL and data is such text.
size_t plain_run(const char *s, size_t n) {
    const uint64_t highs = 0x8080808080808080ull;
    size_t i = 0;
    while (n - i >= 16 && ((not_plain(s + i) | not_plain(s + i + 8)) & highs) == 0) i += 16;
    return i;
}

// The character at s[off] (off < len): its length in bytes and the column after it.
size_t step(const char *s, size_t len, size_t off, size_t col, size_t *next_col) {
    unsigned char b = static_cast<unsigned char>(s[off]);
    if (b == '\t') {
        *next_col = tab_stop_after(col);
        return 1;
    }
    if (b < 0x80) {
        *next_col = col + 1;
        return 1;
    }
    uint32_t cp;
    size_t n = utf8_decode(s + off, len - off, &cp);
    *next_col = col + static_cast<size_t>(char_columns(cp));
    return n;
}

// Steps over whole characters of the line s[0, len) from *at, each one that starts before
// off_limit and ends at or before column col_limit. So with off_limit a character boundary the walk
// ends there, and with col_limit it ends on the character that covers that column.
void walk(const char *s, size_t len, Spot *at, size_t off_limit, size_t col_limit) {
    size_t off = at->off, col = at->col;
    if (off_limit > len) off_limit = len;
    while (off < off_limit) {
        size_t room = off_limit - off < col_limit - col ? off_limit - off : col_limit - col;
        size_t run = plain_run(s + off, room);
        off += run;
        col += run;
        if (off >= off_limit) break;
        size_t next;
        size_t n = step(s, len, off, col, &next);
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
    Spot *points; // SLOT_POINTS entries, allocated on the slot's first use, kept until delete
    size_t line;
    size_t count; // points known, 1 or more while in use
    size_t stride;
    Spot last; // the last answer: a character start before count * stride
    unsigned long last_use;
    int in_use;
};

} // namespace

struct ColumnCache {
    Slot slots[CACHE_SLOTS];
    unsigned long clock;
};

static_assert(sizeof(ColumnCache) + CACHE_SLOTS * SLOT_POINTS * sizeof(Spot) <= 1024 * 1024,
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
        victim->points = static_cast<Spot *>(mem_alloc(SLOT_POINTS * sizeof(Spot)));
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
void remember(Slot *slot, Spot at) {
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
Spot nearer(const Slot *slot, Spot point, size_t target, bool by_column) {
    const Spot last = slot->last;
    return last.off > point.off && (by_column ? last.col : last.off) <= target ? last : point;
}

// walk() from at (at or after the slot's last point), adding each point it passes.
void walk_remembering(Slot *slot, const char *s, size_t len, Spot *at, size_t off_limit,
                      size_t col_limit) {
    for (;;) {
        size_t next_point = slot->count * slot->stride;
        walk(s, len, at, off_limit < next_point ? off_limit : next_point, col_limit);
        if (at->off < next_point) return; // at the limit, the column or the line's end
        remember(slot, *at);
    }
}

// The character start at byte offset `off` (or the first after it) on a line, with its column.
Spot seek_offset(ColumnCache *c, size_t line, const char *s, size_t len, size_t off) {
    if (off > len) off = len;
    Spot at = {0, 0};
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

// The start of the character covering column col on a line, or the line's end before col.
Spot seek_column(ColumnCache *c, size_t line, const char *s, size_t len, size_t col) {
    Spot at = {0, 0};
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

} // namespace

int char_columns(uint32_t cp) {
    if (cp < WIDE[0].lo) return 1;
    int lo = 0, hi = static_cast<int>(sizeof WIDE / sizeof WIDE[0]) - 1;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        if (cp < WIDE[mid].lo)
            hi = mid - 1;
        else if (cp > WIDE[mid].hi)
            lo = mid + 1;
        else
            return 2;
    }
    return 1;
}

uint32_t shown_char(uint32_t cp) {
    if (cp < 0x20) return 0x2400 + cp;
    if (cp == 0x7F) return 0x2421;
    return cp;
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

size_t column_of(ColumnCache *c, const TextDoc *doc, size_t line, size_t pos) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    size_t start = text_line_start(doc, line);
    return seek_offset(c, line, s, len, pos > start ? pos - start : 0).col;
}

size_t pos_at_column(ColumnCache *c, const TextDoc *doc, size_t line, size_t col, int nearest) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    size_t start = text_line_start(doc, line);
    Spot at = seek_column(c, line, s, len, col);
    if (nearest && at.off < len) {
        size_t next_col;
        size_t n = step(s, len, at.off, at.col, &next_col);
        if (2 * (col - at.col) >= next_col - at.col) return start + at.off + n;
    }
    return start + at.off;
}

size_t line_columns(ColumnCache *c, const TextDoc *doc, size_t line) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    return seek_offset(c, line, s, len, len).col;
}

size_t line_cells(ColumnCache *c, const TextDoc *doc, size_t line, size_t first, size_t count,
                  uint16_t *units, uint32_t *unit_cols, size_t room) {
    size_t len = 0;
    const char *s = text_line(doc, line, &len);
    const size_t last = count > NO_LIMIT - first ? NO_LIMIT : first + count;
    Spot at = seek_column(c, line, s, len, first);
    size_t n = 0, after = 0;
    while (at.off < len && at.col < last) {
        size_t next_col;
        size_t bytes = step(s, len, at.off, at.col, &next_col);
        uint32_t cp = static_cast<unsigned char>(s[at.off]);
        if (cp >= 0x80) utf8_decode(s + at.off, len - at.off, &cp);
        if (cp == '\t' || at.col < first || next_col > last) {
            // Blanks for the columns of it in view.
            size_t to = next_col < last ? next_col : last;
            for (size_t col = at.col < first ? first : at.col; col < to; ++col) {
                if (n >= room) goto full;
                units[n] = ' ';
                unit_cols[n++] = static_cast<uint32_t>(col - first);
                after = col + 1 - first;
            }
        } else {
            uint32_t shown = shown_char(cp);
            size_t k = utf16_units(shown);
            if (n + k > room) break;
            utf16_put(shown, units + n);
            for (size_t i = 0; i < k; ++i) unit_cols[n++] = static_cast<uint32_t>(at.col - first);
            after = next_col - first;
        }
        at.off += bytes;
        at.col = next_col;
    }
full:
    unit_cols[n] = static_cast<uint32_t>(after);
    return n;
}
