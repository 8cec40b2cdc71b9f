// The other stand-ins under Wine: padlink's ordinal-only entries and their record, the
// fixed-path program recorder, the touch keyboard window, and the sender tool.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <thread>

#include "common/scoped-handle.h"
#include "standins/sim-client.h"
#include "standins/sim-paths.h"

namespace {

const std::wstring kProduct = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\";

// Runs a program to its end; returns its exit code, or -1 when it could not be started.
long RunProgram(const std::wstring& application, std::wstring commandLine, DWORD timeoutMs = 20000) {
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  if (!::CreateProcessW(application.empty() ? nullptr : application.c_str(), commandLine.data(), nullptr, nullptr,
                        FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return -1;
  }
  orvo::ScopedHandle process(pi.hProcess), thread(pi.hThread);
  if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) return -2;
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

TEST(Padlink, EntriesAreReachedByOrdinalOnlyAndRecordWhenAsked) {
  orvo::ScopedModule padlink(::LoadLibraryW((kProduct + L"padlink.dll").c_str()));
  ASSERT_TRUE(padlink) << ::GetLastError();
  EXPECT_EQ(::GetProcAddress(padlink.get(), "PadlinkStart"), nullptr);
  EXPECT_EQ(::GetProcAddress(padlink.get(), "PadlinkStop"), nullptr);
  using Entry = void (*)();
  auto start = reinterpret_cast<Entry>(::GetProcAddress(padlink.get(), MAKEINTRESOURCEA(1)));
  auto stop = reinterpret_cast<Entry>(::GetProcAddress(padlink.get(), MAKEINTRESOURCEA(2)));
  ASSERT_NE(start, nullptr);
  ASSERT_NE(stop, nullptr);

  orvosim::ClearRecord(orvosim::kPadlinkLog);
  orvosim::SetPadlinkRecording(false);
  start();
  EXPECT_TRUE(orvosim::ReadRecordLines(orvosim::kPadlinkLog).empty());
  orvosim::SetPadlinkRecording(true);
  start();
  stop();
  orvosim::SetPadlinkRecording(false);
  const auto lines = orvosim::ReadRecordLines(orvosim::kPadlinkLog);
  ASSERT_EQ(lines.size(), 2u);
  const std::wstring pid = L"\t" + std::to_wstring(::GetCurrentProcessId()) + L"\t";
  EXPECT_NE(lines[0].find(pid + L"start"), std::wstring::npos) << lines[0];
  EXPECT_NE(lines[1].find(pid + L"stop"), std::wstring::npos) << lines[1];
}

TEST(Recorder, EveryFixedPathProgramRecordsItsCommandLine) {
  const std::wstring programs[] = {
      kProduct + L"rotor.exe", kProduct + L"Resono.exe", kProduct + L"specsheet.exe", kProduct + L"powerguide.exe",
      L"C:\\Program Files\\Windows Media Player\\wmplayer.exe",
      L"C:\\Program Files\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe",
      L"C:\\Program Files (x86)\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe"};
  orvosim::ClearRecord(orvosim::kStartedLog);
  for (const auto& program : programs) {
    EXPECT_EQ(RunProgram(program, L"\"" + program + L"\" chromeless"), 0) << program.c_str();
  }
  const auto started = orvosim::StartedPrograms();
  ASSERT_EQ(started.size(), std::size(programs));
  for (std::size_t i = 0; i < started.size(); ++i) {
    EXPECT_EQ(::lstrcmpiW(started[i].image.c_str(), programs[i].c_str()), 0) << started[i].image.c_str();
    EXPECT_EQ(started[i].commandLine, L"\"" + programs[i] + L"\" chromeless");
    EXPECT_GT(started[i].time, 0u);
    EXPECT_EQ(started[i].parentPid, ::GetCurrentProcessId());
  }
}

TEST(TouchKeyboard, ShowsItsWindowAndRecordsTheCloseCommand) {
  const wchar_t kTabtip[] = L"C:\\Program Files\\Common Files\\microsoft shared\\ink\\Tabtip.exe";
  orvosim::ClearRecord(orvosim::kTabtipLog);
  ASSERT_EQ(::FindWindowW(L"IPTip_Main_Window", nullptr), nullptr) << "a keyboard window is left over";
  ::ShellExecuteW(nullptr, L"open", kTabtip, nullptr, nullptr, SW_SHOWNORMAL);
  HWND keyboard = nullptr;
  ASSERT_TRUE(orvosim::WaitFor([&] { return (keyboard = ::FindWindowW(L"IPTip_Main_Window", nullptr)) != nullptr; }, 10000));
  ::SendMessageW(keyboard, WM_SYSCOMMAND, SC_CLOSE, -1);
  EXPECT_TRUE(orvosim::WaitFor([] { return ::FindWindowW(L"IPTip_Main_Window", nullptr) == nullptr; }, 10000));
  EXPECT_TRUE(orvosim::WaitFor([] { return orvosim::ReadRecordLines(orvosim::kTabtipLog).size() >= 3; }, 5000));
  const auto lines = orvosim::ReadRecordLines(orvosim::kTabtipLog);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_NE(lines[0].find(L"\tshown"), std::wstring::npos) << lines[0];
  EXPECT_NE(lines[1].find(L"\tSC_CLOSE\t-1"), std::wstring::npos) << lines[1];
  EXPECT_NE(lines[2].find(L"\tclosed"), std::wstring::npos) << lines[2];
}

// A window of the message service's class and title on its own thread, recording the
// messages that reach it.
class FakeMessageWindow {
public:
  struct Seen { UINT message; WPARAM wparam; LPARAM lparam; };

  FakeMessageWindow() : thread_([this] { Run(); }) {
    orvosim::WaitFor([this] { return ready_.load(); }, 10000);
  }
  ~FakeMessageWindow() {
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  std::vector<Seen> seen() {
    std::lock_guard lock(mutex_);
    return seen_;
  }

private:
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<FakeMessageWindow*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (self && (m == self->keywatch_ || m == WM_COMMAND || m == WM_POWERBROADCAST || m == WM_WTSSESSION_CHANGE ||
                 m == WM_DISPLAYCHANGE)) {
      std::lock_guard lock(self->mutex_);
      self->seen_.push_back({m, wp, lp});
      return 0;
    }
    if (m == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(w, m, wp, lp);
  }
  void Run() {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = orvosim::kMessageWindowName;
    ::RegisterClassExW(&wc);
    window_ = ::CreateWindowExW(0, orvosim::kMessageWindowName, orvosim::kMessageWindowName, WS_POPUP, 0, 0, 10, 10,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ready_ = true;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    ::UnregisterClassW(orvosim::kMessageWindowName, wc.hInstance);
  }

  UINT keywatch_ = orvosim::KeywatchMessage();
  std::mutex mutex_;
  std::vector<Seen> seen_;
  std::atomic<bool> ready_{false};
  HWND window_ = nullptr;
  std::thread thread_;
};

TEST(SenderTool, ReachesTheWindowOfThatClassAndTitle) {
  const std::wstring kwsend = L"C:\\OrvoSim\\bin\\kwsend.exe";
  ASSERT_EQ(orvosim::FindMessageWindow(), nullptr) << "a message window is already running";
  EXPECT_EQ(RunProgram(kwsend, L"kwsend keywatch 1 4"), 2) << "no window must be reported";
  EXPECT_EQ(RunProgram(kwsend, L"kwsend bogus"), 1);

  FakeMessageWindow window;
  const UINT keywatch = orvosim::KeywatchMessage();
  struct Row { std::wstring args; UINT message; WPARAM wparam; LPARAM lparam; };
  const Row rows[] = {
      {L"keywatch 255 0xC1010001", keywatch, 255, static_cast<LPARAM>(static_cast<std::int32_t>(0xC1010001))},
      {L"keywatch 1 4", keywatch, 1, 4},
      {L"command 105", WM_COMMAND, 105, 0},
      {L"power 18", WM_POWERBROADCAST, 18, 0},
      {L"session 7", WM_WTSSESSION_CHANGE, 7, 0},
      {L"display", WM_DISPLAYCHANGE, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RunProgram(kwsend, L"kwsend " + row.args), 0) << row.args.c_str();
  }
  const auto seen = window.seen();
  ASSERT_EQ(seen.size(), std::size(rows));
  for (std::size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].message, rows[i].message) << i;
    EXPECT_EQ(seen[i].wparam, rows[i].wparam) << i;
    EXPECT_EQ(seen[i].lparam, rows[i].lparam) << i;
  }
}

}  // namespace
