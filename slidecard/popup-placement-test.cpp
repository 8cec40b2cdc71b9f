// Placement of the popup for each taskbar edge and for a missing taskbar.
#include <gtest/gtest.h>

#include "slidecard/popup-placement.h"

namespace orvo {
namespace {

struct PlacementCase {
  const char* name;
  std::optional<PixelRect> taskbar;
  PixelPoint expected;
};

TEST(PopupPlacement, FollowsTheTaskbarEdge) {
  // A 1366 x 768 screen; a maximized window measures 1382 x 744 (work area plus frame) with a
  // 40-pixel taskbar along the bottom, 1342 x 784 along the right, and so on.
  const PixelRect desktop{0, 0, 1366, 768};
  const long cxm = 1300;
  const long cym = 700;
  const PlacementCase cases[] = {
      {"bottom", PixelRect{0, 728, 1366, 768}, {cxm - 267, cym - 113}},
      {"right", PixelRect{1306, 0, 1366, 768}, {cxm - 267, cym - 113}},
      {"left", PixelRect{0, 0, 60, 768}, {1366 - 267, cym - 113}},
      {"top", PixelRect{0, 0, 1366, 40}, {cxm - 267, 768 - 113}},
      // Taskbars that hang a few pixels off the screen (auto-hide, Wine's systray) still count
      // by which edge they touch.
      {"left, off screen", PixelRect{-2, -2, 60, 768}, {1366 - 267, cym - 113}},
      {"top, off screen", PixelRect{-2, -2, 1368, 40}, {cxm - 267, 768 - 113}},
      {"no taskbar", std::nullopt, {cxm - 267, cym - 113}},
  };
  for (const auto& c : cases) {
    const PixelPoint got = PlacePopup(desktop, c.taskbar, cxm, cym);
    EXPECT_EQ(got, c.expected) << c.name << ": got (" << got.x << ", " << got.y << ")";
  }
}

TEST(PopupPlacement, NoTaskbarOnAnotherScreenSizeStillUsesTheMaximizedSize) {
  const PixelPoint got = PlacePopup(PixelRect{0, 0, 800, 600}, std::nullopt, 808, 608);
  EXPECT_EQ(got, (PixelPoint{808 - 267, 608 - 113})) << "(" << got.x << ", " << got.y << ")";
}

}  // namespace
}  // namespace orvo
