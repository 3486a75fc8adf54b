// PNG screenshots: the file layout, checksums and compressed pixels read back independently.
#include <gtest/gtest.h>

#include <cstring>

#include "host/png_write.h"
#include "host/zlib_stream.h"
#include "png_read.h"

namespace {

std::vector<unsigned char> bytes_of(const char *text) {
    return std::vector<unsigned char>(text, text + std::strlen(text));
}

// A picture like a screenshot: flat areas, a border and some noise that does not repeat.
std::vector<unsigned char> screenshot_like(int width, int height) {
    std::vector<unsigned char> rgb(size_t(width) * height * 3);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char *p = &rgb[(size_t(y) * width + x) * 3];
            if (y < 30) {
                p[0] = p[1] = p[2] = 240;
            } else if (y % 19 == 0 || x % 120 == 0) {
                p[0] = p[1] = p[2] = 200;
            } else if (x > 40 && x < 90 && y > 40 && y < 60) {
                noise = noise * 1103515245u + 12345u;
                p[0] = static_cast<unsigned char>(noise >> 24);
                p[1] = static_cast<unsigned char>(noise >> 16);
                p[2] = static_cast<unsigned char>(noise >> 8);
            } else {
                p[0] = 38, p[1] = 97, p[2] = 181;
            }
        }
    return rgb;
}

} // namespace

TEST(Checksums, CrcAndAdlerMatchTheirPublishedCheckValues) {
    std::vector<unsigned char> digits = bytes_of("123456789");
    EXPECT_EQ(png_crc32(digits.data(), digits.size()), 0xCBF43926u);
    std::vector<unsigned char> word = bytes_of("Wikipedia");
    EXPECT_EQ(adler32(word.data(), word.size()), 0x11E60398u);
    EXPECT_EQ(adler32(nullptr, 0), 1u);
}

TEST(ZlibStream, EmptyInputIsAValidStreamOfNothing) {
    std::vector<unsigned char> out = {1, 2, 3};
    EXPECT_EQ(inflate_zlib(zlib_compress(nullptr, 0), &out), "");
    EXPECT_TRUE(out.empty());
}

TEST(ZlibStream, TextWithRepeatsComesBackExactly) {
    std::vector<unsigned char> text = bytes_of(
        "abcabcabcabcabcabc the quick brown fox, the quick brown fox; aaaaaaaaaaaaaaaaaaaaaa"
        "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    std::vector<unsigned char> out;
    ASSERT_EQ(inflate_zlib(zlib_compress(text.data(), text.size()), &out), "");
    EXPECT_EQ(out, text);
}

TEST(ZlibStream, EveryByteValueAndEveryMatchLengthRoundTrips) {
    // Literals 0..255 use both literal code lengths; runs of each length from 3 to 300 use every
    // length code and its extra bits, the longest ones cut at 258.
    std::vector<unsigned char> data;
    for (int b = 0; b < 256; ++b) data.push_back(static_cast<unsigned char>(b));
    for (int run = 3; run <= 300; ++run) {
        data.insert(data.end(), static_cast<size_t>(run), static_cast<unsigned char>(run));
        data.push_back(static_cast<unsigned char>(~run));
    }
    std::vector<unsigned char> out;
    ASSERT_EQ(inflate_zlib(zlib_compress(data.data(), data.size()), &out), "");
    EXPECT_EQ(out, data);
}

TEST(ZlibStream, RepeatsFartherThanTheWindowAreNotReferredTo) {
    // A block of 40000 bytes repeated: the second copy lies beyond deflate's 32 KiB reach, and a
    // reference to it would be refused by every decoder.
    std::vector<unsigned char> block(40000);
    uint32_t state = 7;
    for (unsigned char &b : block) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(state >> 24);
    }
    std::vector<unsigned char> data = block;
    data.insert(data.end(), block.begin(), block.end());
    std::vector<unsigned char> out;
    ASSERT_EQ(inflate_zlib(zlib_compress(data.data(), data.size()), &out), "");
    EXPECT_EQ(out, data);
}

TEST(PngFile, HasTheSignatureAHeaderOfTheImageAndChunksInOrder) {
    const unsigned char rgb[2 * 3 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255,
                                          1,   2, 3, 4, 5,   6, 7, 8, 9};
    std::vector<unsigned char> file = png_from_rgb(rgb, 3, 2);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(std::memcmp(file.data(), signature, 8), 0);

    PngImage image;
    ASSERT_EQ(read_png(file, &image), "");
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.bit_depth, 8);
    EXPECT_EQ(image.color_type, 2);
    EXPECT_EQ(image.compression, 0);
    EXPECT_EQ(image.filter, 0);
    EXPECT_EQ(image.interlace, 0);
    EXPECT_EQ(image.chunk_types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(image.rgb, std::vector<unsigned char>(rgb, rgb + sizeof rgb));
    EXPECT_EQ(pixel_at(image, 2, 0), 0x0000FFu);
    EXPECT_EQ(pixel_at(image, 1, 1), 0x040506u);
}

TEST(PngFile, AScreenshotSizedPictureComesBackPixelForPixel) {
    const int width = 640, height = 400;
    std::vector<unsigned char> rgb = screenshot_like(width, height);
    std::vector<unsigned char> file = png_from_rgb(rgb.data(), width, height);
    PngImage image;
    ASSERT_EQ(read_png(file, &image), "");
    EXPECT_EQ(image.width, 640u);
    EXPECT_EQ(image.height, 400u);
    EXPECT_TRUE(image.rgb == rgb);
    // Flat areas are what screenshots are made of; they must not cost their raw size.
    EXPECT_LT(file.size(), rgb.size() / 20);
}

TEST(PngFile, AFlippedBitIsCaughtByTheChunkCrc) {
    const unsigned char rgb[3] = {10, 20, 30};
    std::vector<unsigned char> file = png_from_rgb(rgb, 1, 1);
    file[8 + 8 + 4] ^= 0x01; // inside IHDR's width
    PngImage image;
    EXPECT_EQ(read_png(file, &image), "the CRC of chunk IHDR does not match");
}
