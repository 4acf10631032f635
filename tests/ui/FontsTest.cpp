// The windows' fonts: a Japanese face at the designed character heights.

#include "ui/Fonts.h"

#include <gtest/gtest.h>

namespace {

TEST(Fonts, AJapaneseFaceIsFound) {
  // Where the designed face is missing (as under Wine), one of the fallbacks.
  EXPECT_FALSE(fonts::JapaneseFace().empty());
}

TEST(Fonts, CharactersHaveTheDesignedPixelHeight) {
  HDC screen = GetDC(nullptr);
  for (int height : {11, 12, 13, 16, 32}) {
    SCOPED_TRACE(height);
    HFONT font = fonts::CreateJapaneseFont(height);
    ASSERT_NE(font, nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, old);
    DeleteObject(font);
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, height);
    EXPECT_EQ(metrics.tmCharSet, SHIFTJIS_CHARSET);
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace
