// Test-side control of one keywatch process on the simulated machine: a clean machine state
// before each test, start and stop of the installed program, and readers for what it did.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/scoped-handle.h"

namespace kwtest {

using Bytes = std::vector<std::uint8_t>;

inline constexpr wchar_t kProductFolder[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck";
inline constexpr wchar_t kDataKey[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Data";

// One running keywatch.exe, started with the product folder as its current directory.
class KeywatchProcess {
public:
  KeywatchProcess() = default;
  KeywatchProcess(const KeywatchProcess&) = delete;
  KeywatchProcess& operator=(const KeywatchProcess&) = delete;
  ~KeywatchProcess();  // ends the process if a test left it running

  bool Start();
  // True once the window exists and its message loop answers (creation has finished).
  bool WaitReady(DWORD timeoutMs = 15000);
  // WM_COMMAND 105, then the exit code; nullopt when it did not end within the time-out.
  std::optional<DWORD> Exit(DWORD timeoutMs = 5000);
  bool Running() const;
  HANDLE Handle() const { return process_.get(); }

private:
  orvo::ScopedHandle process_;
};

// Clean slate: fwbridge installed and running with its plain answers, records cleared,
// padlink recording on, Data key and answer file gone.
void ResetMachine();
// The tests see adaptalert's starts through the recording stand-in: it takes the installed
// program's place for one test, and the real one is put back afterwards.
void UseRecordingAdaptalert();
void RestoreAdaptalert();
// WM_KEYWATCH through a synchronous send; returns the send's duration in milliseconds.
double SendKeywatch(std::uint32_t wparam, std::uint32_t lparam);
double Send(UINT message, WPARAM wparam, LPARAM lparam);

std::vector<std::uint32_t> NewCodes();  // codes received since the last call (or reset)
std::vector<std::wstring> NewStarts();  // images the running keywatch started since the last call
std::vector<std::wstring> NewStartLines();  // full command lines since the last call
std::vector<std::wstring> PadlinkCalls();   // "start" / "stop" in order

std::optional<Bytes> DataValue(const wchar_t* name);  // REG_BINARY only
void SetDataValue(const wchar_t* name, const Bytes& bytes);
std::size_t DataValueCount();  // 0 when the key is missing
bool AnswerFilePresent();
void WriteAnswerFile(const Bytes& bytes);

std::wstring Hex(const std::optional<Bytes>& bytes);
std::string Narrow(const std::wstring& text);

// Fixture that resets the machine before and ends keywatch after each test.
class KeywatchTest : public ::testing::Test {
protected:
  void SetUp() override {
    UseRecordingAdaptalert();
    ResetMachine();
  }
  void TearDown() override { RestoreAdaptalert(); }
  // Starts keywatch and waits for creation to finish; fails the test otherwise.
  void StartReady();
  KeywatchProcess keywatch;
};

}  // namespace kwtest
