// Stand-in for every program that the system starts by fixed path. It records when it ran
// (its first instruction's time), its own image path and the command line it got, then ends.
#include <windows.h>

#include <string>

#include "standins/sim-paths.h"
#include "standins/sim-record.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  const std::uint64_t started = orvosim::PreciseNow();
  wchar_t image[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, image, static_cast<DWORD>(std::size(image)));
  orvosim::AppendRecord(orvosim::kStartedLog,
                        std::to_wstring(started) + L"\t" + image + L"\t" + ::GetCommandLineW());
  return 0;
}
