// What the popup's end-to-end tests share: the installed product's paths, ShowToasterPopUp
// run on a thread of the test, pointer input, and screen captures saved as PNG.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace orvotest {

inline constexpr wchar_t kProductDir[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck";
inline constexpr wchar_t kPopupName[] = L"Orvo slidecard";

using ShowToasterPopUpFn = int(WINAPI*)(const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*);

std::wstring ProductPath(const wchar_t* relative);

// One ShowToasterPopUp call on its own thread. The destructor closes a popup that a failed
// test left up, so the thread always ends.
class PopupCall {
public:
  PopupCall(ShowToasterPopUpFn show, std::wstring title, std::wstring message, std::wstring iconPath,
            std::wstring programPath);
  ~PopupCall();
  PopupCall(const PopupCall&) = delete;
  PopupCall& operator=(const PopupCall&) = delete;

  bool Finished() const { return finished_; }
  int Result() const { return result_; }
  ULONGLONG StartTick() const { return startTick_; }
  ULONGLONG EndTick() const { return endTick_; }
  // Waits for the call to return; false on timeout.
  bool WaitFinished(DWORD timeoutMs) const;

private:
  std::wstring title_, message_, iconPath_, programPath_;
  std::atomic<bool> finished_{false};
  std::atomic<int> result_{-1};
  std::atomic<ULONGLONG> startTick_{0};
  std::atomic<ULONGLONG> endTick_{0};
  std::thread thread_;
};

// The popup window (class and name "Orvo slidecard"), or nullptr after `timeoutMs`.
HWND WaitForPopup(DWORD timeoutMs);
// The window's layered alpha, or -1 when it cannot be read.
int PopupAlpha(HWND window);

// Pointer input as the user makes it (SendInput), in screen coordinates.
void MovePointer(int x, int y);
void LeftButton(bool down);

struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // top row first
  COLORREF At(int x, int y) const;
};
// The screen's pixels in `area` (screen coordinates).
Capture CaptureScreen(const RECT& area);
// Writes the capture as a PNG file, creating the folder; false on failure.
bool SavePng(const std::wstring& path, const Capture& capture);
// The popup's client area on screen.
RECT ClientAreaOnScreen(HWND window);

}  // namespace orvotest
