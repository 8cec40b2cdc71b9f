// Writes 24-bit RGB pictures as PNG files (stored, uncompressed deflate), so the tests can
// save screenshots without an image library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvotest {

// `rgb` holds width * height pixels, 3 bytes each, top row first. The PNG file's bytes.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace orvotest
