// WM_KEYWATCH from an outside sender under Wine: every row of the dispatch table that reaches
// fwbridge or starts a program, the session gate, and resume from sleep.
#include <windows.h>

#include <algorithm>
#include <set>

#include "standins/sim-client.h"
#include "tests/e2e/keywatch/keywatch-session.h"

namespace kwtest {
namespace {

using Codes = std::vector<std::uint32_t>;

constexpr wchar_t kAdaptalert[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\adaptalert.exe";
constexpr wchar_t kHubframe[] = L"C:\\Program Files\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe";
constexpr wchar_t kHubframeX86[] = L"C:\\Program Files (x86)\\Orvotek\\Tactiva\\Hubframe 2.0\\Hubframe.exe";
// The default Event tree's programs for the stand-in's answers 8553 (131) and 305 (132).
constexpr wchar_t kRotor[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe";
constexpr wchar_t kSpecsheet[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\specsheet.exe";

// Started programs record themselves shortly after ShellExecuteW returns.
std::multiset<std::wstring> StartsAfterSettling(std::size_t expected) {
  std::vector<std::wstring> all;
  orvosim::WaitFor([&] {
    for (auto& image : NewStarts()) all.push_back(image);
    return all.size() >= expected;
  }, expected ? 5000 : 300);
  ::Sleep(150);
  for (auto& image : NewStarts()) all.push_back(image);
  std::multiset<std::wstring> lowered;
  for (auto image : all) {
    std::transform(image.begin(), image.end(), image.begin(), ::towlower);
    lowered.insert(image);
  }
  return lowered;
}

std::multiset<std::wstring> Lowered(std::initializer_list<const wchar_t*> paths) {
  std::multiset<std::wstring> out;
  for (const wchar_t* path : paths) {
    std::wstring text = path;
    std::transform(text.begin(), text.end(), text.begin(), ::towlower);
    out.insert(text);
  }
  return out;
}

TEST_F(KeywatchTest, DispatchTableRowsThatReachFwbridgeOrStartPrograms) {
  StartReady();
  const struct {
    std::uint32_t wparam;
    std::uint32_t lparam;
    std::uint8_t switch32;  // first byte of fwbridge's answer to 148
    Codes codes;
    std::multiset<std::wstring> starts;
  } rows[] = {
      {1, 3, 0, {145}, {}},
      {1, 4, 0, {131}, Lowered({kRotor})},
      {1, 5, 0, {134}, {}},
      {1, 7, 0, {148, 202}, {}},
      {1, 7, 1, {148, 201}, {}},
      {1, 7, 2, {148, 201}, {}},
      {1, 2, 0, {}, {}},
      {1, 6, 0, {}, {}},
      {1, 0x01250001, 0, {}, {}},
      {4, 2, 0, {}, Lowered({kAdaptalert})},
      {4, 3, 0, {}, Lowered({kAdaptalert})},
      {4, 0, 0, {}, {}},
      {4, 1, 0, {}, {}},
      {4, 4, 0, {}, {}},
      {5, 0, 0, {201}, {}},
      {5, 1, 0, {202}, {}},
      {5, 2, 0, {}, {}},
      {255, 0x41010001, 0, {132}, Lowered({kSpecsheet})},
      {255, 0xC1010001, 0, {132}, Lowered({kSpecsheet})},
      {255, 0x41420001, 0, {}, Lowered({kHubframe, kHubframeX86})},
      {255, 0xC1420001, 0, {}, Lowered({kHubframe, kHubframeX86})},
      {255, 0x41420002, 0, {}, {}},
      {255, 0x12345678, 0, {}, {}},
      {0, 3, 0, {}, {}},
      {6, 0, 0, {}, {}},
      {254, 0x41420001, 0, {}, {}},
  };
  NewCodes();
  NewStarts();
  for (const auto& row : rows) {
    orvosim::SetAnswer(148, {row.switch32, 0, 0, 0});
    SendKeywatch(row.wparam, row.lparam);
    EXPECT_EQ(NewCodes(), row.codes) << "wparam " << row.wparam << " lparam 0x" << std::hex << row.lparam
                                     << " switch " << int(row.switch32);
    EXPECT_EQ(StartsAfterSettling(row.starts.size()), row.starts)
        << "wparam " << row.wparam << " lparam 0x" << std::hex << row.lparam;
  }
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
}

TEST_F(KeywatchTest, MediaCentreStartsCarryChromeless) {
  StartReady();
  NewStartLines();
  SendKeywatch(255, 0x41420001);
  std::vector<std::wstring> lines;
  orvosim::WaitFor([&] {
    for (auto& l : NewStartLines()) lines.push_back(l);
    return lines.size() >= 2;
  }, 5000);
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& line : lines) {
    EXPECT_NE(line.find(L" chromeless"), std::wstring::npos) << Narrow(line);
  }
}

TEST_F(KeywatchTest, SessionGateDropsWhileLockedAndUnlockRunsOneAdapterCheck) {
  orvosim::SetAnswer(145, {2, 0, 0, 0});  // every adapter check starts the warning
  StartReady();
  ASSERT_EQ(StartsAfterSettling(1).size(), 1u) << "the check at creation";
  NewCodes();

  Send(WM_WTSSESSION_CHANGE, 7, 0);  // WTS_SESSION_LOCK
  SendKeywatch(1, 5);
  SendKeywatch(1, 3);
  SendKeywatch(4, 2);
  SendKeywatch(5, 0);
  SendKeywatch(255, 0x41420001);
  SendKeywatch(255, 0x41010001);
  EXPECT_EQ(NewCodes(), Codes{}) << "every WM_KEYWATCH is dropped while locked";
  EXPECT_TRUE(StartsAfterSettling(0).empty());

  for (WPARAM nothing : {3, 4, 5, 6}) {  // remote connect/disconnect, logon, logoff
    Send(WM_WTSSESSION_CHANGE, nothing, 0);
  }
  SendKeywatch(1, 5);
  EXPECT_EQ(NewCodes(), Codes{}) << "remote and logon notifications do not open the gate";

  Send(WM_WTSSESSION_CHANGE, 8, 0);  // WTS_SESSION_UNLOCK
  EXPECT_EQ(NewCodes(), Codes{145}) << "unlock runs exactly one adapter check";
  EXPECT_EQ(StartsAfterSettling(1), Lowered({kAdaptalert}));
  SendKeywatch(1, 5);
  EXPECT_EQ(NewCodes(), Codes{134}) << "nothing dropped is replayed, new requests are handled";

  Send(WM_WTSSESSION_CHANGE, 2, 0);  // WTS_CONSOLE_DISCONNECT
  SendKeywatch(1, 5);
  EXPECT_EQ(NewCodes(), Codes{});
  Send(WM_WTSSESSION_CHANGE, 1, 0);  // WTS_CONSOLE_CONNECT
  EXPECT_EQ(NewCodes(), Codes{145});
  EXPECT_EQ(StartsAfterSettling(1), Lowered({kAdaptalert}));

  for (WPARAM nothing : {3, 4, 5, 6}) Send(WM_WTSSESSION_CHANGE, nothing, 0);
  EXPECT_EQ(NewCodes(), Codes{}) << "no adapter check on other notifications";
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
}

TEST_F(KeywatchTest, ResumeFromSleepRunsTheButtonExchangeEvenWhileLocked) {
  StartReady();
  NewCodes();
  Send(WM_POWERBROADCAST, 18, 0);  // PBT_APMRESUMEAUTOMATIC
  EXPECT_EQ(NewCodes(), (Codes{131, 128}));
  for (WPARAM other : {4, 7, 10, 0x12 + 1}) Send(WM_POWERBROADCAST, other, 0);
  EXPECT_EQ(NewCodes(), Codes{}) << "other power broadcasts do nothing";

  Send(WM_WTSSESSION_CHANGE, 7, 0);
  Send(WM_POWERBROADCAST, 18, 0);
  EXPECT_EQ(NewCodes(), (Codes{131, 128})) << "the resume is not gated";
  EXPECT_FALSE(AnswerFilePresent()) << "the button answer is read and deleted even while locked";
  EXPECT_EQ(DataValue(L"CommandType83"), std::nullopt) << "button answers are never cached";
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace kwtest
