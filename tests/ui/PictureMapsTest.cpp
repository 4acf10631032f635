// The pictures' pixel maps and how they are drawn.

#include "ui/PictureMaps.h"

#include <gtest/gtest.h>

namespace {

using pictures::Look;
using pictures::PixelMap;
using pictures::Rgb;

struct Named {
  const char* name;
  const PixelMap* map;
  int size;
};
const Named kMaps[] = {
    {"file open", &pictures::kFileOpen, 16}, {"decode 1", &pictures::kDecode1, 16},
    {"decode 2", &pictures::kDecode2, 16},   {"quit", &pictures::kQuit, 18},
    {"about", &pictures::kAbout, 16},        {"icon", &pictures::kIcon, 32},
};

TEST(PictureMaps, HaveTheirSizesAndUsePaletteCharactersOnly) {
  for (const Named& m : kMaps) {
    SCOPED_TRACE(m.name);
    EXPECT_EQ(m.map->width, m.size);
    EXPECT_EQ(m.map->height, m.size);
    EXPECT_TRUE(pictures::IsWellFormed(*m.map));
  }
}

TEST(PictureMaps, OliveIsTheTransparentColour) {
  Rgb olive;
  ASSERT_TRUE(pictures::PaletteColour('.', olive));
  EXPECT_EQ(olive, (Rgb{128, 128, 0}));
  EXPECT_EQ(pictures::kTransparent, olive);
  Rgb unused;
  EXPECT_FALSE(pictures::PaletteColour('?', unused));
}

TEST(PictureMaps, IsWellFormedRejectsRaggedRowsAndUnknownColours) {
  const char* ragged[] = {"..", "."};
  EXPECT_FALSE(pictures::IsWellFormed(PixelMap{2, 2, ragged}));
  const char* unknown[] = {".x", ".."};
  EXPECT_FALSE(pictures::IsWellFormed(PixelMap{2, 2, unknown}));
}

const char* kTiny[] = {
    "R.",
    "..",
};
const PixelMap kTinyMap{2, 2, kTiny};

TEST(PictureMaps, ColourLookKeepsColoursAndTransparency) {
  const auto pixels = pictures::Render(kTinyMap, Look::kColour);
  EXPECT_EQ(pixels[0], (Rgb{255, 0, 0}));
  EXPECT_EQ(pixels[1], pictures::kTransparent);
  EXPECT_EQ(pixels[3], pictures::kTransparent);
}

TEST(PictureMaps, GreyLookKeepsBrightnessAndTransparency) {
  const auto pixels = pictures::Render(kTinyMap, Look::kGrey);
  EXPECT_EQ(pixels[0].r, pixels[0].g);
  EXPECT_EQ(pixels[0].g, pixels[0].b);
  EXPECT_EQ(pixels[0].r, 76);  // red's brightness
  EXPECT_EQ(pixels[1], pictures::kTransparent);
}

TEST(PictureMaps, GeneratedDisabledLookIsShadowOverShiftedHighlight) {
  const Rgb shadow{1, 2, 3}, highlight{4, 5, 6};
  const auto pixels = pictures::Render(kTinyMap, Look::kGeneratedDisabled, shadow, highlight);
  EXPECT_EQ(pixels[0], shadow);
  EXPECT_EQ(pixels[1], pictures::kTransparent);
  EXPECT_EQ(pixels[2], pictures::kTransparent);
  EXPECT_EQ(pixels[3], highlight);
}

}  // namespace
