// Command-line control of the simulated machine, for the harness and for people:
//   simctl fwbridge install|remove|start|stop|state
//   simctl answer <code> <hex bytes, or "" for empty> | noanswer <code> | delay <code> <ms>
//   simctl repeat <code> <times> | hold <code> <ms> | reset
//   simctl received | started | padlink | tabtip | clear
//   simctl padlink-record on|off
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>
#include <vector>

#include "standins/sim-client.h"
#include "standins/sim-paths.h"

namespace {

std::vector<std::uint8_t> ParseHex(const std::wstring& text) {
  std::vector<std::uint8_t> bytes;
  std::wstring digits;
  for (wchar_t c : text) {
    if (std::iswxdigit(c)) digits += c;
  }
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    bytes.push_back(static_cast<std::uint8_t>(std::wcstoul(digits.substr(i, 2).c_str(), nullptr, 16)));
  }
  return bytes;
}

int PrintLines(const wchar_t* path) {
  for (const auto& line : orvosim::ReadRecordLines(path)) std::wprintf(L"%ls\n", line.c_str());
  return 0;
}

int Usage() {
  std::fwprintf(stderr, L"usage: see the comment at the top of simctl.cpp\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring verb = argv[1];
  const std::wstring arg1 = argc > 2 ? argv[2] : L"";
  const auto code = static_cast<std::uint32_t>(std::wcstoul(arg1.c_str(), nullptr, 0));
  const auto number = argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 0)) : 0;

  if (verb == L"fwbridge") {
    bool ok = false;
    if (arg1 == L"install") ok = orvosim::InstallFwbridge();
    else if (arg1 == L"remove") ok = orvosim::RemoveFwbridge();
    else if (arg1 == L"start") ok = orvosim::StartFwbridge();
    else if (arg1 == L"stop") ok = orvosim::StopFwbridge();
    else if (arg1 == L"state") { std::wprintf(L"%lu\n", orvosim::FwbridgeState()); return 0; }
    else return Usage();
    if (!ok) std::fwprintf(stderr, L"simctl: fwbridge %ls failed (%lu)\n", arg1.c_str(), ::GetLastError());
    return ok ? 0 : 1;
  }
  if (verb == L"answer" && argc == 4) { orvosim::SetAnswer(code, ParseHex(argv[3])); return 0; }
  if (verb == L"noanswer" && argc == 3) { orvosim::SetNoAnswer(code); return 0; }
  if (verb == L"delay" && argc == 4) { orvosim::SetAnswerDelay(code, number); return 0; }
  if (verb == L"repeat" && argc == 4) { orvosim::SetAnswerRepeat(code, number); return 0; }
  if (verb == L"hold" && argc == 4) { orvosim::SetAnswerHold(code, number); return 0; }
  if (verb == L"reset") { orvosim::ResetFwbridgeScenario(); return 0; }
  if (verb == L"received") return PrintLines(orvosim::kReceivedLog);
  if (verb == L"started") return PrintLines(orvosim::kStartedLog);
  if (verb == L"padlink") return PrintLines(orvosim::kPadlinkLog);
  if (verb == L"tabtip") return PrintLines(orvosim::kTabtipLog);
  if (verb == L"clear") {
    for (const wchar_t* path : {orvosim::kReceivedLog, orvosim::kStartedLog, orvosim::kPadlinkLog, orvosim::kTabtipLog})
      orvosim::ClearRecord(path);
    return 0;
  }
  if (verb == L"padlink-record" && argc == 3) { orvosim::SetPadlinkRecording(arg1 == L"on"); return 0; }
  return Usage();
}
