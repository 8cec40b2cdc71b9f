// Orientation decisions for firmware event 1, the four rotation requests and display
// changes: which firmware values are refreshed, in which order, where each stops and which
// mode is applied. Platform access goes through OrientationPlatform; no state is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "keywatch/display-mode.h"

namespace orvo {

// What the decisions need from the machine. The Windows shell implements it over the command
// channel, the registry and the display settings; tests fake it in memory. All calls run on
// the message window's thread.
class OrientationPlatform {
public:
  virtual ~OrientationPlatform() = default;
  // Refreshes one Data value through its control code and returns its first byte; nullopt
  // when the value is absent.
  virtual std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index) = 0;
  // The CommandType32 switch, refreshed through its control code.
  virtual bool IsCommandType32SwitchOn() = 0;
  // The user's "ScreenRotate" value as REG_BINARY data; nullopt when absent or of another type.
  virtual std::optional<std::vector<std::uint8_t>> ReadScreenRotateValue() = 0;
  // The display's current mode; nullopt when Windows cannot report it.
  virtual std::optional<DisplayMode> ReadDisplayMode() = 0;
  // Applies the last mode read with these three fields replaced. Failures are not reported.
  virtual void ApplyDisplayMode(const DisplayMode& mode) = 0;
};

inline constexpr std::uint32_t kOrientationBitCode = 143;   // CommandType04
inline constexpr std::uint32_t kOrientationBitIndex = 4;
inline constexpr std::uint8_t kOrientationBit = 0x04;
inline constexpr std::uint32_t kOrientationMaskCode = 147;  // CommandType26
inline constexpr std::uint32_t kOrientationMaskIndex = 38;
inline constexpr std::uint8_t kAbsentOrientationMask = 0xFF;

// True only for REG_BINARY data whose first byte is 1.
bool ReadScreenRotate(OrientationPlatform& platform);
// The orientation mask (147 exchange); 0xFF when absent.
std::uint8_t ReadOrientationMask(OrientationPlatform& platform);
// Bit 0x04 of CommandType04 (143 exchange); absent counts as clear.
bool ReadOrientationBit(OrientationPlatform& platform);

// Firmware event 1.
void ApplyOrientationBit(OrientationPlatform& platform);
// A rotation request to orientation 0..3; any other target does nothing.
void RotateDisplay(OrientationPlatform& platform, int target);
// A display change reported by Windows.
void EnforceOrientationMask(OrientationPlatform& platform);

}  // namespace orvo
