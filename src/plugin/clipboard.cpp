// Clipboard: conversion to UTF-16 in movable global memory handed to the clipboard.
#include "plugin/clipboard.h"

#include "base/stop.h"
#include "base/utf16_sink.h"
#include "grid/selection_text.h"
#include "text/text_copy.h"

#include <string.h>

// Hands movable memory holding a 0-ended Unicode text to the clipboard, which then owns it.
static void put_unicode(HWND owner, HGLOBAL mem) {
    if (!OpenClipboard(owner)) {
        GlobalFree(mem);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the memory only when it accepts it.
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    CloseClipboard();
}

// Movable memory, locked, for `units` UTF-16 units and a 0 after them; null when it cannot be had.
static WCHAR *lock_room(size_t units, HGLOBAL *mem) {
    *mem = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(WCHAR));
    if (!*mem) return nullptr;
    WCHAR *wide = static_cast<WCHAR *>(GlobalLock(*mem));
    if (!wide) GlobalFree(*mem);
    return wide;
}

void clip_set_utf8(HWND owner, const char *text, int n) {
    if (n < 0) n = static_cast<int>(strlen(text));
    int units = n > 0 ? MultiByteToWideChar(CP_UTF8, 0, text, n, nullptr, 0) : 0;
    HGLOBAL mem;
    WCHAR *wide = lock_room(static_cast<size_t>(units), &mem);
    if (!wide) return;
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text, n, wide, units);
    wide[units] = 0;
    GlobalUnlock(mem);
    put_unicode(owner, mem);
}

ClipResult clip_set_text_range(HWND owner, const TextDoc *doc, size_t from, size_t to) {
    HGLOBAL mem;
    const ClipResult result = clip_build_text(doc, from, to, &mem);
    if (result == CLIP_COPIED) put_unicode(owner, mem);
    return result;
}

// A text the grid builds, piece by piece, into a spilling StrBuf.
struct GridText {
    const Viewer *viewer;
    bool titles;
    bool as_format;
    CopyFormat format;
};

static int build_into(const GridText *t, StrBuf *sb) {
    return t->as_format ? copy_as_into(t->viewer, t->viewer->col_types, t->format, sb)
                        : selection_text_into(t->viewer, t->titles, sb);
}

// Bytes of UTF-8 a piece takes before it is counted or converted: all the copy holds beside the
// clipboard's block.
static const size_t PIECE = 256u << 10;

// Builds the text through a sink; returns its units, or -1 when it failed (or passed the limit).
static int64_t run_sink(const GridText *t, Utf16Sink *sink) {
    StrBuf sb;
    if (!sb_init_spilling(&sb, PIECE, utf16_sink_spill, sink)) return -1;
    if (!build_into(t, &sb)) return -1; // the build freed it
    uint64_t units = utf16_sink_finish(&sb, sink);
    const bool failed = sb.failed;
    sb_drop(&sb);
    return failed ? -1 : static_cast<int64_t>(units);
}

// The text written straight into movable memory for the clipboard, *mem on CLIP_COPIED. Its units
// are bounded first: by the row index for the tab-separated text (each UTF-8 byte gives at most one
// unit), or by building it once and counting, stopping at the limit, for the formats and for a
// bound past the limit. Work asked to stop gives up between pieces (CLIP_FAILED).
static ClipResult build_text(const GridText *t, HGLOBAL *mem) {
    *mem = nullptr;
    uint64_t room = t->as_format ? UINT64_MAX : selection_text_bound(t->viewer, t->titles);
    if (room == 0 && !t->as_format) return CLIP_FAILED;
    if (room > CLIP_LIMIT_UNITS) {
        Utf16Sink count = {nullptr, 0, 0, CLIP_LIMIT_UNITS};
        int64_t units = run_sink(t, &count);
        if (units < 0)
            return count.units > CLIP_LIMIT_UNITS && !stop_seen() ? CLIP_TOO_LARGE : CLIP_FAILED;
        room = static_cast<uint64_t>(units);
    }
    WCHAR *wide = lock_room(static_cast<size_t>(room), mem);
    if (!wide) return CLIP_FAILED;
    Utf16Sink write = {reinterpret_cast<uint16_t *>(wide), room + 1, 0, UINT64_MAX};
    int64_t units = run_sink(t, &write);
    if (units < 0) {
        GlobalUnlock(*mem);
        GlobalFree(*mem);
        *mem = nullptr;
        return CLIP_FAILED;
    }
    wide[units] = 0;
    GlobalUnlock(*mem);
    // The bound was above the text; the block gives back what it did not use.
    if (static_cast<uint64_t>(units) < room)
        if (HGLOBAL smaller =
                GlobalReAlloc(*mem, (static_cast<size_t>(units) + 1) * sizeof(WCHAR), 0))
            *mem = smaller;
    return CLIP_COPIED;
}

static ClipResult copy_text(const GridText *t) {
    HGLOBAL mem = nullptr;
    const ClipResult result = build_text(t, &mem);
    if (result == CLIP_COPIED) put_unicode(static_cast<HWND>(t->viewer->grid), mem);
    return result;
}

ClipResult clip_build_grid(const Viewer *viewer, bool titles, bool as_format, CopyFormat format,
                           HGLOBAL *mem) {
    GridText t = {viewer, titles, as_format, format};
    return build_text(&t, mem);
}

ClipResult clip_build_text(const TextDoc *doc, size_t from, size_t to, HGLOBAL *mem) {
    *mem = nullptr;
    const size_t units = text_utf16_count(doc, from, to);
    if (units == TEXT_COUNT_STOPPED) return CLIP_FAILED;
    if (units > CLIP_LIMIT_UNITS) return CLIP_TOO_LARGE;
    WCHAR *wide = lock_room(units, mem);
    if (!wide) return CLIP_FAILED;
    text_copy_utf16(doc, from, to, reinterpret_cast<uint16_t *>(wide), units + 1);
    GlobalUnlock(*mem);
    if (stop_seen()) {
        GlobalFree(*mem);
        *mem = nullptr;
        return CLIP_FAILED;
    }
    return CLIP_COPIED;
}

void clip_put(HWND owner, HGLOBAL mem) {
    put_unicode(owner, mem);
}

ClipResult copy_grid_selection(const Viewer *viewer, bool titles) {
    GridText t = {viewer, titles, false, COPY_CSV};
    return copy_text(&t);
}

ClipResult copy_grid_as(const Viewer *viewer, CopyFormat format) {
    GridText t = {viewer, false, true, format};
    return copy_text(&t);
}
