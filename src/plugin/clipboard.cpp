// Clipboard: conversion to UTF-16 in movable global memory handed to the clipboard.
#include "plugin/clipboard.h"

#include "grid/selection_text.h"

#include <windows.h>

#include <string.h>

void clip_set_utf8(const char *text, int n) {
    if (n < 0) n = static_cast<int>(strlen(text));
    int units = n > 0 ? MultiByteToWideChar(CP_UTF8, 0, text, n, nullptr, 0) : 0;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (static_cast<SIZE_T>(units) + 1) * sizeof(WCHAR));
    if (!mem) return;
    WCHAR *wide = static_cast<WCHAR *>(GlobalLock(mem));
    if (!wide) {
        GlobalFree(mem);
        return;
    }
    if (units > 0) MultiByteToWideChar(CP_UTF8, 0, text, n, wide, units);
    wide[units] = 0;
    GlobalUnlock(mem);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(mem);
        return;
    }
    EmptyClipboard();
    // The clipboard owns the memory only when it accepts it.
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    CloseClipboard();
}

void copy_grid_selection(const Viewer *viewer) {
    StrBuf text;
    if (!selection_text(viewer, &text)) return;
    clip_set_utf8(text.data, static_cast<int>(text.len));
    sb_drop(&text);
}
