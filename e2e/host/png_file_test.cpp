#include "png_file.h"

#include <gtest/gtest.h>

#include <cstring>

namespace e2e {
namespace {

uint32_t Big32(const std::vector<uint8_t> &b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

TEST(PngChecksums, MatchTheirPublishedCheckValues) {
    const char *digits = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t *>(digits), 9), 0xCBF43926u);
    const char *word = "Wikipedia";
    EXPECT_EQ(Adler32(reinterpret_cast<const uint8_t *>(word), 9), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);
}

// Decodes the file again (chunks, checksums, stored blocks) and compares
// the pixels: an image big enough to need several deflate blocks.
TEST(PngFile, RoundTripsAnImageOfSeveralBlocks) {
    const int width = 150, height = 200;  // 200 rows of 451 bytes: 90200 bytes, two blocks
    std::vector<uint8_t> rgb(width * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 300);
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
        EXPECT_EQ(Crc32(png.data() + at + 4, length + 4), Big32(png, at + 8 + length)) << type;
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

    ASSERT_GE(idat.size(), 6u);
    EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0);  // zlib header check
    std::vector<uint8_t> raw;
    size_t p = 2;
    int blocks = 0;
    bool last = false;
    while (!last) {
        ASSERT_LE(p + 5, idat.size());
        last = idat[p] & 1;
        size_t n = idat[p + 1] | (idat[p + 2] << 8);
        size_t complement = idat[p + 3] | (idat[p + 4] << 8);
        EXPECT_EQ(n ^ 0xFFFF, complement);
        raw.insert(raw.end(), idat.begin() + p + 5, idat.begin() + p + 5 + n);
        p += 5 + n;
        ++blocks;
    }
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(Big32(idat, p), Adler32(raw.data(), raw.size()));
    ASSERT_EQ(raw.size(), size_t(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        ASSERT_EQ(raw[y * (width * 3 + 1)], 0) << "filter of row " << y;
        ASSERT_EQ(std::memcmp(&raw[y * (width * 3 + 1) + 1], &rgb[y * width * 3], width * 3), 0) << "row " << y;
    }
}

}  // namespace
}  // namespace e2e
