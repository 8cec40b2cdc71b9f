// Orientation decisions; see display-orientation-rules.h. Each operation starts from the mode
// in force and ends, if anything changes, by applying a modified copy of it.
#include "keywatch/display-orientation-rules.h"

namespace orvo {

namespace {

// The mask bit that allows each target orientation.
constexpr std::uint8_t MaskBitFor(int orientation) { return static_cast<std::uint8_t>(1u << orientation); }

bool WantsPortrait(int target) { return target == 1 || target == 3; }

}  // namespace

bool ReadScreenRotate(OrientationPlatform& platform) {
  const auto value = platform.ReadScreenRotateValue();
  return value && !value->empty() && (*value)[0] == 1;
}

std::uint8_t ReadOrientationMask(OrientationPlatform& platform) {
  return platform.QueryDataByte(kOrientationMaskCode, kOrientationMaskIndex).value_or(kAbsentOrientationMask);
}

bool ReadOrientationBit(OrientationPlatform& platform) {
  const auto byte = platform.QueryDataByte(kOrientationBitCode, kOrientationBitIndex);
  return byte && (*byte & kOrientationBit) != 0;
}

void ApplyOrientationBit(OrientationPlatform& platform) {
  const bool bitSet = ReadOrientationBit(platform);
  auto mode = platform.ReadDisplayMode();
  if (!mode) {
    return;
  }
  switch (mode->orientation) {
    case 0:
      if (!bitSet) return;
      mode->orientation = 2;
      break;
    case 2:
      if (bitSet) return;
      mode->orientation = 0;
      break;
    default:
      // A portrait mode: leaving it for either landscape orientation needs the other aspect.
      ExchangeWidthAndHeight(*mode);
      mode->orientation = bitSet ? 2 : 0;
      break;
  }
  platform.ApplyDisplayMode(*mode);
}

void RotateDisplay(OrientationPlatform& platform, int target) {
  if (target < 0 || target > 3) {
    return;
  }
  // Each refresh runs only when the previous step let the request through.
  if ((ReadOrientationMask(platform) & MaskBitFor(target)) == 0) return;
  if (ReadScreenRotate(platform)) return;
  if (platform.IsCommandType32SwitchOn()) return;
  auto mode = platform.ReadDisplayMode();
  if (!mode) return;
  if (WantsPortrait(target) ? mode->height < mode->width : mode->height > mode->width) {
    ExchangeWidthAndHeight(*mode);
  }
  // Applied even when the display already has this orientation.
  mode->orientation = static_cast<std::uint32_t>(target);
  platform.ApplyDisplayMode(*mode);
}

void EnforceOrientationMask(OrientationPlatform& platform) {
  const std::uint8_t mask = ReadOrientationMask(platform);
  if (mask == 0) return;
  if (!ReadOrientationBit(platform)) return;
  auto mode = platform.ReadDisplayMode();
  if (!mode) return;
  switch (mode->orientation) {
    case 1:
    case 3:
      if (mask & MaskBitFor(static_cast<int>(mode->orientation))) return;
      ExchangeWidthAndHeight(*mode);
      break;
    case 2:
      if (mask & MaskBitFor(2)) return;
      break;
    default:
      // Orientation 0 is where a refused mode returns to; it is never tested against the mask.
      return;
  }
  mode->orientation = 0;
  platform.ApplyDisplayMode(*mode);
}

}  // namespace orvo
