// The clipboard as another program reads it after clip_set_utf8.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "plugin/clipboard.h"

static std::wstring clipboard_unicode() {
    std::wstring out = L"<no text>";
    if (!OpenClipboard(nullptr)) return L"<not opened>";
    HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (h) {
        const wchar_t *p = static_cast<const wchar_t *>(GlobalLock(h));
        if (p) out = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

TEST(ClipSetUtf8, NonAsciiArrivesAsTheSameCharacters) {
    clip_set_utf8("Gr\xC3\xBC\xC3\x9F"
                  "e \xE6\x97\xA5\xE6\x9C\xAC",
                  -1);
    EXPECT_EQ(clipboard_unicode(), L"Gr\u00fc\u00dfe \u65e5\u672c");
}
