// The system's high-contrast setting and colours, read at the start of every paint: the one place
// the module asks for the setting. A change of the theme then shows at the next paint, though the
// messages that announce it (WM_SETTINGCHANGE, WM_SYSCOLORCHANGE) reach only top-level windows and
// the viewer is a child of the host's.
#pragma once

#include <windows.h>

#include "grid/palette.h"

// Whether the user's high-contrast setting is on (SPI_GETHIGHCONTRAST), unless a test has decided
// it through the module's internal export below.
bool high_contrast_on(void);

// The palette a paint starting now draws with: the system's colours and setting read afresh.
Palette paint_palette(void);

// Fills r with one of a palette's colours.
void fill_colour(HDC dc, const RECT *r, uint32_t colour);

// The grid asks for a palette once a paint (at its first custom-draw stage) and keeps it for the
// cells of that paint, which ask the system nothing: palette_begin_paint reads it afresh,
// palette_in_paint gives the one last read on this thread (reading it when none was).
const Palette *palette_begin_paint(void);
const Palette *palette_in_paint(void);

// Exported under an internal name for the module's tests only, as Wine refuses to turn the
// system's setting on: 1 treats the setting as on, 0 as off, any other value asks the system
// again. Nothing a host should call.
extern "C" __declspec(dllexport) void __stdcall TavrinInternalHighContrast(int mode);
