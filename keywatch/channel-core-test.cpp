// The exchange with fwbridge against an in-memory port: order of steps, what each kind of
// answer stores or dispatches, and that a missing answer never costs the cached value.
#include "keywatch/channel-core.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct FakePort : ChannelPort {
  // Scenario.
  bool running = true;
  AnswerWait wait = AnswerWait::Opened;
  AnswerRead answer{true, false, {0, 0, 0, 0}};
  std::map<std::uint32_t, Bytes> data;
  // Record.
  std::vector<std::string> calls;
  std::vector<std::uint32_t> delivered;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> dispatched;
  std::uint32_t lastTimeoutMs = 0;
  std::size_t lastCap = 0;

  void DeleteAnswerFile() override { calls.push_back("delete"); }
  bool DeliverCode(std::uint32_t code) override {
    calls.push_back("deliver " + std::to_string(code));
    if (running) delivered.push_back(code);
    return running;
  }
  AnswerWait WaitAndOpenAnswer(std::uint32_t timeoutMs) override {
    calls.push_back("wait");
    lastTimeoutMs = timeoutMs;
    return wait;
  }
  AnswerRead ReadOpenAnswer(std::size_t cap) override {
    calls.push_back("read");
    lastCap = cap;
    return answer;
  }
  void CloseAndDeleteAnswer() override { calls.push_back("close+delete"); }
  void StoreDataValue(std::uint32_t index, std::span<const std::uint8_t> bytes) override {
    calls.push_back("store " + std::to_string(index));
    data[index] = Bytes(bytes.begin(), bytes.end());
  }
  std::optional<Bytes> LoadDataValue(std::uint32_t index) override {
    auto it = data.find(index);
    if (it == data.end()) return std::nullopt;
    return it->second;
  }
  void DispatchAnswer(std::uint32_t wparam, std::uint32_t value) override {
    calls.push_back("dispatch " + std::to_string(wparam));
    dispatched.emplace_back(wparam, value);
  }
};

TEST(DataValueName, IndexInLowerCaseHexAtLeastTwoDigits) {
  const struct {
    std::uint32_t index;
    const wchar_t* name;
  } rows[] = {{0, L"CommandType00"}, {4, L"CommandType04"},   {15, L"CommandType0f"}, {27, L"CommandType1b"},
              {38, L"CommandType26"}, {50, L"CommandType32"}, {255, L"CommandTypeff"}, {0x1abc, L"CommandType1abc"}};
  for (const auto& row : rows) EXPECT_EQ(DataValueName(row.index), row.name) << "index " << row.index;
}

TEST(AnswerValue, OnlyFourByteAnswersHaveAValue) {
  EXPECT_EQ(AnswerValue(Bytes{0x69, 0x21, 0, 0}), 8553);
  EXPECT_EQ(AnswerValue(Bytes{0xFF, 0xFF, 7, 9}), 65535);
  EXPECT_EQ(AnswerValue(Bytes{0x31, 0x01, 0, 0}), 305);
  EXPECT_EQ(AnswerValue(Bytes{}), std::nullopt);
  EXPECT_EQ(AnswerValue(Bytes{0x69, 0x21, 0}), std::nullopt);
  EXPECT_EQ(AnswerValue(Bytes{0x69, 0x21, 0, 0, 0}), std::nullopt);
}

TEST(Exchange, ButtonAnswerIsDispatchedInsideTheOpenFileAndNotStored) {
  FakePort port;
  port.answer.bytes = {0x69, 0x21, 0x00, 0x00};
  RunExchangeVia(port, kCodeBezelButton, Disposition::BezelButton());
  const std::vector<std::string> expected = {"delete", "deliver 131", "wait", "read", "dispatch 2", "close+delete"};
  EXPECT_EQ(port.calls, expected);
  ASSERT_EQ(port.dispatched.size(), 1u);
  EXPECT_EQ(port.dispatched[0], std::make_pair(2u, 8553u));
  EXPECT_TRUE(port.data.empty());
  EXPECT_EQ(port.lastTimeoutMs, kAnswerTimeoutMs);
  EXPECT_EQ(port.lastCap, kAnswerByteCap);

  port.dispatched.clear();
  RunExchangeVia(port, kCodeHotkey, Disposition::Hotkey());
  ASSERT_EQ(port.dispatched.size(), 1u);
  EXPECT_EQ(port.dispatched[0], std::make_pair(3u, 8553u));
}

TEST(Exchange, AnswerOfEachShapeAndDisposition) {
  const Bytes cached = {9, 9, 9, 9};
  const struct {
    const char* name;
    AnswerWait wait;
    AnswerRead read;
    Disposition disposition;
    std::optional<Bytes> stored;  // CommandType26 afterwards
    bool dispatched;
  } rows[] = {
      {"4 bytes stored", AnswerWait::Opened, {true, false, {1, 2, 3, 4}}, Disposition::Store(38), Bytes{1, 2, 3, 4}, false},
      {"5 bytes stored whole", AnswerWait::Opened, {true, false, {1, 2, 3, 4, 5}}, Disposition::Store(38),
       Bytes{1, 2, 3, 4, 5}, false},
      {"empty stored empty", AnswerWait::Opened, {true, false, {}}, Disposition::Store(38), Bytes{}, false},
      {"failed read stores empty", AnswerWait::Opened, {false, false, {7}}, Disposition::Store(38), Bytes{}, false},
      {"unopenable stores empty", AnswerWait::OpenFailed, {}, Disposition::Store(38), Bytes{}, false},
      {"time-out keeps cache", AnswerWait::TimedOut, {}, Disposition::Store(38), cached, false},
      {"oversized keeps cache", AnswerWait::Opened, {true, true, {}}, Disposition::Store(38), cached, false},
      {"5 bytes not dispatched", AnswerWait::Opened, {true, false, {1, 2, 3, 4, 5}}, Disposition::Hotkey(), cached,
       false},
      {"3 bytes not dispatched", AnswerWait::Opened, {true, false, {1, 2, 3}}, Disposition::BezelButton(), cached,
       false},
      {"failed read not dispatched", AnswerWait::Opened, {false, false, {1, 2, 3, 4}}, Disposition::BezelButton(),
       cached, false},
      {"time-out not dispatched", AnswerWait::TimedOut, {}, Disposition::BezelButton(), cached, false},
      {"oversized not dispatched", AnswerWait::Opened, {true, true, {1, 2, 3, 4}}, Disposition::BezelButton(), cached,
       false},
      {"4 bytes dispatched", AnswerWait::Opened, {true, false, {1, 2, 3, 4}}, Disposition::BezelButton(), cached, true},
  };
  for (const auto& row : rows) {
    FakePort port;
    port.data[38] = cached;
    port.wait = row.wait;
    port.answer = row.read;
    RunExchangeVia(port, 147, row.disposition);
    EXPECT_EQ(port.data[38], *row.stored) << row.name;
    EXPECT_EQ(!port.dispatched.empty(), row.dispatched) << row.name;
    ASSERT_FALSE(port.calls.empty()) << row.name;
    EXPECT_EQ(port.calls.back(), "close+delete") << row.name << ": the answer file must always be cleaned up";
    EXPECT_EQ(port.calls.front(), "delete") << row.name;
  }
}

TEST(Exchange, UndeliveredCodeDeletesTheOldAnswerAndNeverWaits) {
  FakePort port;
  port.running = false;
  port.data[15] = {2, 0, 0, 0};
  const auto byte = QueryDataByteVia(port, kRefreshAdapterState);
  const std::vector<std::string> expected = {"delete", "deliver 145"};
  EXPECT_EQ(port.calls, expected);
  EXPECT_EQ(byte, 2) << "the cached value stays the last known one";
}

TEST(Exchange, CodesWithoutAnswerNeverWait) {
  for (std::uint32_t code : {kCodeStart, kCodeSwitchOn, kCodeSwitchOff}) {
    FakePort port;
    EXPECT_TRUE(SendCodeVia(port, code));
    const std::vector<std::string> expected = {"delete", "deliver " + std::to_string(code)};
    EXPECT_EQ(port.calls, expected) << code;
  }
}

TEST(Exchange, FailedAnswerDoesNotLeakIntoTheNextExchange) {
  FakePort port;
  port.answer = {true, false, {1, 2, 3}};
  RunExchangeVia(port, kCodeBezelButton, Disposition::BezelButton());
  port.answer = {true, false, {0x0F, 0, 0, 0}};
  RefreshDataValueVia(port, kRefreshOrientationMask);
  EXPECT_TRUE(port.dispatched.empty());
  EXPECT_EQ(port.data[38], (Bytes{0x0F, 0, 0, 0}));
}

TEST(QueryDataByte, FirstByteOfTheRefreshedValueOrAbsent) {
  const struct {
    const char* name;
    AnswerRead read;
    std::optional<std::uint8_t> expected;
  } rows[] = {
      {"four bytes", {true, false, {3, 0, 0, 0}}, 3},
      {"one byte", {true, false, {7}}, 7},
      {"long value", {true, false, {0xAB, 1, 2, 3, 4, 5}}, 0xAB},
      {"empty", {true, false, {}}, std::nullopt},
      {"failed read", {false, false, {}}, std::nullopt},
  };
  for (const auto& row : rows) {
    FakePort port;
    port.answer = row.read;
    EXPECT_EQ(QueryDataByteVia(port, kRefreshAdapterState), row.expected) << row.name;
  }
  FakePort missing;  // the value cannot be read back at all (key missing or wrong type)
  missing.running = false;
  EXPECT_EQ(QueryDataByteVia(missing, kRefreshAdapterState), std::nullopt);
}

TEST(Switch32, AbsentEmptyAndZeroAreOffAnythingElseOn) {
  const struct {
    const char* name;
    std::optional<Bytes> value;
    bool on;
  } rows[] = {{"absent", std::nullopt, false}, {"empty", Bytes{}, false}, {"0", Bytes{0, 1, 1, 1}, false},
              {"1", Bytes{1, 0, 0, 0}, true},   {"2", Bytes{2}, true},         {"ff", Bytes{0xFF, 0, 0, 0}, true}};
  for (const auto& row : rows) {
    FakePort port;
    port.running = false;  // read the cache as it stands
    if (row.value) port.data[50] = *row.value;
    EXPECT_EQ(IsSwitchOnVia(port), row.on) << row.name;
    EXPECT_EQ(port.calls[1], "deliver 148") << row.name;
  }
}

TEST(StartupSequence, CodesAndValuesInTheFixedOrder) {
  FakePort port;
  port.answer = {true, false, {5, 6, 7, 8}};
  RunStartupSequenceVia(port);
  const std::vector<std::uint32_t> codes = {128, 140, 141, 142, 143, 134, 135, 136, 144, 137, 145, 138, 139, 147, 148};
  EXPECT_EQ(port.delivered, codes);
  std::vector<std::string> stores;
  for (const auto& call : port.calls)
    if (call.rfind("store", 0) == 0) stores.push_back(call);
  const std::vector<std::string> expected = {"store 1",  "store 2",  "store 3",  "store 4",  "store 5",
                                             "store 7",  "store 8",  "store 13", "store 14", "store 15",
                                             "store 16", "store 27", "store 38", "store 50"};
  EXPECT_EQ(stores, expected);
  EXPECT_EQ(port.calls[3], "deliver 140") << "code 128 awaits no answer";
  EXPECT_TRUE(port.dispatched.empty());
}

}  // namespace
