// Test-side control of keywatch on the simulated machine.
#include "tests/e2e/keywatch/keywatch-session.h"

#include <cstdio>

#include "common/registry-win.h"
#include "standins/sim-client.h"
#include "standins/sim-paths.h"

namespace kwtest {

namespace {

std::size_t gCodesSeen = 0;
std::size_t gStartsSeen = 0;
std::size_t gStartLinesSeen = 0;
// Starts are counted only when this keywatch made them: a program launched by an earlier
// test's keywatch may record itself late, after the records were cleared.
DWORD gKeywatchPid = 0;

void EndLeftoverKeywatch() {
  // A window left by an earlier failed test would answer in place of ours.
  for (int i = 0; i < 3 && orvosim::FindMessageWindow(); ++i) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(orvosim::FindMessageWindow(), WM_COMMAND, 105, 0, SMTO_ABORTIFHUNG, 3000, &ignored);
    orvosim::WaitFor([] { return orvosim::FindMessageWindow() == nullptr; }, 3000);
  }
}

}  // namespace

KeywatchProcess::~KeywatchProcess() {
  if (Running()) {
    if (!Exit(3000)) ::TerminateProcess(process_.get(), 99);
  }
}

bool KeywatchProcess::Start() {
  std::wstring path = std::wstring(kProductFolder) + L"\\keywatch.exe";
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, kProductFolder,
                        &startup, &info)) {
    std::fprintf(stderr, "CreateProcessW(keywatch) failed: %lu\n", ::GetLastError());
    return false;
  }
  ::CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  gKeywatchPid = info.dwProcessId;
  return true;
}

bool KeywatchProcess::WaitReady(DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (::GetTickCount64() < end) {
    if (!Running()) return false;
    if (HWND window = orvosim::FindMessageWindow()) {
      // Another thread's send is served only once the message loop runs, i.e. after creation.
      DWORD_PTR ignored = 0;
      if (::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 200, &ignored)) return true;
    } else {
      ::Sleep(20);
    }
  }
  return false;
}

std::optional<DWORD> KeywatchProcess::Exit(DWORD timeoutMs) {
  if (HWND window = orvosim::FindMessageWindow()) {
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(window, WM_COMMAND, 105, 0, SMTO_NORMAL, timeoutMs, &ignored);
  }
  if (::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0xdeadbeef;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}

bool KeywatchProcess::Running() const {
  return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void KeywatchTest::StartReady() {
  ASSERT_TRUE(keywatch.Start());
  ASSERT_TRUE(keywatch.WaitReady()) << "keywatch did not finish creating its window";
}

namespace {
constexpr wchar_t kInstalledAdaptalert[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\adaptalert.exe";
constexpr wchar_t kSavedAdaptalert[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\adaptalert.exe.real";
constexpr wchar_t kRecordingAdaptalert[] = L"C:\\OrvoSim\\bin\\adaptalert-standin.exe";
}  // namespace

void UseRecordingAdaptalert() {
  if (::GetFileAttributesW(kSavedAdaptalert) == INVALID_FILE_ATTRIBUTES) {
    ::MoveFileExW(kInstalledAdaptalert, kSavedAdaptalert, MOVEFILE_REPLACE_EXISTING);
  }
  ASSERT_TRUE(::CopyFileW(kRecordingAdaptalert, kInstalledAdaptalert, FALSE)) << "error " << ::GetLastError();
}

void RestoreAdaptalert() {
  if (::GetFileAttributesW(kSavedAdaptalert) != INVALID_FILE_ATTRIBUTES) {
    ::MoveFileExW(kSavedAdaptalert, kInstalledAdaptalert, MOVEFILE_REPLACE_EXISTING);
  }
}

void ResetMachine() {
  EndLeftoverKeywatch();
  orvosim::InstallFwbridge();
  orvosim::ResetFwbridgeScenario();
  ASSERT_TRUE(orvosim::StartFwbridge()) << "fwbridge state " << orvosim::FwbridgeState();
  for (const wchar_t* path : {orvosim::kReceivedLog, orvosim::kStartedLog, orvosim::kPadlinkLog, orvosim::kTabtipLog})
    orvosim::ClearRecord(path);
  orvosim::SetPadlinkRecording(true);
  orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKey);
  ::DeleteFileW(orvosim::kAnswerFile);
  gCodesSeen = gStartsSeen = gStartLinesSeen = 0;
}

double Send(UINT message, WPARAM wparam, LPARAM lparam) {
  LARGE_INTEGER frequency, before, after;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&before);
  EXPECT_TRUE(orvosim::SendToMessageWindow(message, wparam, lparam)) << "no message window";
  ::QueryPerformanceCounter(&after);
  return 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double SendKeywatch(std::uint32_t wparam, std::uint32_t lparam) {
  return Send(orvosim::KeywatchMessage(), wparam, static_cast<LPARAM>(static_cast<std::int32_t>(lparam)));
}

std::vector<std::uint32_t> NewCodes() {
  const auto all = orvosim::ReceivedCodes();
  std::vector<std::uint32_t> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(gCodesSeen, all.size())), all.end());
  gCodesSeen = all.size();
  return fresh;
}

namespace {

// The records this keywatch's starts left since `seen`, one field of each.
std::vector<std::wstring> StartsSince(std::size_t& seen, std::wstring orvosim::StartRecord::*field) {
  const auto all = orvosim::StartedPrograms();
  std::vector<std::wstring> fresh;
  for (std::size_t i = seen; i < all.size(); ++i) {
    if (all[i].parentPid == gKeywatchPid) fresh.push_back(all[i].*field);
  }
  seen = all.size();
  return fresh;
}

}  // namespace

std::vector<std::wstring> NewStarts() { return StartsSince(gStartsSeen, &orvosim::StartRecord::image); }

std::vector<std::wstring> NewStartLines() {
  return StartsSince(gStartLinesSeen, &orvosim::StartRecord::commandLine);
}

std::vector<std::wstring> PadlinkCalls() {
  std::vector<std::wstring> calls;
  for (const auto& line : orvosim::ReadRecordLines(orvosim::kPadlinkLog)) {
    calls.push_back(line.substr(line.find_last_of(L'\t') + 1));
  }
  return calls;
}

std::optional<Bytes> DataValue(const wchar_t* name) {
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kDataKey, KEY_READ);
  if (!key) return std::nullopt;
  return orvo::ReadBinaryValue(key.get(), name);
}

void SetDataValue(const wchar_t* name, const Bytes& bytes) {
  const orvo::ScopedKey key = orvo::CreateKey(HKEY_CURRENT_USER, kDataKey);
  ASSERT_TRUE(key);
  static const std::uint8_t kNothing = 0;
  ASSERT_TRUE(orvo::WriteBinaryValue(key.get(), name, bytes.empty() ? &kNothing : bytes.data(), bytes.size()));
}

std::size_t DataValueCount() {
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kDataKey, KEY_READ);
  if (!key) return 0;
  DWORD values = 0;
  ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
  return values;
}

bool AnswerFilePresent() { return ::GetFileAttributesW(orvosim::kAnswerFile) != INVALID_FILE_ATTRIBUTES; }

void WriteAnswerFile(const Bytes& bytes) {
  ::CreateDirectoryW(L"C:\\Orvo", nullptr);
  ::CreateDirectoryW(orvosim::kAnswerFolder, nullptr);
  orvo::ScopedFile file(
      ::CreateFileW(orvosim::kAnswerFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << "cannot create the answer file: " << ::GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::wstring Hex(const std::optional<Bytes>& bytes) {
  if (!bytes) return L"(absent)";
  std::wstring text;
  wchar_t part[4];
  for (std::uint8_t b : *bytes) {
    std::swprintf(part, 4, L"%02x", b);
    text += part;
  }
  return text.empty() ? L"(empty)" : text;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace kwtest
