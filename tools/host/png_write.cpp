// Writes PNG files: signature, IHDR, one IDAT holding the zlib stream, IEND.
#include "host/png_write.h"

#include "host/zlib_stream.h"

uint32_t png_crc32(const unsigned char *data, size_t size) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

static void put_u32(std::vector<unsigned char> *out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out->push_back(static_cast<unsigned char>(v >> shift));
}

// A chunk's CRC covers its type and data, not its length.
static void put_chunk(std::vector<unsigned char> *out, const char *type,
                      const std::vector<unsigned char> &data) {
    put_u32(out, static_cast<uint32_t>(data.size()));
    size_t start = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data.begin(), data.end());
    put_u32(out, png_crc32(out->data() + start, out->size() - start));
}

std::vector<unsigned char> png_from_rgb(const unsigned char *rgb, int width, int height) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> file(kSignature, kSignature + 8);

    std::vector<unsigned char> header;
    put_u32(&header, static_cast<uint32_t>(width));
    put_u32(&header, static_cast<uint32_t>(height));
    // Bit depth 8, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
    const unsigned char rest[5] = {8, 2, 0, 0, 0};
    header.insert(header.end(), rest, rest + 5);
    put_chunk(&file, "IHDR", header);

    size_t stride = static_cast<size_t>(width) * 3;
    std::vector<unsigned char> scanlines;
    scanlines.reserve((stride + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        scanlines.push_back(0); // filter type None: flat colours already repeat at distance 3
        const unsigned char *row = rgb + stride * static_cast<size_t>(y);
        scanlines.insert(scanlines.end(), row, row + stride);
    }
    put_chunk(&file, "IDAT", zlib_compress(scanlines.data(), scanlines.size()));
    put_chunk(&file, "IEND", {});
    return file;
}
