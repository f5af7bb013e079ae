#include "png_file.h"

#include <zlib.h>

#include <cstdio>

namespace e2e {

namespace {

void PutBig32(std::vector<uint8_t> &out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t> &png, const char type[4], const std::vector<uint8_t> &body) {
    PutBig32(png, static_cast<uint32_t>(body.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), body.begin(), body.end());
    PutBig32(png, static_cast<uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t> &rgb) {
    // Each row: filter byte 0, then the pixels. (A dialog's flat areas and
    // repeated rows deflate best as they are; the "up" filter came out
    // larger.)
    size_t row = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> rows;
    rows.reserve((row + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), rgb.begin() + y * row, rgb.begin() + (y + 1) * row);
    }
    uLongf deflatedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> deflated(deflatedSize);
    if (compress2(deflated.data(), &deflatedSize, rows.data(), static_cast<uLong>(rows.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    deflated.resize(deflatedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(width));
    PutBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, rows by row, no interlace
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", deflated);
    Chunk(png, "IEND", {});
    return png;
}

bool WritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb) {
    std::vector<uint8_t> png = EncodePng(width, height, rgb);
    if (png.empty()) return false;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace e2e
