#include "ui/Pictures.h"

#include <cstdint>

namespace {

pictures::Rgb RgbOf(COLORREF c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace

Picture::Picture(const pictures::PixelMap& map, pictures::Look look, int factor)
    : width_(map.width * factor), height_(map.height * factor) {
  const auto pixels = pictures::Render(map, look, RgbOf(GetSysColor(COLOR_BTNSHADOW)),
                                       RgbOf(GetSysColor(COLOR_BTNHIGHLIGHT)));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // rows from the top, like the map
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr) return;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const pictures::Rgb& p = pixels[static_cast<std::size_t>(y / factor) * map.width + x / factor];
      *out++ = (p.r << 16) | (p.g << 8) | p.b;
    }
  }
}

Picture::~Picture() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void Picture::Draw(HDC dc, int x, int y) const {
  if (bitmap_ == nullptr) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap_);
  const pictures::Rgb key = pictures::kTransparent;
  TransparentBlt(dc, x, y, width_, height_, source, 0, 0, width_, height_, RGB(key.r, key.g, key.b));
  SelectObject(source, old);
  DeleteDC(source);
}
