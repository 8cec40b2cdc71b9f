// Test-side control of the simulated machine: install and drive the fwbridge service through
// the Service Control Manager, set its per-code scenario, read back what the stand-ins
// recorded, and reach the message window. Used by the e2e tests, simctl and kwsend.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvosim {

// --- fwbridge service -------------------------------------------------------------------
bool InstallFwbridge();                 // creates the service (demand start); true if it exists
bool RemoveFwbridge();                  // stops and deletes it; true when it is gone
bool StartFwbridge(DWORD waitMs = 10000);  // true once it reports SERVICE_RUNNING
bool StopFwbridge(DWORD waitMs = 10000);   // true once it reports SERVICE_STOPPED (or is absent)
// SERVICE_RUNNING etc.; 0 when the service is not installed.
DWORD FwbridgeState();
// ControlService(code) as keywatch sends it; false when not delivered.
bool SendFwbridgeCode(DWORD code);

// --- fwbridge scenario (see sim-paths.h) -------------------------------------------------
void ResetFwbridgeScenario();
void SetAnswer(std::uint32_t code, const std::vector<std::uint8_t>& bytes);
void SetNoAnswer(std::uint32_t code, bool noAnswer = true);
void SetAnswerDelay(std::uint32_t code, DWORD ms);
void SetAnswerRepeat(std::uint32_t code, DWORD times);
void SetAnswerHold(std::uint32_t code, DWORD ms);

// --- records -----------------------------------------------------------------------------
std::vector<std::wstring> ReadRecordLines(const wchar_t* path);
void ClearRecord(const wchar_t* path);
std::vector<std::uint32_t> ReceivedCodes();
struct StartRecord {
  std::uint64_t time = 0;       // 100 ns UTC units
  DWORD parentPid = 0;          // the process that started it
  std::wstring image;           // the stand-in's own path
  std::wstring commandLine;     // as the stand-in received it
};
std::vector<StartRecord> StartedPrograms();
void SetPadlinkRecording(bool on);
// Waits until `predicate` holds or `timeoutMs` passes; returns the predicate's last result.
template <typename Predicate>
bool WaitFor(Predicate predicate, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (predicate()) return true;
    if (::GetTickCount64() >= end) return false;
    ::Sleep(20);
  }
}

// --- the message window ------------------------------------------------------------------
inline constexpr wchar_t kMessageWindowName[] = L"Orvo Message Service";
HWND FindMessageWindow();
UINT KeywatchMessage();  // RegisterWindowMessageW("WM_KEYWATCH")
// Synchronous sends, as every sender of the system uses; false when no window exists.
bool SendToMessageWindow(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result = nullptr);

}  // namespace orvosim
