// Build tool, run on the build machine: writes the program's icon file from
// its text pixel map, so the executable's icon has no binary source.
//   make-icon OUTPUT.ico

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "ui/PictureMaps.h"

namespace {

void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, std::uint32_t v) {
  Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(out, static_cast<std::uint16_t>(v >> 16));
}

// One 32-bit image with alpha, plus the AND mask that older systems use.
std::string IconImage(const pictures::PixelMap& map) {
  const int w = map.width, h = map.height;
  const auto pixels = pictures::Render(map, pictures::Look::kColour);
  const int maskStride = ((w + 31) / 32) * 4;
  std::string image;
  // BITMAPINFOHEADER; the height counts the colour image and the mask.
  Put32(image, 40);
  Put32(image, static_cast<std::uint32_t>(w));
  Put32(image, static_cast<std::uint32_t>(2 * h));
  Put16(image, 1);
  Put16(image, 32);
  Put32(image, 0);
  Put32(image, static_cast<std::uint32_t>(w * h * 4 + maskStride * h));
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, 0);
  Put32(image, 0);
  // Rows bottom-up, blue, green, red, alpha.
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const pictures::Rgb c = pixels[static_cast<std::size_t>(y) * w + x];
      const bool clear = map.rows[y][x] == '.';
      image += static_cast<char>(clear ? 0 : c.b);
      image += static_cast<char>(clear ? 0 : c.g);
      image += static_cast<char>(clear ? 0 : c.r);
      image += static_cast<char>(clear ? 0 : 0xFF);
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(maskStride), '\0');
    for (int x = 0; x < w; ++x) {
      if (map.rows[y][x] == '.') row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    }
    image += row;
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !pictures::IsWellFormed(pictures::kIcon)) {
    std::fprintf(stderr, "usage: make-icon OUTPUT.ico (and a well-formed icon map)\n");
    return 2;
  }
  const std::string image = IconImage(pictures::kIcon);
  std::string file;
  Put16(file, 0);  // reserved
  Put16(file, 1);  // an icon
  Put16(file, 1);  // one image
  file += static_cast<char>(pictures::kIcon.width);
  file += static_cast<char>(pictures::kIcon.height);
  file += '\0';  // no palette
  file += '\0';
  Put16(file, 1);   // planes
  Put16(file, 32);  // bits per pixel
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, 6 + 16);  // the image follows the directory
  file += image;

  std::ofstream out(argv[1], std::ios::binary);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  return out.good() ? 0 : 1;
}
