// Button and hotkey decisions; see button-actions-rules.h. The launcher never decides by the
// button's number: it only looks the number up in the Event tree.
#include "keywatch/button-actions-rules.h"

namespace orvo {

namespace {

constexpr wchar_t kProductFolder[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\";

DefaultEntry ProgramEntry(std::wstring keyPath, std::wstring path, std::wstring actionName) {
  return {std::move(keyPath),
          {{kApplicationPathValue, std::move(path)}, {kActionNameValue, std::move(actionName)}}};
}

DefaultEntry KeyboardEntry(std::wstring keyPath) {
  return {std::move(keyPath), {{kShowValue, std::uint32_t{0}}, {kActionNameValue, std::wstring(kVirtualKeyboardAction)}}};
}

}  // namespace

const std::vector<DefaultEntry>& DefaultEvents() {
  static const std::vector<DefaultEntry> entries = [] {
    const std::wstring folder = kProductFolder;
    return std::vector<DefaultEntry>{
        ProgramEntry(L"Bezel Button\\8553", folder + L"rotor.exe", L"Screen Rotate"),
        KeyboardEntry(L"Bezel Button\\8554"),
        ProgramEntry(L"Bezel Button\\8604", folder + L"Resono.exe", L"Resono"),
        ProgramEntry(L"Bezel Button\\8605", folder + L"rotor.exe", L"Screen Rotate"),
        ProgramEntry(L"Bezel Button\\8606", L"C:\\Program Files\\Windows Media Player\\wmplayer.exe", L"Home"),
        KeyboardEntry(L"Bezel Button\\8607"),
        ProgramEntry(L"HotKey\\0305", folder + L"specsheet.exe", L"System Information"),
        ProgramEntry(L"HotKey\\8604", folder + L"Resono.exe", L"Resono"),
    };
  }();
  return entries;
}

std::wstring ButtonKeyName(std::uint32_t number) {
  std::wstring digits = std::to_wstring(number);
  if (digits.size() < 4) {
    digits.insert(0, 4 - digits.size(), L'0');
  }
  return digits;
}

std::optional<std::wstring> ButtonKeyPath(int kind, std::uint32_t number) {
  switch (kind) {
    case kBezelButton: return L"Bezel Button\\" + ButtonKeyName(number);
    case kHotKey: return L"HotKey\\" + ButtonKeyName(number);
    default: return std::nullopt;
  }
}

std::optional<std::uint32_t> DecodeShowValue(const std::uint8_t* data, std::size_t size) {
  if (size > 4) {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(data[i]) << (8 * i);
  }
  return value;
}

void EnsureDefaultEvents(ActionPlatform& platform) {
  if (platform.EventRootExists()) {
    return;
  }
  for (const DefaultEntry& entry : DefaultEvents()) {
    platform.WriteDefaultEntry(entry);
  }
}

void ToggleVirtualKeyboard(ActionPlatform& platform, ButtonKey& key) {
  const auto show = key.ReadShow();
  if (!show) {
    return;
  }
  // The toggle trusts "Show", not the keyboard window's real state.
  if (*show == 0) {
    if (key.WriteShow(1)) {
      platform.ShowTouchKeyboard();
    } else {
      platform.ReportRegistryWriteFail();
    }
  } else if (key.WriteShow(0)) {
    platform.CloseTouchKeyboard();
  }
}

void RunButtonAction(ActionPlatform& platform, int kind, std::uint32_t number) {
  EnsureDefaultEvents(platform);
  const auto path = ButtonKeyPath(kind, number);
  if (!path) {
    return;
  }
  const auto key = platform.OpenButtonKey(*path);
  if (!key) {
    return;
  }
  // Exact, case-sensitive text: "virtual keyboard" is an ordinary program action.
  const auto actionName = key->ReadString(kActionNameValue);
  if (actionName && *actionName == kVirtualKeyboardAction) {
    ToggleVirtualKeyboard(platform, *key);
    return;
  }
  if (const auto commandLine = key->ReadString(kApplicationPathValue)) {
    platform.StartApplication(*commandLine);
  }
}

}  // namespace orvo
