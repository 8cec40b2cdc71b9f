// Stand-in for the machine maker's firmware-bridge service. It accepts the user-defined
// control codes, records each one in arrival order, and writes the answer file that the
// scenario configured for it. Answers are written on a worker thread so that a configured
// delay never blocks the caller's ControlService.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "common/registry-win.h"
#include "common/scoped-handle.h"
#include "standins/fwbridge-answers.h"
#include "standins/sim-paths.h"
#include "standins/sim-record.h"

namespace {

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status = {};
std::mutex g_mutex;
std::condition_variable g_wake;
std::deque<std::uint32_t> g_pending;
bool g_stopping = false;
orvo::ScopedHandle g_stopped;

void ReportState(DWORD state) {
  g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  g_status.dwCurrentState = state;
  g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
  g_status.dwWin32ExitCode = NO_ERROR;
  ::SetServiceStatus(g_statusHandle, &g_status);
}

orvosim::AnswerPlan ReadPlan(std::uint32_t code) {
  orvosim::AnswerPlan plan;
  plan.bytes = orvosim::DefaultAnswer(code).value_or(std::vector<std::uint8_t>{});
  const auto key = orvo::OpenKey(HKEY_LOCAL_MACHINE,
                                 std::wstring(orvosim::kFwbridgeConfigKey) + L"\\" + std::to_wstring(code),
                                 KEY_READ | KEY_WOW64_64KEY);
  if (!key) {
    return plan;
  }
  if (auto bytes = orvo::ReadBinaryValue(key.get(), L"Answer")) plan.bytes = *bytes;
  if (auto v = orvo::ReadDwordValue(key.get(), L"Repeat")) plan.repeat = *v;
  if (auto v = orvo::ReadDwordValue(key.get(), L"DelayMs")) plan.delayMs = *v;
  if (auto v = orvo::ReadDwordValue(key.get(), L"HoldMs")) plan.holdMs = *v;
  if (auto v = orvo::ReadDwordValue(key.get(), L"NoAnswer")) plan.answer = *v == 0;
  return plan;
}

bool WriteAll(HANDLE file, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(size > (1u << 20) ? (1u << 20) : size);
    if (!::WriteFile(file, data, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

void Answer(std::uint32_t code) {
  const orvosim::AnswerPlan plan = ReadPlan(code);
  if (!plan.answer) {
    return;
  }
  if (plan.delayMs > 0) {
    ::Sleep(plan.delayMs);
  }
  const std::vector<std::uint8_t> content = orvosim::AnswerContent(plan);
  ::CreateDirectoryW(L"C:\\Orvo", nullptr);
  ::CreateDirectoryW(orvosim::kAnswerFolder, nullptr);
  // Readers that ask for read sharing only are refused while this handle is open, which is
  // how a half-written file is kept from them.
  orvo::ScopedFile file(::CreateFileW(orvosim::kAnswerFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    return;
  }
  const std::size_t half = plan.holdMs > 0 ? content.size() / 2 : content.size();
  WriteAll(file.get(), content.data(), half);
  if (plan.holdMs > 0) {
    ::FlushFileBuffers(file.get());
    ::Sleep(plan.holdMs);
  }
  WriteAll(file.get(), content.data() + half, content.size() - half);
}

void AnswerLoop() {
  for (;;) {
    std::uint32_t code = 0;
    {
      std::unique_lock lock(g_mutex);
      g_wake.wait(lock, [] { return g_stopping || !g_pending.empty(); });
      if (g_pending.empty()) {
        return;
      }
      code = g_pending.front();
      g_pending.pop_front();
    }
    Answer(code);
  }
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*) {
  if (control == SERVICE_CONTROL_STOP) {
    ReportState(SERVICE_STOP_PENDING);
    {
      std::lock_guard lock(g_mutex);
      g_stopping = true;
    }
    g_wake.notify_all();
    ::SetEvent(g_stopped.get());
    return NO_ERROR;
  }
  if (control == SERVICE_CONTROL_INTERROGATE) {
    return NO_ERROR;
  }
  if (control >= 128 && control <= 255) {
    orvosim::AppendRecord(orvosim::kReceivedLog, std::to_wstring(control));
    if (!orvosim::IsAcceptedCode(control)) {
      return ERROR_CALL_NOT_IMPLEMENTED;
    }
    if (orvosim::IsAnsweredCode(control)) {
      {
        std::lock_guard lock(g_mutex);
        g_pending.push_back(control);
      }
      g_wake.notify_all();
    }
    return NO_ERROR;
  }
  return ERROR_CALL_NOT_IMPLEMENTED;
}

void WINAPI ServiceMain(DWORD, wchar_t**) {
  g_statusHandle = ::RegisterServiceCtrlHandlerExW(orvosim::kFwbridgeServiceName, ControlHandler, nullptr);
  if (!g_statusHandle) {
    return;
  }
  g_stopped.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread worker(AnswerLoop);
  ReportState(SERVICE_RUNNING);
  ::WaitForSingleObject(g_stopped.get(), INFINITE);
  worker.join();
  ReportState(SERVICE_STOPPED);
}

}  // namespace

int wmain() {
  wchar_t name[] = L"fwbridge";
  const SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
  return ::StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
