#include "png_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

namespace e2e {
namespace {

uint32_t Big32(const std::vector<uint8_t> &b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

// Decodes the file again as a viewer would (chunks, checksums, the zlib
// stream, each row's filter) and compares the pixels. The picture is a
// dialog's kind: flat bands and a few edges, which must come out small.
TEST(PngFile, DecodesToTheSamePixelsAndIsCompressed) {
    const int width = 300, height = 200;
    std::vector<uint8_t> rgb(width * height * 3, 0xC0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t *pixel = &rgb[(y * width + x) * 3];
            if (y < 20) pixel[2] = 0x80;                              // title band
            if (x == 10 || x == 289 || y == 60) pixel[0] = pixel[1] = pixel[2] = 0;  // edges
            if (y > 100 && y < 110 && x % 7 < 3) pixel[0] = static_cast<uint8_t>(x);  // "text"
        }
    }
    std::vector<uint8_t> png = EncodePng(width, height, rgb);

    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
    size_t at = 8;
    std::vector<uint8_t> idat;
    std::vector<std::string> order;
    while (at + 12 <= png.size()) {
        uint32_t length = Big32(png, at);
        std::string type(png.begin() + at + 4, png.begin() + at + 8);
        order.push_back(type);
        EXPECT_EQ(crc32(0, png.data() + at + 4, length + 4), Big32(png, at + 8 + length)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(Big32(png, at + 8), uint32_t(width));
            EXPECT_EQ(Big32(png, at + 12), uint32_t(height));
            EXPECT_EQ(png[at + 16], 8);
            EXPECT_EQ(png[at + 17], 2);
        }
        if (type == "IDAT") idat.insert(idat.end(), png.begin() + at + 8, png.begin() + at + 8 + length);
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(order, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));

    const size_t row = width * 3;
    std::vector<uint8_t> raw((row + 1) * height);
    uLongf rawSize = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    std::vector<uint8_t> decoded(row * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t *line = &raw[y * (row + 1)];
        for (size_t x = 0; x < row; ++x) {
            uint8_t left = x >= 3 ? decoded[y * row + x - 3] : 0;
            uint8_t up = y > 0 ? decoded[(y - 1) * row + x] : 0;
            uint8_t predicted = line[0] == 0 ? 0 : line[0] == 1 ? left : line[0] == 2 ? up : 0;
            ASSERT_LE(line[0], 2) << "filter of row " << y;
            decoded[y * row + x] = static_cast<uint8_t>(line[1 + x] + predicted);
        }
    }
    EXPECT_EQ(decoded, rgb);
    // 180000 bytes of pixels; stored uncompressed they would take more.
    EXPECT_LT(png.size(), 2000u);
}

}  // namespace
}  // namespace e2e
