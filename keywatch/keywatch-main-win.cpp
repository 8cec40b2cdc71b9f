// Program entry of keywatch: registers the message window's class, creates the window and
// runs the message loop until the window is destroyed.
#include <windows.h>

#include "keywatch/keywatch-state-win.h"
#include "keywatch/message-window-win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  gSessionActive.store(true);
  wchar_t className[kClassNameChars] = {};
  ::LoadStringW(instance, kClassNameResource, className, kClassNameChars);
  RegisterMessageWindowClass(instance, className);
  if (!CreateMessageWindow(instance, className)) return 0;
  const HACCEL accelerators = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(kAcceleratorResource));
  MSG message = {};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!::TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
