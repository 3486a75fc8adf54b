// PNG files from 24-bit pixels, for the headless mode's screenshots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A whole PNG file: 8-bit RGB, no interlace, every row with filter type 0, one IDAT chunk.
// `rgb` holds `height` rows of `width` pixels, top row first, three bytes (red, green, blue) each,
// with no padding between rows.
std::vector<unsigned char> png_from_rgb(const unsigned char *rgb, int width, int height);

// The CRC-32 of PNG chunks (and of zip and Ethernet): polynomial 0xEDB88320, reflected.
uint32_t png_crc32(const unsigned char *data, size_t size);
