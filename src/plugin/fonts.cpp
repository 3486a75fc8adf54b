// The shared fonts: created once per scale and loaded module, deleted when it is freed.
#include "plugin/fonts.h"

#include "plugin/dpi.h"

#include <stdlib.h>

namespace {

// One set of fonts a scale. A session rarely sees more than two or three scales (one a monitor);
// past SCALES_MAX, a scale gets the set of the nearest one already made rather than fonts that
// nothing could free while windows hold them.
enum { SCALES_MAX = 8 };
struct ScaledFonts {
    int dpi;
    HFONT bar, text;
};
ScaledFonts g_fonts[SCALES_MAX];
int g_scales = 0;

ScaledFonts *fonts_at(int dpi) {
    if (dpi <= 0) dpi = screen_dpi();
    ScaledFonts *nearest = nullptr;
    for (int i = 0; i < g_scales; ++i) {
        if (g_fonts[i].dpi == dpi) return &g_fonts[i];
        if (!nearest || abs(g_fonts[i].dpi - dpi) < abs(nearest->dpi - dpi)) nearest = &g_fonts[i];
    }
    if (g_scales == SCALES_MAX) return nearest;
    g_fonts[g_scales] = ScaledFonts{dpi, nullptr, nullptr};
    return &g_fonts[g_scales++];
}

int font_height(int dpi) {
    return -scaled_px(FONT_HEIGHT_96, dpi);
}

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

HFONT make_fixed_font(const wchar_t *face, int dpi) {
    return CreateFontW(font_height(dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       FIXED_PITCH | FF_MODERN, face);
}

} // namespace

HFONT bar_font(int dpi) {
    ScaledFonts *set = fonts_at(dpi);
    if (!set->bar)
        set->bar = CreateFontA(font_height(set->dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Segoe UI");
    return set->bar ? set->bar : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT text_font(int dpi) {
    ScaledFonts *set = fonts_at(dpi);
    if (!set->text) {
        static const wchar_t *const faces[] = {L"Consolas", L"Courier New"};
        for (const wchar_t *face : faces) {
            HFONT font = make_fixed_font(face, set->dpi);
            if (font && font_is(font, face)) {
                set->text = font;
                break;
            }
            if (font) DeleteObject(font);
        }
        if (!set->text) set->text = make_fixed_font(nullptr, set->dpi);
    }
    return set->text ? set->text : static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
}

int font_dpi(HFONT font) {
    for (int i = 0; font && i < g_scales; ++i)
        if (g_fonts[i].bar == font || g_fonts[i].text == font) return g_fonts[i].dpi;
    return 0;
}

void fonts_free(void) {
    for (int i = 0; i < g_scales; ++i) {
        if (g_fonts[i].bar) DeleteObject(g_fonts[i].bar);
        if (g_fonts[i].text) DeleteObject(g_fonts[i].text);
    }
    g_scales = 0;
}
