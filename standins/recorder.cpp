// Stand-in for every program that the system starts by fixed path. It records when it ran
// (its first instruction's time), the process that started it, its own image path and the command line it got, then ends.
#include <windows.h>
#include <tlhelp32.h>

#include <string>

#include "common/scoped-handle.h"

#include "standins/sim-paths.h"
#include "standins/sim-record.h"

namespace {

// The process that started this one, so a test can tell its own program's starts from a
// late start left over by an earlier test; 0 when unknown.
DWORD ParentProcessId() {
  orvo::ScopedFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32W entry = {sizeof(entry)};
  const DWORD self = ::GetCurrentProcessId();
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  const std::uint64_t started = orvosim::PreciseNow();
  wchar_t image[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, image, static_cast<DWORD>(std::size(image)));
  orvosim::AppendRecord(orvosim::kStartedLog,
                        std::to_wstring(started) + L"\t" + std::to_wstring(ParentProcessId()) + L"\t" + image + L"\t" + ::GetCommandLineW());
  return 0;
}
