// Test support: reads back PNG files as the host writes them, checking every layer on the way:
// signature, chunk CRCs, the zlib header and Adler-32, deflate blocks, filter bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngImage {
    uint32_t width = 0, height = 0;
    int bit_depth = 0, color_type = 0, compression = 0, filter = 0, interlace = 0;
    std::vector<std::string> chunk_types; // in file order
    std::vector<unsigned char> rgb;       // top row first, three bytes a pixel
};

// Inflates a zlib stream made of stored and fixed-code blocks (what the host writes; dynamic
// blocks are reported as a fault). Returns "" or what is wrong.
std::string inflate_zlib(const std::vector<unsigned char> &stream, std::vector<unsigned char> *out);

// Reads an 8-bit RGB, non-interlaced PNG whose rows all use filter type 0. Returns "" or what is
// wrong.
std::string read_png(const std::vector<unsigned char> &file, PngImage *image);

// The RGB of pixel (x, y) as 0xRRGGBB.
uint32_t pixel_at(const PngImage &image, uint32_t x, uint32_t y);
