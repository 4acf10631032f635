#include "ui/PictureMaps.h"

#include <cstring>

namespace pictures {

bool PaletteColour(char code, Rgb& colour) {
  switch (code) {
    case '.': colour = kTransparent; return true;
    case 'K': colour = {0, 0, 0}; return true;
    case 'm': colour = {128, 0, 0}; return true;
    case 'g': colour = {0, 128, 0}; return true;
    case 'n': colour = {0, 0, 128}; return true;
    case 'p': colour = {128, 0, 128}; return true;
    case 't': colour = {0, 128, 128}; return true;
    case 'd': colour = {128, 128, 128}; return true;
    case 's': colour = {192, 192, 192}; return true;
    case 'R': colour = {255, 0, 0}; return true;
    case 'G': colour = {0, 255, 0}; return true;
    case 'Y': colour = {255, 255, 0}; return true;
    case 'B': colour = {0, 0, 255}; return true;
    case 'F': colour = {255, 0, 255}; return true;
    case 'C': colour = {0, 255, 255}; return true;
    case 'W': colour = {255, 255, 255}; return true;
    default: return false;
  }
}

bool IsWellFormed(const PixelMap& map) {
  for (int y = 0; y < map.height; ++y) {
    const char* row = map.rows[y];
    if (row == nullptr || std::strlen(row) != static_cast<std::size_t>(map.width)) return false;
    Rgb unused;
    for (int x = 0; x < map.width; ++x) {
      if (!PaletteColour(row[x], unused)) return false;
    }
  }
  return true;
}

namespace {

Rgb GreyOf(Rgb c) {
  const auto level = static_cast<std::uint8_t>((c.r * 30 + c.g * 59 + c.b * 11) / 100);
  return {level, level, level};
}

}  // namespace

std::vector<Rgb> Render(const PixelMap& map, Look look, Rgb shadow, Rgb highlight) {
  const int w = map.width;
  std::vector<Rgb> pixels(static_cast<std::size_t>(w) * map.height, kTransparent);
  auto at = [&](int x, int y) -> Rgb& { return pixels[static_cast<std::size_t>(y) * w + x]; };
  auto opaque = [&](int x, int y) { return map.rows[y][x] != '.'; };

  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!opaque(x, y)) continue;
      Rgb colour;
      PaletteColour(map.rows[y][x], colour);
      switch (look) {
        case Look::kColour: at(x, y) = colour; break;
        case Look::kGrey: at(x, y) = GreyOf(colour); break;
        case Look::kGeneratedDisabled:
          // The shifted highlight first, so the shape drawn next covers it.
          if (x + 1 < w && y + 1 < map.height && !opaque(x + 1, y + 1)) at(x + 1, y + 1) = highlight;
          break;
      }
    }
  }
  if (look == Look::kGeneratedDisabled) {
    for (int y = 0; y < map.height; ++y) {
      for (int x = 0; x < w; ++x) {
        if (opaque(x, y)) at(x, y) = shadow;
      }
    }
  }
  return pixels;
}

}  // namespace pictures
