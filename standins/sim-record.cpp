#include "standins/sim-record.h"

#include <windows.h>

#include "common/scoped-handle.h"
#include "standins/sim-paths.h"

namespace orvosim {

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) {
    return {};
  }
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) {
    return {};
  }
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::uint64_t PreciseNow() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool AppendRecord(const wchar_t* path, const std::wstring& line) {
  ::CreateDirectoryW(kSimFolder, nullptr);
  const std::string bytes = ToUtf8(line + L"\n");
  for (int attempt = 0; attempt < 50; ++attempt) {
    orvo::ScopedFile file(::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
      DWORD written = 0;
      return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written == bytes.size();
    }
    ::Sleep(10);
  }
  return false;
}

}  // namespace orvosim
