// Stand-in for slidecard.dll that shows nothing: it records the four strings it was given
// and returns 0 at once. Exports ordinal 1 only, as the real library's importers bind it.
#include <windows.h>

#include <string>

#include "standins/sim-record.h"
#include "standins/slidecard-recorder.h"

extern "C" int WINAPI ShowToasterPopUp(const wchar_t* title, const wchar_t* message, const wchar_t* iconPath,
                                       const wchar_t* programPath) {
  const auto text = [](const wchar_t* s) { return s ? std::wstring(s) : std::wstring(L"(null)"); };
  orvosim::AppendRecord(orvosim::kSlidecardCallsLog,
                        text(title) + L"\t" + text(message) + L"\t" + text(iconPath) + L"\t" + text(programPath));
  return 0;
}
