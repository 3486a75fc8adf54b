// The shared fonts: created once per loaded module, deleted when it is freed.
#include "plugin/fonts.h"

namespace {

enum { FONT_HEIGHT = -15 };

HFONT g_barfont = nullptr;
HFONT g_textfont = nullptr;

// Whether the system gave `face` itself, and a fixed-pitch font, for `font`.
bool font_is(HFONT font, const wchar_t *face) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t got[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, got);
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // The flag's name says the opposite of what it means: set, the pitch is variable.
    return lstrcmpiW(got, face) == 0 && !(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
}

HFONT make_fixed_font(const wchar_t *face) {
    return CreateFontW(FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}

} // namespace

HFONT bar_font(void) {
    if (!g_barfont)
        g_barfont = CreateFontA(FONT_HEIGHT, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Segoe UI");
    return g_barfont ? g_barfont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT text_font(void) {
    if (!g_textfont) {
        static const wchar_t *const faces[] = {L"Consolas", L"Courier New"};
        for (const wchar_t *face : faces) {
            HFONT font = make_fixed_font(face);
            if (font && font_is(font, face)) {
                g_textfont = font;
                break;
            }
            if (font) DeleteObject(font);
        }
        if (!g_textfont) g_textfont = make_fixed_font(nullptr);
    }
    return g_textfont ? g_textfont : static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
}

void fonts_free(void) {
    if (g_barfont) DeleteObject(g_barfont);
    if (g_textfont) DeleteObject(g_textfont);
    g_barfont = g_textfont = nullptr;
}
