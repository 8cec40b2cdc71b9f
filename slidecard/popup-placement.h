// Where the popup goes: beside the taskbar, in the bottom-right corner of the work area.
// Pure arithmetic on rectangles that the shell gathers; pixels, screen coordinates.
#pragma once

#include <optional>

namespace orvo {

struct PixelRect {
  long left = 0;
  long top = 0;
  long right = 0;
  long bottom = 0;
  bool operator==(const PixelRect&) const = default;
};

struct PixelPoint {
  long x = 0;
  long y = 0;
  bool operator==(const PixelPoint&) const = default;
};

inline constexpr long kPopupWidth = 250;
inline constexpr long kPopupHeight = 96;
inline constexpr long kPopupOffsetLeft = 267;
inline constexpr long kPopupOffsetUp = 113;

// `desktop` is the primary screen, `taskbar` the "Shell_TrayWnd" window rectangle when one
// exists, `maximized` the size of a maximized window (SM_CXMAXIMIZED, SM_CYMAXIMIZED).
// Without a taskbar the popup goes where a bottom taskbar would put it.
PixelPoint PlacePopup(const PixelRect& desktop, const std::optional<PixelRect>& taskbar,
                      long maximizedWidth, long maximizedHeight);

}  // namespace orvo
