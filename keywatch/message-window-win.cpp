// The message window: a hidden, transparent, never-activated popup that exists only to
// receive messages. Creation waits for fwbridge and runs the startup work before it returns.
#include <windows.h>
#include <wtsapi32.h>

#include "keywatch/command-channel.h"
#include "keywatch/creation-sequence.h"
#include "keywatch/display-orientation.h"
#include "keywatch/event-listener-win.h"
#include "keywatch/fwbridge-service.h"
#include "keywatch/keywatch-protocol.h"
#include "keywatch/keywatch-state-win.h"
#include "keywatch/message-window-win.h"
#include "keywatch/padlink.h"

namespace {

class WindowCreation final : public CreationHost {
public:
  explicit WindowCreation(HWND window) : window_(window) {}
  void RegisterSessionNotifications() override { ::WTSRegisterSessionNotification(window_, NOTIFY_FOR_THIS_SESSION); }
  ServiceProbe ProbeService() override { return ProbeFwbridge(); }
  void Pause(std::uint32_t ms) override { ::Sleep(ms); }
  void RunStartupSequence() override { ::RunStartupSequence(); }
  void StartKeyboardControl() override { PadlinkStart(); }
  void StartListener() override {
    // Nobody joins the listener: it ends on the stop flag or with the process.
    const HANDLE thread = ::CreateThread(nullptr, 0, RunEventListener, nullptr, 0, nullptr);
    if (thread) ::CloseHandle(thread);
  }
  void SendAdapterCheck() override {
    ::SendMessageW(window_, KeywatchMessageId(), kKindFirmwareEvent, kEventAdapterCheck);
  }

private:
  HWND window_;
};

LRESULT OnCreate(HWND window) {
  gMessageWindow.store(window);
  WindowCreation host(window);
  RunCreationHandling(host, gListenerStop);
  return 0;
}

LRESULT OnDestroy(HWND window) {
  ::WTSUnRegisterSessionNotification(window);
  PadlinkStop();
  ::PostQuitMessage(0);
  return 0;
}

LRESULT OnPaint(HWND window) {
  PAINTSTRUCT paint = {};
  ::BeginPaint(window, &paint);
  ::EndPaint(window, &paint);
  return 0;
}

LRESULT OnDisplayChange() {
  EnforceOrientationMask();
  return 0;
}

LRESULT OnCommand(HWND window, WPARAM wparam, LPARAM lparam) {
  switch (ReactToCommand(static_cast<std::uint32_t>(wparam))) {
    case CommandReaction::Ignore: return 0;
    case CommandReaction::Exit:
      gListenerStop.store(true);
      ::DestroyWindow(window);
      return 0;
    case CommandReaction::Default: break;
  }
  return ::DefWindowProcW(window, WM_COMMAND, wparam, lparam);
}

LRESULT OnPowerBroadcast(HWND window, WPARAM wparam) {
  // Not gated: a resume while locked still clears the pending button; its dispatch is gated.
  if (IsResumeBroadcast(static_cast<std::uint32_t>(wparam))) RunResumeFromSleep(window);
  return 0;
}

LRESULT OnSessionChange(HWND window, WPARAM wparam) {
  switch (ReactToSessionChange(static_cast<std::uint32_t>(wparam))) {
    case SessionReaction::Activate:
      gSessionActive.store(true);
      ::SendMessageW(window, KeywatchMessageId(), kKindFirmwareEvent, kEventAdapterCheck);
      break;
    case SessionReaction::Deactivate: gSessionActive.store(false); break;
    case SessionReaction::None: break;
  }
  return 0;
}

LRESULT OnKeywatch(HWND window, WPARAM wparam, LPARAM lparam) {
  if (gSessionActive.load()) HandleKeywatchMessage(window, wparam, lparam);
  return ::DefWindowProcW(window, KeywatchMessageId(), wparam, lparam);
}

}  // namespace

void RegisterMessageWindowClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW windowClass = {sizeof(windowClass)};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MessageWindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hIconSm = windowClass.hIcon;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  windowClass.lpszClassName = className;
  ::RegisterClassExW(&windowClass);
}

bool CreateMessageWindow(HINSTANCE instance, const wchar_t* className) {
  const HWND window = ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED, className, L"Orvo Message Service",
                                        WS_POPUP, 0, 0, 480, 60, nullptr, nullptr, instance, nullptr);
  if (!window) return false;
  ::SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
  ::ShowWindow(window, SW_HIDE);
  ::UpdateWindow(window);
  return true;
}

LRESULT CALLBACK MessageWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == KeywatchMessageId()) return OnKeywatch(window, wparam, lparam);
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: return OnDestroy(window);
    case WM_PAINT: return OnPaint(window);
    case WM_DISPLAYCHANGE: return OnDisplayChange();
    case WM_COMMAND: return OnCommand(window, wparam, lparam);
    case WM_POWERBROADCAST: return OnPowerBroadcast(window, wparam);
    case WM_WTSSESSION_CHANGE: return OnSessionChange(window, wparam);
    default: return ::DefWindowProcW(window, message, wparam, lparam);
  }
}
