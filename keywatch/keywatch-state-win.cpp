// The process-wide state of keywatch.
#include "keywatch/keywatch-state-win.h"

std::atomic<bool> gSessionActive{false};
std::atomic<bool> gListenerStop{false};
std::atomic<HWND> gMessageWindow{nullptr};

UINT KeywatchMessageId() {
  static const UINT id = ::RegisterWindowMessageW(L"WM_KEYWATCH");
  return id;
}
