// Windows shell of display orientation: the command channel, "ScreenRotate" and the display
// settings calls. The window procedure routes event 1, rotation requests and WM_DISPLAYCHANGE
// here.
#include "keywatch/display-orientation-win.h"

#include "common/registry-win.h"
#include "keywatch/command-channel.h"
#include "keywatch/display-orientation.h"

namespace orvo {

bool ReadDisplayModeRecord(DEVMODEW& record) {
  ZeroMemory(&record, sizeof(record));
  record.dmSize = sizeof(record);
  return ::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &record) != FALSE;
}

DisplayMode DisplayModeFromRecord(const DEVMODEW& record) {
  return {record.dmDisplayOrientation, record.dmPelsWidth, record.dmPelsHeight};
}

void StoreDisplayMode(DEVMODEW& record, const DisplayMode& mode) {
  record.dmDisplayOrientation = mode.orientation;
  record.dmPelsWidth = mode.width;
  record.dmPelsHeight = mode.height;
}

WinOrientationPlatform::WinOrientationPlatform(std::wstring settingsPath) : settingsPath_(std::move(settingsPath)) {}

std::optional<std::uint8_t> WinOrientationPlatform::QueryDataByte(std::uint32_t code, std::uint32_t index) {
  return ::QueryDataByte(code, index);
}

bool WinOrientationPlatform::IsCommandType32SwitchOn() { return ::IsCommandType32SwitchOn(); }

std::optional<std::vector<std::uint8_t>> WinOrientationPlatform::ReadScreenRotateValue() {
  const ScopedKey key = OpenKey(HKEY_CURRENT_USER, settingsPath_, KEY_READ | KEY_SET_VALUE);
  if (!key) {
    return std::nullopt;
  }
  return ReadBinaryValue(key.get(), kScreenRotateValue);
}

std::optional<DisplayMode> WinOrientationPlatform::ReadDisplayMode() {
  haveRecord_ = ReadDisplayModeRecord(record_);
  if (!haveRecord_) {
    return std::nullopt;
  }
  return DisplayModeFromRecord(record_);
}

void WinOrientationPlatform::ApplyDisplayMode(const DisplayMode& mode) {
  if (!haveRecord_) {
    return;
  }
  DEVMODEW record = record_;
  StoreDisplayMode(record, mode);
  // Takes effect at once and is not stored in the user's display settings; a refusal is not
  // acted on.
  ::ChangeDisplaySettingsW(&record, 0);
}

}  // namespace orvo

void ApplyOrientationBit() {
  orvo::WinOrientationPlatform platform;
  orvo::ApplyOrientationBit(platform);
}

void RotateDisplay(int target) {
  orvo::WinOrientationPlatform platform;
  orvo::RotateDisplay(platform, target);
}

void EnforceOrientationMask() {
  orvo::WinOrientationPlatform platform;
  orvo::EnforceOrientationMask(platform);
}
