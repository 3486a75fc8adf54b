// PNG files written through the Windows Imaging Component, for the headless mode's screenshots.
#pragma once

#include <string>

// Writes `height` rows of `width` pixels to `path` as an 8-bit RGB PNG. `bgrx` holds the rows top
// first with no padding between them, four bytes a pixel, blue, green, red and one unused, as a
// 32-bit DIB section holds them. Returns false with the reason in *error, leaving no file behind.
bool write_png_file(const std::wstring &path, const unsigned char *bgrx, int width, int height,
                    std::string *error);
