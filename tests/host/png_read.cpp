// Test support: an independent PNG reader with its own CRC, Adler-32 and inflater, so that a fault
// in the writer's shows as a mismatch instead of being repeated.
#include "png_read.h"

#include <algorithm>

namespace {

uint32_t crc32_bitwise(const unsigned char *data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t adler32_plain(const std::vector<unsigned char> &data) {
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

uint32_t be32(const unsigned char *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

struct BitReader {
    const std::vector<unsigned char> &in;
    size_t pos; // byte position
    int bit = 0;
    bool overrun = false;

    unsigned take(int n) { // least significant bit first
        unsigned v = 0;
        for (int i = 0; i < n; ++i) {
            if (pos >= in.size()) {
                overrun = true;
                return 0;
            }
            v |= ((in[pos] >> bit) & 1u) << i;
            if (++bit == 8) {
                bit = 0;
                ++pos;
            }
        }
        return v;
    }
    unsigned take_code_bit() { return take(1); }
    void to_byte() {
        if (bit) {
            bit = 0;
            ++pos;
        }
    }
};

// A symbol of the fixed literal/length code, read one code bit at a time (most significant first).
int fixed_literal(BitReader *bits) {
    unsigned code = 0;
    for (int i = 0; i < 7; ++i) code = (code << 1) | bits->take_code_bit();
    if (code <= 0x17) return 256 + static_cast<int>(code);
    code = (code << 1) | bits->take_code_bit();
    if (code >= 0x30 && code <= 0xBF) return static_cast<int>(code - 0x30);
    if (code >= 0xC0 && code <= 0xC7) return 280 + static_cast<int>(code - 0xC0);
    code = (code << 1) | bits->take_code_bit();
    return 144 + static_cast<int>(code - 0x190);
}

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                               33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                               1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

std::string inflate_fixed_block(BitReader *bits, std::vector<unsigned char> *out) {
    for (;;) {
        int symbol = fixed_literal(bits);
        if (bits->overrun) return "the stream ends inside a block";
        if (symbol < 256) {
            out->push_back(static_cast<unsigned char>(symbol));
            continue;
        }
        if (symbol == 256) return "";
        if (symbol > 285) return "literal/length symbol " + std::to_string(symbol) + " is invalid";
        int l = symbol - 257;
        size_t length = kLengthBase[l] + bits->take(kLengthExtra[l]);
        unsigned d = 0;
        for (int i = 0; i < 5; ++i) d = (d << 1) | bits->take_code_bit();
        if (d > 29) return "distance code " + std::to_string(d) + " is invalid";
        size_t distance = kDistanceBase[d] + bits->take(kDistanceExtra[d]);
        if (distance > 32768) return "a distance reaches beyond the 32 KiB window";
        if (distance > out->size()) return "a distance reaches before the start";
        size_t from = out->size() - distance;
        for (size_t i = 0; i < length; ++i) out->push_back((*out)[from + i]);
    }
}

std::string inflate_stored_block(BitReader *bits, std::vector<unsigned char> *out) {
    bits->to_byte();
    const std::vector<unsigned char> &in = bits->in;
    if (bits->pos + 4 > in.size()) return "a stored block's header is cut off";
    unsigned len = in[bits->pos] | (in[bits->pos + 1] << 8);
    unsigned nlen = in[bits->pos + 2] | (in[bits->pos + 3] << 8);
    if ((len ^ 0xFFFFu) != nlen) return "a stored block's length check fails";
    bits->pos += 4;
    if (bits->pos + len > in.size()) return "a stored block is cut off";
    out->insert(out->end(), in.begin() + static_cast<long>(bits->pos),
                in.begin() + static_cast<long>(bits->pos + len));
    bits->pos += len;
    return "";
}

} // namespace

std::string inflate_zlib(const std::vector<unsigned char> &stream,
                         std::vector<unsigned char> *out) {
    out->clear();
    if (stream.size() < 6) return "the zlib stream is too short";
    if ((stream[0] & 0x0F) != 8) return "the zlib stream does not use deflate";
    if ((stream[0] >> 4) > 7) return "the zlib window is larger than 32 KiB";
    if ((stream[0] * 256 + stream[1]) % 31 != 0) return "the zlib header check fails";
    if (stream[1] & 0x20) return "the zlib stream asks for a preset dictionary";
    BitReader bits{stream, 2};
    for (bool last = false; !last;) {
        last = bits.take(1) != 0;
        unsigned type = bits.take(2);
        std::string fault;
        if (type == 0)
            fault = inflate_stored_block(&bits, out);
        else if (type == 1)
            fault = inflate_fixed_block(&bits, out);
        else
            fault = "block type " + std::to_string(type) + " is not stored or fixed";
        if (!fault.empty()) return fault;
        if (bits.overrun) return "the stream ends inside a block";
    }
    bits.to_byte();
    if (bits.pos + 4 != stream.size()) return "the Adler-32 is not right after the last block";
    if (be32(&stream[bits.pos]) != adler32_plain(*out)) return "the Adler-32 does not match";
    return "";
}

std::string read_png(const std::vector<unsigned char> &file, PngImage *image) {
    *image = PngImage{};
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin()))
        return "no PNG signature";
    std::vector<unsigned char> idat;
    size_t at = 8;
    while (at < file.size()) {
        if (at + 12 > file.size()) return "a chunk is cut off";
        uint32_t length = be32(&file[at]);
        if (at + 12 + length > file.size()) return "a chunk's data is cut off";
        std::string type(file.begin() + static_cast<long>(at + 4),
                         file.begin() + static_cast<long>(at + 8));
        const unsigned char *data = &file[at + 8];
        if (crc32_bitwise(&file[at + 4], length + 4) != be32(data + length))
            return "the CRC of chunk " + type + " does not match";
        image->chunk_types.push_back(type);
        if (type == "IHDR") {
            if (length != 13) return "IHDR is not 13 bytes";
            image->width = be32(data);
            image->height = be32(data + 4);
            image->bit_depth = data[8];
            image->color_type = data[9];
            image->compression = data[10];
            image->filter = data[11];
            image->interlace = data[12];
        } else if (type == "IDAT") {
            idat.insert(idat.end(), data, data + length);
        }
        at += 12 + length;
    }
    if (image->chunk_types.empty() || image->chunk_types.front() != "IHDR")
        return "IHDR is not the first chunk";
    if (image->chunk_types.back() != "IEND") return "IEND is not the last chunk";
    if (image->bit_depth != 8 || image->color_type != 2 || image->interlace != 0)
        return "not 8-bit RGB without interlace";

    std::vector<unsigned char> scanlines;
    std::string fault = inflate_zlib(idat, &scanlines);
    if (!fault.empty()) return fault;
    size_t stride = size_t(image->width) * 3;
    if (scanlines.size() != (stride + 1) * image->height)
        return "the image data is " + std::to_string(scanlines.size()) + " bytes, not " +
               std::to_string((stride + 1) * image->height);
    for (uint32_t y = 0; y < image->height; ++y) {
        const unsigned char *row = &scanlines[y * (stride + 1)];
        if (row[0] != 0)
            return "row " + std::to_string(y) + " uses filter " + std::to_string(row[0]);
        image->rgb.insert(image->rgb.end(), row + 1, row + 1 + stride);
    }
    return "";
}

uint32_t pixel_at(const PngImage &image, uint32_t x, uint32_t y) {
    const unsigned char *p = &image.rgb[(size_t(y) * image.width + x) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}
