// A PNG writer for the screenshots: 8-bit RGB, deflated with zlib.
#ifndef ORVIXFAX_E2E_PNG_FILE_H
#define ORVIXFAX_E2E_PNG_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// `rgb` holds height rows of width pixels, 3 bytes each, top row first.
// Empty when zlib cannot compress the pixels (no memory).
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint8_t> &rgb);
bool WritePng(const std::string &path, int width, int height, const std::vector<uint8_t> &rgb);

}  // namespace e2e

#endif
