#include "ui/Fonts.h"

#include <cwchar>

namespace fonts {

namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;  // one match is enough
}

bool FaceInstalled(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

}  // namespace

std::wstring JapaneseFace() {
  // The designed face under its Japanese and English names, then the UI
  // faces that current Windows versions ship for Japanese, then a free face
  // common where the program runs under Wine.
  static constexpr const wchar_t* kFaces[] = {
      L"ＭＳ Ｐゴシック", L"MS PGothic", L"MS UI Gothic", L"Yu Gothic UI",
      L"Meiryo UI",      L"IPA Pゴシック", L"IPAPGothic",
  };
  for (const wchar_t* face : kFaces) {
    if (FaceInstalled(face)) return face;
  }
  return {};
}

HFONT CreateJapaneseFont(int pixelHeight) {
  LOGFONTW font{};
  font.lfHeight = -pixelHeight;  // negative: the character height, not the cell's
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  const std::wstring face = JapaneseFace();
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

}  // namespace fonts
