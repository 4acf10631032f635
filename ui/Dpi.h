#pragma once
// Laying the windows out for a monitor's DPI. The designed layout is the
// 96-DPI one: positions, sizes and font heights scale by DPI / 96, pictures
// by the largest whole factor at which they fit their place, so their pixels
// stay square.

#include <windows.h>

namespace dpi {

inline constexpr int kDesigned = 96;

// A designed length at this DPI: exactly the design's at 96.
inline int Scale(int designed, int dpi) { return MulDiv(designed, dpi, kDesigned); }
// How many times a picture's pixels grow: the largest whole factor at which
// the picture fits inside room, at least 1. (A 16-pixel picture in a button
// face of 46 x 34 pixels, 150 %, grows twice.)
inline int PictureFactor(SIZE picture, SIZE room) {
  int factor = 1;
  if (picture.cx <= 0 || picture.cy <= 0) return factor;
  while (picture.cx * (factor + 1) <= room.cx && picture.cy * (factor + 1) <= room.cy) ++factor;
  return factor;
}

// The DPI of the monitor the window is on (the system's on Windows before 10).
int OfWindow(HWND window);
// Resizes the window so that its client area is width x height, keeping its
// place and its frame as the system draws it now.
void SetClientSize(HWND window, int width, int height);

}  // namespace dpi
