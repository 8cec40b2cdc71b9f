// keywatch from start to exit under Wine: the wait for fwbridge, the Idle state, the startup
// sequence and its Data values, the first adapter check, and the message window itself.
#include <windows.h>

#include <algorithm>

#include "standins/sim-client.h"
#include "tests/e2e/keywatch/keywatch-session.h"

namespace kwtest {
namespace {

using Codes = std::vector<std::uint32_t>;
using Calls = std::vector<std::wstring>;

const Codes kStartupCodes = {128, 140, 141, 142, 143, 134, 135, 136, 144, 137, 145, 138, 139, 147, 148};

std::size_t CountImage(const std::vector<std::wstring>& images, const wchar_t* name) {
  return static_cast<std::size_t>(std::count_if(images.begin(), images.end(), [name](const std::wstring& image) {
    return image.size() >= wcslen(name) && _wcsicmp(image.c_str() + image.size() - wcslen(name), name) == 0;
  }));
}

TEST_F(KeywatchTest, WithoutFwbridgeItIdlesAndStillExitsCleanly) {
  ASSERT_TRUE(orvosim::RemoveFwbridge());
  StartReady();
  SendKeywatch(1, 4);
  SendKeywatch(1, 5);
  EXPECT_TRUE(NewCodes().empty()) << "no control code can reach a missing service";
  EXPECT_TRUE(DataValueCount() == 0) << "no startup sequence ran";
  EXPECT_EQ(PadlinkCalls(), Calls{}) << "padlink start is never called in the Idle state";
  SendKeywatch(255, 0x41420001);
  std::size_t started = 0;
  orvosim::WaitFor([&] { return (started += NewStarts().size()) >= 2; }, 5000);
  EXPECT_EQ(started, 2u) << "other senders are still served";
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
  EXPECT_EQ(PadlinkCalls(), Calls{L"stop"});
}

TEST_F(KeywatchTest, StoppedServiceIsPolledUntilItRunsThenStartupFollowsWithinOnePoll) {
  ASSERT_TRUE(orvosim::StopFwbridge());
  ASSERT_TRUE(keywatch.Start());
  ::Sleep(2500);
  EXPECT_TRUE(NewCodes().empty());
  EXPECT_EQ(PadlinkCalls(), Calls{});
  const ULONGLONG started = ::GetTickCount64();
  ASSERT_TRUE(orvosim::StartFwbridge());
  ASSERT_TRUE(keywatch.WaitReady(10000));
  const ULONGLONG readyAfter = ::GetTickCount64() - started;
  EXPECT_LE(readyAfter, 5000u + 2000u) << "startup must follow within one 5000 ms poll";
  Codes codes = NewCodes();
  ASSERT_GE(codes.size(), kStartupCodes.size());
  EXPECT_EQ(Codes(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(kStartupCodes.size())), kStartupCodes);
  EXPECT_EQ(PadlinkCalls(), Calls{L"start"});
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
  EXPECT_EQ(PadlinkCalls(), (Calls{L"start", L"stop"}));
}

TEST_F(KeywatchTest, StartupSequenceInOrderFillsTheFourteenDataValues) {
  // A distinct answer per code shows that each lands under its own index.
  for (std::uint32_t code : kStartupCodes) {
    if (code != 128) orvosim::SetAnswer(code, {static_cast<std::uint8_t>(code), 0x5A, 0xA5, 0x01});
  }
  StartReady();
  Codes expected = kStartupCodes;
  expected.push_back(145);  // the adapter check at the end of creation
  EXPECT_EQ(NewCodes(), expected);
  const struct {
    const wchar_t* name;
    std::uint8_t code;
  } values[] = {{L"CommandType01", 140}, {L"CommandType02", 141}, {L"CommandType03", 142}, {L"CommandType04", 143},
                {L"CommandType05", 134}, {L"CommandType07", 135}, {L"CommandType08", 136}, {L"CommandType0d", 144},
                {L"CommandType0e", 137}, {L"CommandType0f", 145}, {L"CommandType10", 138}, {L"CommandType1b", 139},
                {L"CommandType26", 147}, {L"CommandType32", 148}};
  for (const auto& value : values) {
    const auto got = DataValue(value.name);
    EXPECT_EQ(got, (Bytes{value.code, 0x5A, 0xA5, 0x01})) << Narrow(value.name) << " = " << Narrow(Hex(got));
  }
  EXPECT_EQ(DataValueCount(), 14u);
  EXPECT_FALSE(AnswerFilePresent()) << "every answer file is deleted after its read";
  EXPECT_EQ(PadlinkCalls(), Calls{L"start"});
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
}

TEST_F(KeywatchTest, AdapterCheckAtCreationStartsTheWarningOnlyFor2And3) {
  const struct {
    const char* name;
    std::optional<Bytes> answer;  // nullopt: fwbridge gives no answer at all
    std::size_t starts;
  } rows[] = {{"0", Bytes{0, 0, 0, 0}, 0}, {"1", Bytes{1, 0, 0, 0}, 0}, {"2", Bytes{2, 0, 0, 0}, 1},
              {"3", Bytes{3, 0, 0, 0}, 1}, {"4", Bytes{4, 0, 0, 0}, 0}, {"absent", std::nullopt, 0}};
  for (const auto& row : rows) {
    ResetMachine();
    if (row.answer) {
      orvosim::SetAnswer(145, *row.answer);
    } else {
      orvosim::SetNoAnswer(145);
    }
    KeywatchProcess process;
    ASSERT_TRUE(process.Start()) << row.name;
    ASSERT_TRUE(process.WaitReady(20000)) << row.name;
    // The warning is started before the loop runs; give the started program time to record.
    ::Sleep(700);
    const auto starts = NewStarts();
    EXPECT_EQ(CountImage(starts, L"\\adaptalert.exe"), row.starts) << "adapter state " << row.name;
    EXPECT_EQ(starts.size(), row.starts) << "adapter state " << row.name;
    EXPECT_EQ(process.Exit(), std::optional<DWORD>(0)) << row.name;
  }
}

TEST_F(KeywatchTest, WindowIsHiddenTransparentAndNeverActivated) {
  StartReady();
  HWND window = orvosim::FindMessageWindow();
  ASSERT_NE(window, nullptr);
  wchar_t text[128];
  std::fill(std::begin(text), std::end(text), L'\xA5A5');
  EXPECT_EQ(::GetClassNameW(window, text, 128), 20);
  EXPECT_STREQ(text, L"Orvo Message Service");
  EXPECT_EQ(text[21], L'\xA5A5') << "sentinel past the terminator";
  std::fill(std::begin(text), std::end(text), L'\xA5A5');
  EXPECT_EQ(::GetWindowTextW(window, text, 128), 20);
  EXPECT_STREQ(text, L"Orvo Message Service");
  EXPECT_FALSE(::IsWindowVisible(window));
  const LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & ~(WS_CLIPSIBLINGS | WS_CLIPCHILDREN), static_cast<LONG>(WS_POPUP)) << std::hex << style;
  const LONG exStyle = ::GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_EQ(exStyle & (WS_EX_NOACTIVATE | WS_EX_LAYERED), WS_EX_NOACTIVATE | WS_EX_LAYERED) << std::hex << exStyle;
  COLORREF key = 0xdeadbeef;
  BYTE alpha = 0xA5;
  DWORD flags = 0xdeadbeef;
  ASSERT_TRUE(::GetLayeredWindowAttributes(window, &key, &alpha, &flags)) << ::GetLastError();
  EXPECT_EQ(alpha, 0);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(key, 0u);
  RECT rect = {-1, -1, -1, -1};
  ASSERT_TRUE(::GetWindowRect(window, &rect));
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right - rect.left, 480);
  EXPECT_EQ(rect.bottom - rect.top, 60);
  EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
  EXPECT_EQ(::GetMenu(window), nullptr);
}

TEST_F(KeywatchTest, Command104AndItsAcceleratorsDoNothing105Exits) {
  StartReady();
  NewCodes();
  HWND window = orvosim::FindMessageWindow();
  ASSERT_NE(window, nullptr);
  Send(WM_COMMAND, 104, 0);
  Send(WM_COMMAND, MAKEWPARAM(104, 1), 0);  // as an accelerator delivers it
  // Alt with "?" and Alt with "/" reach the loop as WM_SYSCHAR; the table turns them into 104.
  for (WPARAM key : {WPARAM('?'), WPARAM('/')}) {
    ASSERT_TRUE(::PostMessageW(window, WM_SYSCHAR, key, (1 << 29) | 1));
  }
  Send(WM_COMMAND, 106, 0);  // unknown identifiers go to the default procedure
  Send(WM_NULL, 0, 0);       // the posted keys have been handled once this returns
  EXPECT_TRUE(keywatch.Running());
  EXPECT_EQ(orvosim::FindMessageWindow(), window);
  EXPECT_TRUE(NewCodes().empty());
  EXPECT_TRUE(NewStarts().empty());
  Send(WM_COMMAND, 105, 0);
  ASSERT_EQ(::WaitForSingleObject(keywatch.Handle(), 5000), WAIT_OBJECT_0) << "105 must end the program";
  DWORD code = 0xdeadbeef;
  ::GetExitCodeProcess(keywatch.Handle(), &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(PadlinkCalls(), (Calls{L"start", L"stop"}));
}

}  // namespace
}  // namespace kwtest
