// A PNG writer small enough to carry: 8-bit RGB, no compression (stored
// deflate blocks), which every viewer reads.
#ifndef ORVIXFAX_E2E_PNG_FILE_H
#define ORVIXFAX_E2E_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t *data, size_t size);

// `rgb` holds height rows of width pixels, 3 bytes each, top row first.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t> &rgb);
bool WritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb);

}  // namespace e2e

#endif
