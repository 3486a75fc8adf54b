// The fonts every viewer of the process shares, one set for each display scale in use: the header
// bar's (also the grid's and the find bar's) and the text view's fixed-pitch one. Made on first use
// at a scale, freed with the module.
#pragma once

#include <windows.h>

// Segoe UI 15 pixels high at 96 DPI, scaled to `dpi` (the screen's when 0); the stock GUI font
// when it cannot be made.
HFONT bar_font(int dpi = 0);

// Consolas where Windows has it, Courier New where it does not, else whatever fixed-pitch font
// the system offers (every column must be as wide as the next), 15 pixels at 96 DPI scaled to
// `dpi`; the stock fixed font when none can be made.
HFONT text_font(int dpi);

// The DPI `font` was made for by this module, or 0 when it is none of its fonts.
int font_dpi(HFONT font);

// Deletes the fonts: a host that frees the module and loads it again gets fresh fonts, so the old
// ones must go with the module or each reload leaks GDI objects.
void fonts_free(void);
