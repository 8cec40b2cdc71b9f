// Windows side of display orientation: maps the display's DEVMODEW onto the three fields the
// decisions use and applies modified copies. Shell only; the decisions are portable.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "keywatch/display-orientation-rules.h"

namespace orvo {

inline constexpr wchar_t kProductSettingsPath[] = L"Software\\Orvotek\\Orvo Jumpdeck";
inline constexpr wchar_t kScreenRotateValue[] = L"ScreenRotate";

// Zeroes the record, sets dmSize (dmDriverExtra stays 0) and fills it with the current
// settings of the calling thread's display; false when Windows cannot report them.
bool ReadDisplayModeRecord(DEVMODEW& record);
DisplayMode DisplayModeFromRecord(const DEVMODEW& record);
// Only the three fields change; every other byte stays as it was read.
void StoreDisplayMode(DEVMODEW& record, const DisplayMode& mode);

// The platform the orientation decisions run on. Remembers the record it last read so that a
// change applies it with every other field untouched. settingsPath is below HKEY_CURRENT_USER.
class WinOrientationPlatform final : public OrientationPlatform {
public:
  explicit WinOrientationPlatform(std::wstring settingsPath = kProductSettingsPath);

  std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index) override;
  bool IsCommandType32SwitchOn() override;
  std::optional<std::vector<std::uint8_t>> ReadScreenRotateValue() override;
  std::optional<DisplayMode> ReadDisplayMode() override;
  void ApplyDisplayMode(const DisplayMode& mode) override;

private:
  std::wstring settingsPath_;
  DEVMODEW record_{};
  bool haveRecord_ = false;
};

}  // namespace orvo
