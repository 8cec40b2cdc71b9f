// WM_KEYWATCH handling on Windows: the dispatch table's calls routed to the command channel,
// the button actions, display orientation and the two fixed program launches.
#include <windows.h>
#include <shellapi.h>

#include "keywatch/button-actions.h"
#include "keywatch/command-channel.h"
#include "keywatch/display-orientation.h"
#include "keywatch/keywatch-protocol.h"
#include "keywatch/keywatch-state-win.h"
#include "keywatch/message-window-win.h"

namespace {

constexpr wchar_t kAdapterWarningPath[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\adaptalert.exe";
constexpr wchar_t kMediaCentrePath[] = L"C:\\Program Files\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe";
constexpr wchar_t kMediaCentrePathX86[] = L"C:\\Program Files (x86)\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe";

void Open(const wchar_t* path, const wchar_t* parameters) {
  ::ShellExecuteW(nullptr, L"open", path, parameters, nullptr, SW_SHOWNORMAL);
}

class WindowHost final : public KeywatchHost {
public:
  explicit WindowHost(HWND window) : window_(window) {}
  void SendSelf(std::uint32_t wparam, std::uint32_t lparam) override {
    ::SendMessageW(window_, KeywatchMessageId(), wparam, static_cast<LPARAM>(lparam));
  }
  void ApplyOrientationBit() override { ::ApplyOrientationBit(); }
  void RotateDisplay(int target) override { ::RotateDisplay(target); }
  void RunButtonAction(int kind, std::uint32_t number) override { ::RunButtonAction(kind, number); }
  void LaunchAdapterWarning() override { ::LaunchAdapterWarning(); }
  void LaunchMediaCentre() override { ::LaunchMediaCentre(); }
  std::optional<std::uint8_t> QueryDataByte(DataRefresh refresh) override {
    return ::QueryDataByte(refresh.code, refresh.index);
  }
  void RefreshDataValue(DataRefresh refresh) override { ::RefreshDataValue(refresh.code, refresh.index); }
  void SendControlCode(std::uint32_t code) override { ::SendControlCode(code); }
  void RunExchange(std::uint32_t code, Disposition disposition) override { ::RunExchange(code, disposition); }
  bool IsCommandType32SwitchOn() override { return ::IsCommandType32SwitchOn(); }

private:
  HWND window_;
};

}  // namespace

void HandleKeywatchMessage(HWND window, WPARAM wparam, LPARAM lparam) {
  WindowHost host(window);
  // Both parameters are 32-bit values on the wire, whatever the width of WPARAM/LPARAM.
  HandleKeywatchRequest(host, static_cast<std::uint32_t>(wparam), static_cast<std::uint32_t>(lparam));
}

void RunResumeFromSleep(HWND window) {
  WindowHost host(window);
  RunResumeExchange(host);
}

void LaunchAdapterWarning() { Open(kAdapterWarningPath, nullptr); }

void LaunchMediaCentre() {
  Open(kMediaCentrePath, L"chromeless");
  Open(kMediaCentrePathX86, L"chromeless");
}
