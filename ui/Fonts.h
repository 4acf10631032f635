#pragma once
// The windows' fonts: "ＭＳ Ｐゴシック" at the designed pixel heights, or the
// system's Japanese UI font where that face is missing.

#include <windows.h>

#include <string>

namespace fonts {

// The first installed face of the preferred list, or an empty name, which
// lets the font mapper pick a Japanese face for the Shift-JIS character set.
std::wstring JapaneseFace();

// A font whose characters are pixelHeight pixels high. The caller owns it.
HFONT CreateJapaneseFont(int pixelHeight);

}  // namespace fonts
