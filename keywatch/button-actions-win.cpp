// Windows shell of button actions; the window procedure routes wparam 2 and 3 here. Keys are
// opened afresh on every press because other programs may change the tree at any time.
#include "keywatch/button-actions-win.h"

#include <shellapi.h>

#include "common/registry-win.h"
#include "keywatch/button-actions.h"
#include "keywatch/start-application-win.h"

namespace orvo {

namespace {

constexpr REGSAM kButtonKeyAccess = KEY_READ | KEY_SET_VALUE;

class WinButtonKey final : public ButtonKey {
public:
  explicit WinButtonKey(ScopedKey key) : key_(std::move(key)) {}

  std::optional<std::wstring> ReadString(const std::wstring& name) override {
    return ReadStringValue(key_.get(), name);
  }

  std::optional<std::uint32_t> ReadShow() override {
    // Any type, at most four bytes: longer data does not fit and counts as missing.
    std::uint8_t data[4] = {};
    DWORD size = sizeof(data);
    if (::RegQueryValueExW(key_.get(), kShowValue, nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return DecodeShowValue(data, size);
  }

  bool WriteShow(std::uint32_t value) override { return WriteDwordValue(key_.get(), kShowValue, value); }

private:
  ScopedKey key_;
};

}  // namespace

WinActionPlatform::WinActionPlatform(std::wstring eventRootPath) : eventRootPath_(std::move(eventRootPath)) {}

bool WinActionPlatform::EventRootExists() {
  return static_cast<bool>(OpenKey(HKEY_CURRENT_USER, eventRootPath_, kButtonKeyAccess));
}

void WinActionPlatform::WriteDefaultEntry(const DefaultEntry& entry) {
  const ScopedKey key = CreateKey(HKEY_CURRENT_USER, eventRootPath_ + L"\\" + entry.keyPath, kButtonKeyAccess);
  if (!key) {
    return;
  }
  for (const DefaultValue& value : entry.values) {
    if (const auto* text = std::get_if<std::wstring>(&value.data)) {
      WriteStringValue(key.get(), value.name, *text);
    } else {
      WriteDwordValue(key.get(), value.name, std::get<std::uint32_t>(value.data));
    }
  }
}

std::unique_ptr<ButtonKey> WinActionPlatform::OpenButtonKey(const std::wstring& keyPath) {
  ScopedKey key = OpenKey(HKEY_CURRENT_USER, eventRootPath_ + L"\\" + keyPath, kButtonKeyAccess);
  if (!key) {
    return nullptr;
  }
  return std::make_unique<WinButtonKey>(std::move(key));
}

void WinActionPlatform::StartApplication(const std::wstring& commandLine) { orvo::StartApplication(commandLine); }

void WinActionPlatform::ShowTouchKeyboard() {
  ::ShellExecuteW(nullptr, L"open", kTouchKeyboardPath, nullptr, nullptr, SW_SHOWNORMAL);
}

void WinActionPlatform::CloseTouchKeyboard() {
  const HWND keyboard = ::FindWindowW(kTouchKeyboardClass, nullptr);
  if (!keyboard) {
    return;
  }
  // SMTO_NORMAL keeps serving sends to the message window while waiting, as a plain send does.
  ::SendMessageTimeoutW(keyboard, WM_SYSCOMMAND, SC_CLOSE, static_cast<LPARAM>(-1), SMTO_NORMAL,
                        kTouchKeyboardCloseTimeoutMs, nullptr);
}

void WinActionPlatform::ReportRegistryWriteFail() {
  ::MessageBoxW(nullptr, L"Registry Write Fail", L"Debug", MB_OK);
}

}  // namespace orvo

void RunButtonAction(int kind, std::uint32_t number) {
  orvo::WinActionPlatform platform;
  orvo::RunButtonAction(platform, kind, number);
}
