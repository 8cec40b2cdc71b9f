#include "standins/sim-client.h"

#include <fstream>
#include <sstream>

#include "common/registry-win.h"
#include "common/scoped-handle.h"
#include "standins/sim-paths.h"
#include "standins/sim-record.h"

namespace orvosim {

namespace {

orvo::ScopedServiceHandle OpenManager(DWORD access) {
  return orvo::ScopedServiceHandle(::OpenSCManagerW(nullptr, nullptr, access));
}

orvo::ScopedServiceHandle OpenFwbridge(DWORD access) {
  auto manager = OpenManager(SC_MANAGER_CONNECT);
  if (!manager) return {};
  return orvo::ScopedServiceHandle(::OpenServiceW(manager.get(), kFwbridgeServiceName, access));
}

bool WaitForState(SC_HANDLE service, DWORD wanted, DWORD waitMs) {
  return WaitFor(
      [&] {
        SERVICE_STATUS status = {};
        return ::QueryServiceStatus(service, &status) && status.dwCurrentState == wanted;
      },
      waitMs);
}

orvo::ScopedKey CodeKey(std::uint32_t code) {
  return orvo::CreateKey(HKEY_LOCAL_MACHINE, std::wstring(kFwbridgeConfigKey) + L"\\" + std::to_wstring(code),
                         KEY_READ | KEY_SET_VALUE | KEY_WOW64_64KEY);
}

}  // namespace

bool InstallFwbridge() {
  auto manager = OpenManager(SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
  if (!manager) return false;
  orvo::ScopedServiceHandle service(::CreateServiceW(
      manager.get(), kFwbridgeServiceName, L"Firmware bridge (simulated)", SERVICE_ALL_ACCESS,
      SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE, kFwbridgeBinary, nullptr, nullptr,
      nullptr, nullptr, nullptr));
  return service || ::GetLastError() == ERROR_SERVICE_EXISTS;
}

bool RemoveFwbridge() {
  auto service = OpenFwbridge(SERVICE_ALL_ACCESS);
  if (!service) return ::GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST;
  SERVICE_STATUS status = {};
  ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
  WaitForState(service.get(), SERVICE_STOPPED, 10000);
  if (!::DeleteService(service.get()) && ::GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) return false;
  service.reset();
  return WaitFor([] { return FwbridgeState() == 0; }, 10000);
}

bool StartFwbridge(DWORD waitMs) {
  auto service = OpenFwbridge(SERVICE_START | SERVICE_QUERY_STATUS);
  if (!service) return false;
  if (!::StartServiceW(service.get(), 0, nullptr) && ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
    return false;
  }
  return WaitForState(service.get(), SERVICE_RUNNING, waitMs);
}

bool StopFwbridge(DWORD waitMs) {
  auto service = OpenFwbridge(SERVICE_STOP | SERVICE_QUERY_STATUS);
  if (!service) return true;
  SERVICE_STATUS status = {};
  ::ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
  return WaitForState(service.get(), SERVICE_STOPPED, waitMs);
}

DWORD FwbridgeState() {
  auto service = OpenFwbridge(SERVICE_QUERY_STATUS);
  if (!service) return 0;
  SERVICE_STATUS status = {};
  return ::QueryServiceStatus(service.get(), &status) ? status.dwCurrentState : 0;
}

bool SendFwbridgeCode(DWORD code) {
  auto service = OpenFwbridge(SERVICE_QUERY_STATUS | SERVICE_INTERROGATE | SERVICE_USER_DEFINED_CONTROL);
  if (!service) return false;
  SERVICE_STATUS status = {};
  return ::ControlService(service.get(), code, &status) != FALSE;
}

void ResetFwbridgeScenario() { orvo::DeleteKeyTree(HKEY_LOCAL_MACHINE, kFwbridgeConfigKey, KEY_WOW64_64KEY); }

void SetAnswer(std::uint32_t code, const std::vector<std::uint8_t>& bytes) {
  orvo::WriteBinaryValue(CodeKey(code).get(), L"Answer", bytes.data(), bytes.size());
}
void SetNoAnswer(std::uint32_t code, bool noAnswer) { orvo::WriteDwordValue(CodeKey(code).get(), L"NoAnswer", noAnswer); }
void SetAnswerDelay(std::uint32_t code, DWORD ms) { orvo::WriteDwordValue(CodeKey(code).get(), L"DelayMs", ms); }
void SetAnswerRepeat(std::uint32_t code, DWORD times) { orvo::WriteDwordValue(CodeKey(code).get(), L"Repeat", times); }
void SetAnswerHold(std::uint32_t code, DWORD ms) { orvo::WriteDwordValue(CodeKey(code).get(), L"HoldMs", ms); }

std::vector<std::wstring> ReadRecordLines(const wchar_t* path) {
  std::vector<std::wstring> lines;
  orvo::ScopedFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return lines;
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) lines.push_back(FromUtf8(line));
  }
  return lines;
}

void ClearRecord(const wchar_t* path) { ::DeleteFileW(path); }

std::vector<std::uint32_t> ReceivedCodes() {
  std::vector<std::uint32_t> codes;
  for (const auto& line : ReadRecordLines(kReceivedLog)) codes.push_back(static_cast<std::uint32_t>(std::stoul(line)));
  return codes;
}

std::vector<StartRecord> StartedPrograms() {
  std::vector<StartRecord> records;
  for (const auto& line : ReadRecordLines(kStartedLog)) {
    std::size_t tabs[3];
    std::size_t from = 0;
    bool complete = true;
    for (std::size_t& tab : tabs) {
      tab = line.find(L'\t', from);
      if (tab == std::wstring::npos) complete = false;
      if (!complete) break;
      from = tab + 1;
    }
    if (!complete) continue;
    StartRecord record;
    record.time = std::stoull(line.substr(0, tabs[0]));
    record.parentPid = static_cast<DWORD>(std::stoul(line.substr(tabs[0] + 1, tabs[1] - tabs[0] - 1)));
    record.image = line.substr(tabs[1] + 1, tabs[2] - tabs[1] - 1);
    record.commandLine = line.substr(tabs[2] + 1);
    records.push_back(std::move(record));
  }
  return records;
}

void SetPadlinkRecording(bool on) {
  orvo::WriteDwordValue(orvo::CreateKey(HKEY_CURRENT_USER, kPadlinkConfigKey).get(), L"Record", on ? 1 : 0);
}

HWND FindMessageWindow() { return ::FindWindowW(kMessageWindowName, kMessageWindowName); }

UINT KeywatchMessage() { return ::RegisterWindowMessageW(L"WM_KEYWATCH"); }

bool SendToMessageWindow(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
  HWND window = FindMessageWindow();
  if (!window) return false;
  const LRESULT r = ::SendMessageW(window, message, wparam, lparam);
  if (result) *result = r;
  return true;
}

}  // namespace orvosim
