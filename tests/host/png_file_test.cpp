// Screenshots as PNG files: captured pixels come back from the file as they were, and a file the
// decoder cannot read whole is reported rather than taken for a picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/png_file.h"
#include "png_read.h"

namespace {

// Pixels as a 32-bit DIB holds them, each a colour of its own; the unused fourth byte is not
// zero, as nothing promises it is.
std::vector<unsigned char> distinct_bgrx(int width, int height) {
    std::vector<unsigned char> bgrx;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bgrx.push_back(static_cast<unsigned char>(10 * x + 1));  // blue
            bgrx.push_back(static_cast<unsigned char>(40 * y + 2));  // green
            bgrx.push_back(static_cast<unsigned char>(200 - x - y)); // red
            bgrx.push_back(static_cast<unsigned char>(0x5A + x));
        }
    return bgrx;
}

std::vector<unsigned char> bytes_of(const std::wstring &path) {
    std::vector<unsigned char> bytes;
    FILE *f = _wfopen(path.c_str(), L"rb");
    if (!f) return bytes;
    unsigned char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return bytes;
}

void put_bytes(const std::wstring &path, const std::vector<unsigned char> &bytes) {
    FILE *f = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

class PngFile : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"tavrin_png_test_" + std::to_wstring(GetCurrentProcessId()) +
                L".png";
    }
    void TearDown() override { DeleteFileW(path_.c_str()); }

    // Writes a picture of distinct pixels and returns the file's bytes.
    std::vector<unsigned char> written(int width, int height) {
        std::vector<unsigned char> bgrx = distinct_bgrx(width, height);
        std::string error;
        EXPECT_TRUE(write_png_file(path_, bgrx.data(), width, height, &error)) << error;
        return bytes_of(path_);
    }

    std::wstring path_;
};

} // namespace

TEST_F(PngFile, EveryPixelComesBackInItsPlaceWithItsColour) {
    // Widths whose three-byte rows are not a multiple of four bytes: a reader or writer assuming
    // padded rows would shift every row after the first.
    for (int width : {1, 3, 5, 64}) {
        const int height = 3;
        written(width, height);
        PngImage image;
        ASSERT_EQ(read_png(path_, &image), "") << "width " << width;
        ASSERT_EQ(image.width, static_cast<uint32_t>(width));
        ASSERT_EQ(image.height, static_cast<uint32_t>(height));
        ASSERT_EQ(image.rgb.size(), size_t(width) * height * 3);
        std::vector<unsigned char> bgrx = distinct_bgrx(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char *p = &bgrx[(size_t(y) * width + x) * 4];
                uint32_t expected = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
                ASSERT_EQ(pixel_at(image, x, y), expected)
                    << "width " << width << ", pixel (" << x << ", " << y << ")";
            }
    }
}

TEST_F(PngFile, AFileThatCannotBeMadeIsAnErrorWithItsReason) {
    std::vector<unsigned char> bgrx = distinct_bgrx(2, 2);
    std::string error;
    std::wstring nowhere = path_ + L".missing\\shot.png";
    EXPECT_FALSE(write_png_file(nowhere, bgrx.data(), 2, 2, &error));
    EXPECT_NE(error.find("cannot create the file"), std::string::npos) << error;
    EXPECT_FALSE(write_png_file(path_, bgrx.data(), 0, 2, &error));
    EXPECT_EQ(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PngFile, AFileTheDecoderCannotReadWholeIsReportedAndLeavesNoPicture) {
    std::vector<unsigned char> good = written(40, 30);
    ASSERT_GT(good.size(), 60u);
    PngImage image;
    ASSERT_EQ(read_png(path_, &image), "");

    // The picture read before must not stay behind for the checks that follow a failed read.
    put_bytes(path_, std::vector<unsigned char>(good.begin(), good.begin() + good.size() / 2));
    EXPECT_NE(read_png(path_, &image), "") << "cut off";
    EXPECT_EQ(image.width, 0u);
    EXPECT_TRUE(image.rgb.empty());

    // A flipped bit in the compressed pixels, which the chunk's CRC covers.
    std::vector<unsigned char> flipped = good;
    std::string bytes(good.begin(), good.end());
    size_t idat = bytes.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    flipped[idat + 4 + 5] ^= 0x10;
    put_bytes(path_, flipped);
    EXPECT_NE(read_png(path_, &image), "") << "flipped bit";

    put_bytes(path_, std::vector<unsigned char>{'B', 'M', 0, 0, 0, 0});
    EXPECT_NE(read_png(path_, &image), "") << "not a picture";
    EXPECT_NE(read_png(path_ + L".missing", &image), "") << "no file";
}
