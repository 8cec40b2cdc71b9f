// Shared pieces of the popup's end-to-end tests; see popup-e2e-support.h.
#include "tests/e2e/popup/popup-e2e-support.h"

#include "common/scoped-handle.h"
#include "slidecard/gdi-owners-win.h"
#include "tests/e2e/popup/png-writer.h"

namespace orvotest {

std::wstring ProductPath(const wchar_t* relative) { return std::wstring(kProductDir) + L"\\" + relative; }

PopupCall::PopupCall(ShowToasterPopUpFn show, std::wstring title, std::wstring message, std::wstring iconPath,
                     std::wstring programPath)
    : title_(std::move(title)),
      message_(std::move(message)),
      iconPath_(std::move(iconPath)),
      programPath_(std::move(programPath)) {
  startTick_ = ::GetTickCount64();
  thread_ = std::thread([this, show] {
    result_ = show(title_.c_str(), message_.c_str(), iconPath_.c_str(), programPath_.c_str());
    endTick_ = ::GetTickCount64();
    finished_ = true;
  });
}

PopupCall::~PopupCall() {
  if (!finished_) {
    MovePointer(0, 0);
    for (int i = 0; i < 100 && !finished_; ++i) {
      if (const HWND w = ::FindWindowW(kPopupName, kPopupName)) ::PostMessageW(w, WM_CLOSE, 0, 0);
      ::Sleep(100);
    }
  }
  if (thread_.joinable()) {
    if (finished_) {
      thread_.join();
    } else {
      thread_.detach();  // a popup that ignores WM_CLOSE; the test has already failed
    }
  }
}

bool PopupCall::WaitFinished(DWORD timeoutMs) const {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!finished_ && ::GetTickCount64() < end) ::Sleep(10);
  return finished_;
}

HWND WaitForPopup(DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (const HWND w = ::FindWindowW(kPopupName, kPopupName)) return w;
    if (::GetTickCount64() >= end) return nullptr;
    ::Sleep(5);
  }
}

int PopupAlpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!::GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return -1;
  return alpha;
}

void MovePointer(int x, int y) {
  const int vx = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int vy = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int vw = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int vh = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>(((x - vx) * 65535LL + (vw - 1) / 2) / (vw - 1));
  input.mi.dy = static_cast<LONG>(((y - vy) * 65535LL + (vh - 1) / 2) / (vh - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
  ::SendInput(1, &input, sizeof(input));
}

void LeftButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &input, sizeof(input));
}

COLORREF Capture::At(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

Capture CaptureScreen(const RECT& area) {
  Capture capture;
  capture.width = area.right - area.left;
  capture.height = area.bottom - area.top;
  const HDC screen = ::GetDC(nullptr);
  orvo::ScopedMemoryDc memory(::CreateCompatibleDC(screen));
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  orvo::ScopedBitmap bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  {
    orvo::ScopedSelection selection(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY | CAPTUREBLT);
    ::GdiFlush();
  }
  ::ReleaseDC(nullptr, screen);
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  capture.rgb.resize(static_cast<std::size_t>(capture.width) * capture.height * 3);
  for (std::size_t p = 0; bgra && p < static_cast<std::size_t>(capture.width) * capture.height; ++p) {
    capture.rgb[p * 3] = bgra[p * 4 + 2];
    capture.rgb[p * 3 + 1] = bgra[p * 4 + 1];
    capture.rgb[p * 3 + 2] = bgra[p * 4];
  }
  return capture;
}

bool SavePng(const std::wstring& path, const Capture& capture) {
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos) ::CreateDirectoryW(path.substr(0, slash).c_str(), nullptr);
  const std::vector<std::uint8_t> png = EncodePng(capture.width, capture.height, capture.rgb);
  const orvo::ScopedFile file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr) &&
         written == png.size();
}

RECT ClientAreaOnScreen(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  return {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

}  // namespace orvotest
