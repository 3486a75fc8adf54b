// Test support: reads back the host's PNG files through the Windows Imaging Component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    uint32_t width = 0, height = 0;
    std::vector<unsigned char> rgb; // top row first, three bytes a pixel, no padding
};

// Decodes the PNG file at `path` into 8-bit RGB. Returns "" or what is wrong: a file that is not
// a PNG, or one the decoder refuses (cut off, corrupted), is reported and *image left empty.
std::string read_png(const std::wstring &path, PngImage *image);

// The RGB of pixel (x, y) as 0xRRGGBB.
uint32_t pixel_at(const PngImage &image, uint32_t x, uint32_t y);
