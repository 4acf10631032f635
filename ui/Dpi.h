#pragma once
// Laying the windows out for a monitor's DPI. The designed layout is the
// 96-DPI one: positions, sizes and font heights scale by DPI / 96, pictures
// by the largest whole factor that fits, so their pixels stay square.

#include <windows.h>

namespace dpi {

inline constexpr int kDesigned = 96;

// A designed length at this DPI: exactly the design's at 96.
inline int Scale(int designed, int dpi) { return MulDiv(designed, dpi, kDesigned); }
// How many times a picture's pixels grow: the largest whole factor within
// DPI / 96, at least 1 (1 up to 191 DPI, 2 from 192, ...).
inline int PictureFactor(int dpi) { return dpi / kDesigned > 1 ? dpi / kDesigned : 1; }

// The DPI of the monitor the window is on (the system's on Windows before 10).
int OfWindow(HWND window);
// Resizes the window so that its client area is width x height, keeping its
// place and its frame as the system draws it now.
void SetClientSize(HWND window, int width, int height);

}  // namespace dpi
