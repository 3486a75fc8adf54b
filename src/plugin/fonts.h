// The fonts every viewer of the process shares: the header bar's (also the grid's and the find
// bar's) and the text view's fixed-pitch one. Made on first use, freed with the module.
#pragma once

#include <windows.h>

// Segoe UI at 15 pixels, or the stock GUI font when it cannot be made.
HFONT bar_font(void);

// Consolas where Windows has it, Courier New where it does not, else whatever fixed-pitch font
// the system offers (every column must be as wide as the next); the stock fixed font when none
// can be made.
HFONT text_font(void);

// Deletes the fonts: a host that frees the module and loads it again gets fresh fonts, so the old
// ones must go with the module or each reload leaks GDI objects.
void fonts_free(void);
