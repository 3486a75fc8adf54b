// The notice is kept as a window property of the viewer window, a block of its own, so the
// document's record holds nothing of it.
#include "plugin/notice.h"

#include <stdio.h>
#include <stdlib.h>

static const WCHAR NOTICE_PROP[] = L"TavrinNotice";

void notice_show(HWND viewer_window, const char *text) {
    char *kept = static_cast<char *>(GetPropW(viewer_window, NOTICE_PROP));
    if (!kept) {
        kept = static_cast<char *>(malloc(NOTICE_LEN));
        if (!kept) return;
        if (!SetPropW(viewer_window, NOTICE_PROP, kept)) {
            free(kept);
            return;
        }
    }
    snprintf(kept, NOTICE_LEN, "%s", text);
    InvalidateRect(viewer_window, nullptr, FALSE);
}

void notice_clear(HWND viewer_window) {
    char *kept = static_cast<char *>(RemovePropW(viewer_window, NOTICE_PROP));
    if (!kept) return;
    free(kept);
    InvalidateRect(viewer_window, nullptr, FALSE);
}

const char *notice_of(HWND viewer_window) {
    const char *kept = static_cast<const char *>(GetPropW(viewer_window, NOTICE_PROP));
    return kept ? kept : "";
}
