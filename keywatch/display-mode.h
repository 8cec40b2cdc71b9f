// The part of a display mode that orientation decisions read and change. Everything else a
// display mode holds stays with the Windows shell, which applies it exactly as it read it.
#pragma once

#include <cstdint>

namespace orvo {

// Orientation 0..3 as Windows numbers it (DMDO_DEFAULT, DMDO_90, DMDO_180, DMDO_270); other
// values are carried through untouched.
struct DisplayMode {
  std::uint32_t orientation = 0;
  std::uint32_t width = 0;
  std::uint32_t height = 0;

  friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

inline void ExchangeWidthAndHeight(DisplayMode& mode) {
  const std::uint32_t width = mode.width;
  mode.width = mode.height;
  mode.height = width;
}

}  // namespace orvo
