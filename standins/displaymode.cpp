// Sim tool: prints the display mode Windows reports for the calling thread's display, as
// "orientation <n> <width>x<height>", so that scripts can show what a mode change left behind.
// Exit code 0, or 1 when EnumDisplaySettingsW fails.
#include <windows.h>

#include <cwchar>

int wmain() {
  DEVMODEW mode = {};
  mode.dmSize = sizeof(mode);
  if (!::EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode)) {
    std::fwprintf(stderr, L"displaymode: EnumDisplaySettingsW failed (%lu)\n", ::GetLastError());
    return 1;
  }
  std::wprintf(L"orientation %lu %lux%lu\n", mode.dmDisplayOrientation, mode.dmPelsWidth, mode.dmPelsHeight);
  return 0;
}
