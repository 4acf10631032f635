#pragma once
// Writes a PNG file (8-bit RGB, uncompressed deflate blocks): enough for test
// screenshots, with no library.

#include <cstdint>
#include <string>
#include <vector>

namespace png_file {

// rgb: width * height pixels, three bytes each, rows from the top.
bool Write(const std::wstring& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace png_file
