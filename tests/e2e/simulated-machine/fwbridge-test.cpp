// The fwbridge stand-in under Wine's real Service Control Manager: it answers each code as
// the scenario says, records codes in arrival order, and is unreachable once stopped.
#include <gtest/gtest.h>

#include <windows.h>

#include "common/scoped-handle.h"
#include "standins/sim-client.h"
#include "standins/sim-paths.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Opens the answer file as keywatch does (read sharing only), which fails while the writer
// still holds it.
std::optional<Bytes> ReadAnswerFile() {
  orvo::ScopedFile file(::CreateFileW(orvosim::kAnswerFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  Bytes bytes(::GetFileSize(file.get(), nullptr));
  DWORD got = 0;
  if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(got);
  return bytes;
}

bool AnswerFileExists() { return ::GetFileAttributesW(orvosim::kAnswerFile) != INVALID_FILE_ATTRIBUTES; }

std::optional<Bytes> Exchange(DWORD code, DWORD waitMs = 5000) {
  ::DeleteFileW(orvosim::kAnswerFile);
  if (!orvosim::SendFwbridgeCode(code)) return std::nullopt;
  std::optional<Bytes> answer;
  orvosim::WaitFor([&] { return (answer = ReadAnswerFile()).has_value(); }, waitMs);
  return answer;
}

class Fwbridge : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(orvosim::InstallFwbridge()) << ::GetLastError();
    ASSERT_TRUE(orvosim::StartFwbridge()) << "state " << orvosim::FwbridgeState();
  }
  static void TearDownTestSuite() {
    orvosim::ResetFwbridgeScenario();
    EXPECT_TRUE(orvosim::RemoveFwbridge());
  }
  void SetUp() override {
    orvosim::ResetFwbridgeScenario();
    orvosim::ClearRecord(orvosim::kReceivedLog);
    ::DeleteFileW(orvosim::kAnswerFile);
  }
};

TEST_F(Fwbridge, AnswersWithTheConfiguredBytesOrThePlainMachine) {
  orvosim::SetAnswer(143, {0x69, 0x21, 0x00, 0x00});
  orvosim::SetAnswer(147, {1, 2, 3, 4, 5});
  orvosim::SetAnswer(145, {});
  struct Row { DWORD code; Bytes expected; };
  const Row rows[] = {{143, {0x69, 0x21, 0, 0}}, {147, {1, 2, 3, 4, 5}}, {145, {}},
                      {131, {0x69, 0x21, 0, 0}}, {132, {0x31, 0x01, 0, 0}}, {148, {0, 0, 0, 0}}};
  for (const Row& row : rows) {
    EXPECT_EQ(Exchange(row.code), row.expected) << "code " << row.code;
  }
}

TEST_F(Fwbridge, RecordsCodesInArrivalOrderAndWritesNothingForUnansweredOnes) {
  const std::vector<std::uint32_t> sent = {128, 201, 202, 140, 128, 148};
  for (std::uint32_t code : sent) {
    ::DeleteFileW(orvosim::kAnswerFile);
    ASSERT_TRUE(orvosim::SendFwbridgeCode(code)) << code;
    if (code == 128 || code == 201 || code == 202) {
      ::Sleep(300);
      EXPECT_FALSE(AnswerFileExists()) << "code " << code << " wrote an answer";
    } else {
      EXPECT_TRUE(orvosim::WaitFor(AnswerFileExists, 5000)) << code;
    }
  }
  EXPECT_EQ(orvosim::ReceivedCodes(), sent);
}

TEST_F(Fwbridge, NoAnswerDelayRepeatAndHoldOpen) {
  orvosim::SetNoAnswer(145);
  EXPECT_FALSE(Exchange(145, 1500)) << "a file appeared for a no-answer code";

  orvosim::SetAnswerDelay(131, 700);
  const ULONGLONG t0 = ::GetTickCount64();
  ASSERT_TRUE(Exchange(131));
  EXPECT_GE(::GetTickCount64() - t0, 650u);

  orvosim::SetAnswer(147, {0xAB, 0xCD});
  orvosim::SetAnswerRepeat(147, 100000);
  auto large = Exchange(147);
  ASSERT_TRUE(large);
  ASSERT_EQ(large->size(), 200000u);
  EXPECT_EQ((*large)[199998], 0xAB);
  EXPECT_EQ((*large)[199999], 0xCD);

  // While the writer holds the file, a read-sharing-only open is refused; afterwards the
  // whole content is there.
  orvosim::SetAnswer(143, {1, 2, 3, 4, 5, 6, 7, 8});
  orvosim::SetAnswerHold(143, 1000);
  ::DeleteFileW(orvosim::kAnswerFile);
  ASSERT_TRUE(orvosim::SendFwbridgeCode(143));
  ASSERT_TRUE(orvosim::WaitFor(AnswerFileExists, 5000));
  EXPECT_FALSE(ReadAnswerFile()) << "half-written file was readable";
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  std::optional<Bytes> whole;
  EXPECT_TRUE(orvosim::WaitFor([&] { return (whole = ReadAnswerFile()).has_value(); }, 5000));
  EXPECT_EQ(whole, (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(Fwbridge, StoppedServiceTakesNoCodeAndStartsAgain) {
  ASSERT_TRUE(orvosim::StopFwbridge());
  EXPECT_EQ(orvosim::FwbridgeState(), static_cast<DWORD>(SERVICE_STOPPED));
  EXPECT_FALSE(orvosim::SendFwbridgeCode(143));
  EXPECT_TRUE(orvosim::ReceivedCodes().empty());
  ASSERT_TRUE(orvosim::StartFwbridge());
  EXPECT_TRUE(Exchange(143));
  EXPECT_EQ(orvosim::ReceivedCodes(), (std::vector<std::uint32_t>{143}));
}

}  // namespace
