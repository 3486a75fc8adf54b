// The scale of a window: the DPI of the display it shows on, and lengths drawn at 96 DPI (100 %)
// scaled to it. Every pixel length of the viewer's windows is designed at 96 and scaled here, so
// that the viewer is as large as the file manager around it at any display scale.
#pragma once

#include <windows.h>

enum { BASE_DPI = 96 };

// The window's DPI: GetDpiForWindow where the system has it (a host unaware of the display's scale
// gets 96 and the system scales its windows as bitmaps), else the screen's LOGPIXELSY; 96 when
// neither answers.
int window_dpi(HWND window);

// The screen's DPI, for what is made before any window is.
int screen_dpi(void);

// A length of `px` pixels at 96 DPI, at `dpi`: rounded to the nearest pixel, at least 1 when px is.
int scaled_px(int px, int dpi);

// Lengths of the viewer's parts at 96 DPI.
enum {
    BAR_HEIGHT_96 = 30,  // the header bar, its bottom line included
    BAR_TEXT_X_96 = 6,   // where the bar's text starts
    BAR_TEXT_Y_96 = 6,   //
    FONT_HEIGHT_96 = 15, // the bar's, the grid's and the text views' fonts (character height)
    CARET_WIDTH_96 = 2,  // the text views' caret, unless the user's own setting is wider
};

// The header bar's height at the window's scale.
int bar_height(HWND viewer_window);
