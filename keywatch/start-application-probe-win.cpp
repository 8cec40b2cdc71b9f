// Test helper: records how it was started (its command line) in "<own image path>.ran", so a
// test can tell which copy of it ran and with which line.
#include <windows.h>

#include <string>

int wmain() {
  wchar_t image[MAX_PATH + 1] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, image, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  const std::wstring record = std::wstring(image) + L".ran";
  const HANDLE file = ::CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const wchar_t* line = ::GetCommandLineW();
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(::lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(file);
  return 0;
}
