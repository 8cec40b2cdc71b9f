// The command channel under Wine with the fwbridge stand-in: answers of every shape, a
// stopped service, a silent service, a file still being written and an absurdly long one.
#include <windows.h>

#include "standins/sim-client.h"
#include "tests/e2e/keywatch/keywatch-session.h"

namespace kwtest {
namespace {

using Codes = std::vector<std::uint32_t>;

TEST_F(KeywatchTest, ButtonAnswerIsDispatchedNotCached) {
  orvosim::SetAnswer(131, {0x69, 0x21, 0x00, 0x00});
  StartReady();
  NewCodes();
  const std::size_t valuesBefore = DataValueCount();
  const auto before = DataValue(L"CommandType05");
  SendKeywatch(1, 4);
  EXPECT_EQ(NewCodes(), Codes{131});
  EXPECT_EQ(DataValueCount(), valuesBefore) << "the Data key is left alone";
  EXPECT_EQ(DataValue(L"CommandType05"), before);
  EXPECT_FALSE(AnswerFilePresent());
}

TEST_F(KeywatchTest, AnswersAreStoredWholeOrEmpty) {
  StartReady();
  const struct {
    const char* name;
    Bytes answer;
  } rows[] = {{"4 bytes", {0x69, 0x21, 0x00, 0x00}}, {"5 bytes", {1, 2, 3, 4, 5}}, {"1 byte", {7}}, {"empty", {}}};
  for (const auto& row : rows) {
    orvosim::SetAnswer(134, row.answer);
    SendKeywatch(1, 5);
    const auto got = DataValue(L"CommandType05");
    EXPECT_EQ(got, std::optional<Bytes>(row.answer)) << row.name << ": got " << Narrow(Hex(got));
    EXPECT_FALSE(AnswerFilePresent()) << row.name;
  }
}

TEST_F(KeywatchTest, EmptyAdapterAnswerRaisesNoWarning) {
  StartReady();
  SetDataValue(L"CommandType0f", {2, 0, 0, 0});  // a stale warning state must not be reused
  orvosim::SetAnswer(145, {});
  NewStarts();
  SendKeywatch(1, 3);
  EXPECT_EQ(DataValue(L"CommandType0f"), std::optional<Bytes>(Bytes{}));
  ::Sleep(500);
  EXPECT_TRUE(NewStarts().empty()) << "an empty value is absent: no wparam 4, no adaptalert";
}

TEST_F(KeywatchTest, StoppedServiceStillLosesTheOldAnswerAndNothingWaits) {
  StartReady();
  SetDataValue(L"CommandType05", {0xAA, 0xBB, 0xCC, 0xDD});
  ASSERT_TRUE(orvosim::StopFwbridge());
  NewCodes();
  const struct {
    std::uint32_t wparam, lparam;
  } rows[] = {{1, 5}, {1, 4}, {1, 3}, {1, 7}, {255, 0x41010001}};
  for (const auto& row : rows) {
    WriteAnswerFile({1, 2, 3, 4});
    const double ms = SendKeywatch(row.wparam, row.lparam);
    EXPECT_LT(ms, 500.0) << "wparam " << row.wparam << " lparam " << row.lparam << " waited for a code never sent";
    EXPECT_FALSE(AnswerFilePresent()) << "the old answer file is deleted first";
  }
  EXPECT_EQ(NewCodes(), Codes{});
  EXPECT_EQ(DataValue(L"CommandType05"), std::optional<Bytes>(Bytes{0xAA, 0xBB, 0xCC, 0xDD}));
  const double resumeMs = Send(WM_POWERBROADCAST, 18, 0);
  EXPECT_LT(resumeMs, 500.0);
}

TEST_F(KeywatchTest, CodesWithoutAnswerNeverWait) {
  StartReady();
  NewCodes();
  for (std::uint32_t lparam : {0u, 1u}) {
    const double ms = SendKeywatch(5, lparam);
    EXPECT_LT(ms, 500.0) << "wparam 5 lparam " << lparam;
  }
  orvosim::SetAnswer(131, {1, 0, 0, 0});
  const double resumeMs = Send(WM_POWERBROADCAST, 18, 0);  // 131 answered at once, then 128
  EXPECT_LT(resumeMs, 500.0);
  EXPECT_EQ(NewCodes(), (Codes{201, 202, 131, 128}));
}

TEST_F(KeywatchTest, NoAnswerTimesOutAndKeepsTheCachedValue) {
  StartReady();
  SetDataValue(L"CommandType05", {0xAA, 0xBB, 0xCC, 0xDD});
  orvosim::SetNoAnswer(134);
  const double ms = SendKeywatch(1, 5);
  EXPECT_GE(ms, 1900.0);
  EXPECT_LT(ms, 4000.0) << "the wait is bounded";
  EXPECT_EQ(DataValue(L"CommandType05"), std::optional<Bytes>(Bytes{0xAA, 0xBB, 0xCC, 0xDD}));
  orvosim::SetNoAnswer(131);
  const double buttonMs = SendKeywatch(1, 4);
  EXPECT_LT(buttonMs, 4000.0);
}

TEST_F(KeywatchTest, SlowAndHeldAnswersAreReadOnlyOnceComplete) {
  StartReady();
  const struct {
    const char* name;
    DWORD delayMs, holdMs;
    Bytes answer;
  } rows[] = {{"delayed 600 ms", 600, 0, {0x11, 0x22, 0x33, 0x44}},
              {"held 800 ms half-written", 0, 800, {0x55, 0x66, 0x77, 0x88}},
              {"delayed and held", 300, 600, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE}}};
  for (const auto& row : rows) {
    orvosim::ResetFwbridgeScenario();
    orvosim::SetAnswer(134, row.answer);
    orvosim::SetAnswerDelay(134, row.delayMs);
    orvosim::SetAnswerHold(134, row.holdMs);
    const double ms = SendKeywatch(1, 5);
    const auto got = DataValue(L"CommandType05");
    EXPECT_EQ(got, std::optional<Bytes>(row.answer)) << row.name << ": got " << Narrow(Hex(got));
    EXPECT_GE(ms, static_cast<double>(row.delayMs + row.holdMs) - 50.0) << row.name;
    EXPECT_FALSE(AnswerFilePresent()) << row.name;
  }
}

TEST_F(KeywatchTest, AbsurdlyLongAnswerIsCappedNotStoredAndDeleted) {
  StartReady();
  SetDataValue(L"CommandType05", {0xAA, 0xBB, 0xCC, 0xDD});
  orvosim::SetAnswer(134, {1, 2, 3, 4});
  orvosim::SetAnswerRepeat(134, 250000);  // 1 MB
  const double ms = SendKeywatch(1, 5);
  EXPECT_LT(ms, 4000.0);
  EXPECT_EQ(DataValue(L"CommandType05"), std::optional<Bytes>(Bytes{0xAA, 0xBB, 0xCC, 0xDD}));
  EXPECT_FALSE(AnswerFilePresent());
  orvosim::SetAnswer(131, {0x10, 0x00, 0x00, 0x00});
  orvosim::SetAnswerRepeat(131, 250000);
  SendKeywatch(1, 4);
  EXPECT_FALSE(AnswerFilePresent());
  orvosim::ResetFwbridgeScenario();
  orvosim::SetAnswer(134, {5, 6, 7, 8});
  SendKeywatch(1, 5);
  EXPECT_EQ(DataValue(L"CommandType05"), std::optional<Bytes>(Bytes{5, 6, 7, 8})) << "the next exchange is normal";
}

}  // namespace
}  // namespace kwtest
