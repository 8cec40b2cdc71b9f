// The dispatch table of WM_KEYWATCH and the message window's reactions, row by row, against
// a host that records every call and re-enters the table for self-sent requests.
#include "keywatch/keywatch-protocol.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

struct FakeHost : KeywatchHost {
  std::map<std::uint32_t, std::optional<std::uint8_t>> bytes;  // QueryDataByte answers by index
  bool switchOn = false;
  std::vector<std::string> calls;

  void SendSelf(std::uint32_t wparam, std::uint32_t lparam) override {
    calls.push_back("send " + std::to_string(wparam) + "," + std::to_string(lparam));
    HandleKeywatchRequest(*this, wparam, lparam);
  }
  void ApplyOrientationBit() override { calls.push_back("orientation-bit"); }
  void RotateDisplay(int target) override { calls.push_back("rotate " + std::to_string(target)); }
  void RunButtonAction(int kind, std::uint32_t number) override {
    calls.push_back("action " + std::to_string(kind) + "," + std::to_string(number));
  }
  void LaunchAdapterWarning() override { calls.push_back("adaptalert"); }
  void LaunchMediaCentre() override { calls.push_back("media-centre"); }
  std::optional<std::uint8_t> QueryDataByte(DataRefresh refresh) override {
    calls.push_back("query " + std::to_string(refresh.code) + "," + std::to_string(refresh.index));
    return bytes[refresh.index];
  }
  void RefreshDataValue(DataRefresh refresh) override {
    calls.push_back("refresh " + std::to_string(refresh.code) + "," + std::to_string(refresh.index));
  }
  void SendControlCode(std::uint32_t code) override { calls.push_back("code " + std::to_string(code)); }
  void RunExchange(std::uint32_t code, Disposition disposition) override {
    calls.push_back("exchange " + std::to_string(code) + " as " + std::to_string(static_cast<int>(disposition.use)));
  }
  bool IsCommandType32SwitchOn() override {
    calls.push_back("switch32");
    return switchOn;
  }
};

using Calls = std::vector<std::string>;

TEST(DispatchTable, EveryRow) {
  const struct {
    std::uint32_t wparam;
    std::uint32_t lparam;
    Calls expected;
  } rows[] = {
      {1, 1, {"orientation-bit"}},
      {1, 4, {"exchange 131 as 1"}},
      {1, 5, {"refresh 134,5"}},
      {1, 0, {}},
      {1, 2, {}},
      {1, 6, {}},
      {1, 0x01250001, {}},
      {2, 8553, {"action 1,8553"}},
      {2, 0, {"action 1,0"}},
      {3, 305, {"action 2,305"}},
      {3, 65535, {"action 2,65535"}},
      {4, 2, {"adaptalert"}},
      {4, 3, {"adaptalert"}},
      {4, 0, {}},
      {4, 1, {}},
      {4, 4, {}},
      {4, 255, {}},
      {5, 0, {"code 201"}},
      {5, 1, {"code 202"}},
      {5, 2, {}},
      {255, 0x01250001, {"rotate 0"}},
      {255, 0x01260001, {"rotate 1"}},
      {255, 0x01270001, {"rotate 2"}},
      {255, 0x01280001, {"rotate 3"}},
      {255, 0x41010001, {"exchange 132 as 2"}},
      {255, 0xC1010001, {"exchange 132 as 2"}},
      {255, 0x41420001, {"media-centre"}},
      {255, 0xC1420001, {"media-centre"}},
      {255, 0x01290001, {}},
      {255, 0x01240001, {}},
      {255, 0x41010000, {}},
      {255, 0, {}},
      {0, 3, {}},
      {6, 0, {}},
      {254, 0x41420001, {}},
      {256, 1, {}},
  };
  for (const auto& row : rows) {
    FakeHost host;
    HandleKeywatchRequest(host, row.wparam, row.lparam);
    EXPECT_EQ(host.calls, row.expected) << "wparam " << row.wparam << " lparam 0x" << std::hex << row.lparam;
  }
}

TEST(DispatchTable, AdapterCheckChainsToTheWarningOnlyFor2And3) {
  const struct {
    std::optional<std::uint8_t> state;
    Calls expected;
  } rows[] = {
      {std::nullopt, {"query 145,15"}},
      {0, {"query 145,15", "send 4,0"}},
      {1, {"query 145,15", "send 4,1"}},
      {2, {"query 145,15", "send 4,2", "adaptalert"}},
      {3, {"query 145,15", "send 4,3", "adaptalert"}},
      {4, {"query 145,15", "send 4,4"}},
      {0xFF, {"query 145,15", "send 4,255"}},
  };
  for (const auto& row : rows) {
    FakeHost host;
    host.bytes[15] = row.state;
    HandleKeywatchRequest(host, kKindFirmwareEvent, kEventAdapterCheck);
    EXPECT_EQ(host.calls, row.expected) << "state " << (row.state ? int(*row.state) : -1);
  }
}

TEST(DispatchTable, Event7SendsTheSwitchRequestThenItsCode) {
  FakeHost on;
  on.switchOn = true;
  HandleKeywatchRequest(on, 1, 7);
  EXPECT_EQ(on.calls, (Calls{"switch32", "send 5,0", "code 201"}));
  FakeHost off;
  HandleKeywatchRequest(off, 1, 7);
  EXPECT_EQ(off.calls, (Calls{"switch32", "send 5,1", "code 202"}));
}

TEST(Resume, BezelButtonExchangeThenStartCode) {
  FakeHost host;
  RunResumeExchange(host);
  EXPECT_EQ(host.calls, (Calls{"exchange 131 as 1", "code 128"}));
}

TEST(Reactions, SessionCommandAndPower) {
  const struct {
    std::uint32_t wparam;
    SessionReaction reaction;
  } sessions[] = {{1, SessionReaction::Activate},   {8, SessionReaction::Activate}, {2, SessionReaction::Deactivate},
                  {7, SessionReaction::Deactivate}, {3, SessionReaction::None},     {4, SessionReaction::None},
                  {5, SessionReaction::None},       {6, SessionReaction::None},     {9, SessionReaction::None},
                  {0, SessionReaction::None}};
  for (const auto& row : sessions) EXPECT_EQ(ReactToSessionChange(row.wparam), row.reaction) << row.wparam;

  const struct {
    std::uint32_t wparam;
    CommandReaction reaction;
  } commands[] = {{104, CommandReaction::Ignore},
                  {105, CommandReaction::Exit},
                  {0x10069, CommandReaction::Exit},  // accelerator notification code in the high word
                  {0x10068, CommandReaction::Ignore},
                  {106, CommandReaction::Default},
                  {0, CommandReaction::Default}};
  for (const auto& row : commands) EXPECT_EQ(ReactToCommand(row.wparam), row.reaction) << row.wparam;

  EXPECT_TRUE(IsResumeBroadcast(18));
  for (std::uint32_t other : {4u, 7u, 10u, 0x12u + 1, 0x8013u}) EXPECT_FALSE(IsResumeBroadcast(other)) << other;
}

}  // namespace
