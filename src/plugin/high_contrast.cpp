// High contrast and the system's colours, as the palette takes them.
#include "plugin/high_contrast.h"

namespace {

// -1: ask the system; 0 or 1: what a test decided.
volatile LONG g_decided = -1;

thread_local Palette t_paint_palette;
thread_local bool t_paint_palette_read = false;

uint32_t system_colour(int index) {
    return static_cast<uint32_t>(GetSysColor(index));
}

} // namespace

bool high_contrast_on(void) {
    const LONG decided = InterlockedCompareExchange(&g_decided, 0, 0);
    if (decided == 0 || decided == 1) return decided == 1;
    HIGHCONTRASTW hc = {};
    hc.cbSize = sizeof hc;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) &&
           (hc.dwFlags & HCF_HIGHCONTRASTON);
}

Palette paint_palette(void) {
    const SystemColors system = {
        system_colour(COLOR_WINDOW),    system_colour(COLOR_WINDOWTEXT),
        system_colour(COLOR_HIGHLIGHT), system_colour(COLOR_HIGHLIGHTTEXT),
        system_colour(COLOR_BTNFACE),   system_colour(COLOR_BTNTEXT),
    };
    return palette_for(&system, high_contrast_on() ? 1 : 0);
}

void fill_colour(HDC dc, const RECT *r, uint32_t colour) {
    if (HBRUSH brush = CreateSolidBrush(colour)) {
        FillRect(dc, r, brush);
        DeleteObject(brush);
    }
}

const Palette *palette_begin_paint(void) {
    t_paint_palette = paint_palette();
    t_paint_palette_read = true;
    return &t_paint_palette;
}

const Palette *palette_in_paint(void) {
    return t_paint_palette_read ? &t_paint_palette : palette_begin_paint();
}

extern "C" __declspec(dllexport) void __stdcall TavrinInternalHighContrast(int mode) {
    InterlockedExchange(&g_decided, mode == 0 || mode == 1 ? mode : -1);
}
