#pragma once
// The button pictures as bitmaps, made from the text pixel maps at start.

#include <windows.h>

#include "ui/PictureMaps.h"

class Picture {
 public:
  // The generated disabled look takes the system's shadow and highlight.
  // Each pixel of the map becomes factor x factor pixels (nearest neighbour).
  Picture(const pictures::PixelMap& map, pictures::Look look, int factor = 1);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws the picture with its olive pixels left out.
  void Draw(HDC dc, int x, int y) const;

 private:
  HBITMAP bitmap_ = nullptr;
  int width_;
  int height_;
};
