// Stand-in for the touch keyboard: a top-level window of class "IPTip_Main_Window" that
// records its start and the SC_CLOSE that ends it. A second start while one runs records
// itself and ends, as the real keyboard keeps a single window.
#include <windows.h>

#include <string>

#include "standins/sim-paths.h"
#include "standins/sim-record.h"

namespace {

constexpr wchar_t kClassName[] = L"IPTip_Main_Window";

void Record(const std::wstring& what) {
  orvosim::AppendRecord(orvosim::kTabtipLog, std::to_wstring(orvosim::PreciseNow()) + L"\t" +
                                                  std::to_wstring(::GetCurrentProcessId()) + L"\t" + what);
}

LRESULT CALLBACK KeyboardWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        Record(L"SC_CLOSE\t" + std::to_wstring(static_cast<long long>(lparam)));
      }
      return ::DefWindowProcW(window, message, wparam, lparam);
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int) {
  if (::FindWindowW(kClassName, nullptr)) {
    Record(L"already-shown");
    return 0;
  }
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.lpfnWndProc = KeyboardWindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kClassName;
  ::RegisterClassExW(&wc);
  HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Touch keyboard", WS_POPUP, 0, 0, 200, 80,
                                  nullptr, nullptr, instance, nullptr);
  if (!window) {
    Record(L"no-window");
    return 1;
  }
  Record(L"shown");
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  Record(L"closed");
  return 0;
}
