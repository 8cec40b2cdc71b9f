// Windows side of button actions: the Event tree in the user's registry, program starts, the
// touch keyboard and the one failure report. Shell only; the decisions are portable.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "keywatch/button-actions-rules.h"

namespace orvo {

inline constexpr wchar_t kTouchKeyboardPath[] = L"C:\\Program Files\\Common Files\\microsoft shared\\ink\\Tabtip.exe";
inline constexpr wchar_t kTouchKeyboardClass[] = L"IPTip_Main_Window";
// A hung keyboard window must not hold the message service for good.
inline constexpr UINT kTouchKeyboardCloseTimeoutMs = 5000;

// eventRootPath is below HKEY_CURRENT_USER; tests pass a private key.
class WinActionPlatform final : public ActionPlatform {
public:
  explicit WinActionPlatform(std::wstring eventRootPath = kEventRootPath);

  bool EventRootExists() override;
  void WriteDefaultEntry(const DefaultEntry& entry) override;
  std::unique_ptr<ButtonKey> OpenButtonKey(const std::wstring& keyPath) override;
  void StartApplication(const std::wstring& commandLine) override;
  void ShowTouchKeyboard() override;
  void CloseTouchKeyboard() override;
  void ReportRegistryWriteFail() override;

private:
  std::wstring eventRootPath_;
};

}  // namespace orvo
