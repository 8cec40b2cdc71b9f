// Sender tool: delivers one message to the message window (class and title "Orvo Message
// Service") with a synchronous send, as any desktop process could.
//   kwsend keywatch <wparam> <lparam>    WM_KEYWATCH (registered message)
//   kwsend command <id>                  WM_COMMAND
//   kwsend power <wparam>                WM_POWERBROADCAST
//   kwsend session <wparam>              WM_WTSSESSION_CHANGE
//   kwsend display [<wparam> <lparam>]   WM_DISPLAYCHANGE
// Numbers are decimal or 0x-hexadecimal. Exit code 0 sent, 2 no such window, 1 usage.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

#include "standins/sim-client.h"

namespace {

std::optional<unsigned long long> ParseNumber(const wchar_t* text) {
  if (!text || !*text) return std::nullopt;
  wchar_t* end = nullptr;
  const unsigned long long value = std::wcstoull(text, &end, 0);
  if (*end != L'\0') return std::nullopt;
  return value;
}

int Usage() {
  std::fwprintf(stderr,
                L"usage: kwsend keywatch <wparam> <lparam> | command <id> | power <wparam> | session <wparam> | "
                L"display [<wparam> <lparam>]\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring verb = argv[1];
  std::optional<unsigned long long> a = argc > 2 ? ParseNumber(argv[2]) : std::optional<unsigned long long>(0);
  std::optional<unsigned long long> b = argc > 3 ? ParseNumber(argv[3]) : std::optional<unsigned long long>(0);
  if (!a || !b) return Usage();

  UINT message = 0;
  if (verb == L"keywatch" && argc == 4) {
    message = orvosim::KeywatchMessage();
  } else if (verb == L"command" && argc == 3) {
    message = WM_COMMAND;
  } else if (verb == L"power" && argc == 3) {
    message = WM_POWERBROADCAST;
  } else if (verb == L"session" && argc == 3) {
    message = WM_WTSSESSION_CHANGE;
  } else if (verb == L"display" && (argc == 2 || argc == 4)) {
    message = WM_DISPLAYCHANGE;
  } else {
    return Usage();
  }
  // lparam is a 32-bit value on the wire; sign-extend as the 32-bit LPARAM would be.
  const auto lparam = static_cast<LPARAM>(static_cast<std::int32_t>(static_cast<std::uint32_t>(*b)));
  if (!orvosim::SendToMessageWindow(message, static_cast<WPARAM>(*a), lparam)) {
    std::fwprintf(stderr, L"kwsend: no window of class and title \"%ls\"\n", orvosim::kMessageWindowName);
    return 2;
  }
  return 0;
}
