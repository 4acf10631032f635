// Laying out for a monitor's DPI: the designed 96-DPI numbers scale, the
// pictures grow by whole factors, and a move to a monitor of another DPI
// (WM_DPICHANGED) lays Form_Main out again in the suggested place.

#include "ui/Dpi.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/ControlIds.h"
#include "ui/Main.h"

namespace {

TEST(Dpi, LengthsScaleAndPicturesGrowByTheLargestWholeFactorThatFits) {
  // A button's face is its area within the two-pixel frame; the pictures
  // are 16 pixels square, the door 18.
  const struct {
    int dpi, width, height, item, picture, door;
  } cases[] = {{96, 33, 25, 16, 1, 1},  {120, 41, 31, 20, 1, 1}, {144, 50, 38, 24, 2, 1},
               {168, 58, 44, 28, 2, 2}, {192, 66, 50, 32, 2, 2}, {288, 99, 75, 48, 4, 3},
               {72, 25, 19, 12, 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(dpi::Scale(33, c.dpi), c.width);
    EXPECT_EQ(dpi::Scale(25, c.dpi), c.height);
    EXPECT_EQ(dpi::Scale(16, c.dpi), c.item);
    const SIZE face{c.width - 4, c.height - 4};
    EXPECT_EQ(dpi::PictureFactor({16, 16}, face), c.picture);
    EXPECT_EQ(dpi::PictureFactor({18, 18}, face), c.door);
    // The About window's icon fills its place, which is sized to it.
    EXPECT_EQ(dpi::PictureFactor({32, 32}, {dpi::Scale(32, c.dpi), dpi::Scale(32, c.dpi)}), c.dpi < 192 ? 1 : c.dpi / 96);
  }
  // Exactly fitting counts; a picture that never fits still shows once.
  EXPECT_EQ(dpi::PictureFactor({16, 16}, {32, 48}), 2);
  EXPECT_EQ(dpi::PictureFactor({16, 16}, {31, 48}), 1);
  EXPECT_EQ(dpi::PictureFactor({16, 16}, {8, 8}), 1);
  EXPECT_EQ(dpi::PictureFactor({0, 0}, {8, 8}), 1);
}

RECT PlaceInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST(Dpi, MainWindowFollowsAMoveToAnotherMonitor) {
  // Under Wine a window needs an X display, as for the end-to-end scenarios;
  // in CI its absence is a fault.
  if (std::getenv("WINEPREFIX") != nullptr && std::getenv("DISPLAY") == nullptr && std::getenv("CI") == nullptr) {
    GTEST_SKIP() << "no X display: run under xvfb-run";
  }
  HWND form = TForm_Main::Create(GetModuleHandleW(nullptr), SW_HIDE);
  ASSERT_NE(form, nullptr) << GetLastError();
  for (int dpi : {192, 144, 96}) {
    SCOPED_TRACE(dpi);
    // The system's suggestion keeps the frame's proportions only roughly.
    RECT suggested{40, 30, 40 + dpi::Scale(215, dpi), 30 + dpi::Scale(230, dpi)};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    RECT window, client;
    GetWindowRect(form, &window);
    GetClientRect(form, &client);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
    EXPECT_EQ(client.right, dpi::Scale(209, dpi));
    EXPECT_EQ(client.bottom, dpi::Scale(204, dpi));
    const RECT help = PlaceInParent(GetDlgItem(form, control_id::kPanelHelp));
    EXPECT_EQ(help.top, dpi::Scale(152, dpi));
    EXPECT_EQ(help.bottom - help.top, dpi::Scale(17, dpi));
    const RECT about = PlaceInParent(GetDlgItem(form, control_id::kBitBtnAbout));
    EXPECT_EQ(about.left, dpi::Scale(168, dpi));
    EXPECT_EQ(about.right - about.left, dpi::Scale(33, dpi));
    EXPECT_EQ(SendDlgItemMessageW(form, control_id::kListBoxGerne, LB_GETITEMHEIGHT, 0, 0), dpi::Scale(16, dpi));
  }
  DestroyWindow(form);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // posted by the window's end
}

}  // namespace
