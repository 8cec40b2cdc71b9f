// Stand-in for the keyboard-control library: two entries, reached by ordinal only. They do
// nothing but leave a record while a test has asked for one.
#include <windows.h>

#include <string>

#include "common/registry-win.h"
#include "standins/sim-paths.h"
#include "standins/sim-record.h"

namespace {

void Record(const wchar_t* what) {
  const auto key = orvo::OpenKey(HKEY_CURRENT_USER, orvosim::kPadlinkConfigKey, KEY_READ);
  if (!key || orvo::ReadDwordValue(key.get(), L"Record").value_or(0) == 0) {
    return;
  }
  orvosim::AppendRecord(orvosim::kPadlinkLog, std::to_wstring(orvosim::PreciseNow()) + L"\t" +
                                                   std::to_wstring(::GetCurrentProcessId()) + L"\t" + what);
}

}  // namespace

extern "C" __declspec(dllexport) void PadlinkStart() { Record(L"start"); }
extern "C" __declspec(dllexport) void PadlinkStop() { Record(L"stop"); }
