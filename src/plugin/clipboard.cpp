// Clipboard: conversion to UTF-16 in movable global memory handed to the clipboard.
#include "plugin/clipboard.h"

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

void clip_set_text_range(HWND owner, const TextDoc *doc, size_t from, size_t to) {
    size_t units = text_utf16_count(doc, from, to);
    HGLOBAL mem;
    WCHAR *wide = lock_room(units, &mem);
    if (!wide) return;
    text_copy_utf16(doc, from, to, reinterpret_cast<uint16_t *>(wide), units + 1);
    GlobalUnlock(mem);
    put_unicode(owner, mem);
}

static void copy_built(const Viewer *viewer, int (*build)(const Viewer *, StrBuf *)) {
    StrBuf text;
    if (!build(viewer, &text)) return;
    clip_set_utf8(static_cast<HWND>(viewer->grid), text.data, static_cast<int>(text.len));
    sb_drop(&text);
}

void copy_grid_selection(const Viewer *viewer) {
    copy_built(viewer, selection_text);
}

void copy_grid_selection_with_names(const Viewer *viewer) {
    copy_built(viewer, selection_text_with_titles);
}
