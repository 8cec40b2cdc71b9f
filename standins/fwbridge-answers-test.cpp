#include "standins/fwbridge-answers.h"

#include <gtest/gtest.h>

namespace orvosim {
namespace {

TEST(FwbridgeAnswers, AcceptsExactlyTheDocumentedCodes) {
  std::vector<std::uint32_t> accepted;
  for (std::uint32_t code = 0; code < 300; ++code) {
    if (IsAcceptedCode(code)) accepted.push_back(code);
  }
  const std::vector<std::uint32_t> expected = {128, 131, 132, 134, 135, 136, 137, 138, 139, 140,
                                               141, 142, 143, 144, 145, 147, 148, 201, 202};
  EXPECT_EQ(accepted, expected);
  for (std::uint32_t code : {128u, 201u, 202u, 129u, 146u}) {
    EXPECT_FALSE(IsAnsweredCode(code)) << code;
    EXPECT_FALSE(DefaultAnswer(code)) << code;
  }
}

TEST(FwbridgeAnswers, PlainMachineDefaults) {
  struct Row { std::uint32_t code; std::vector<std::uint8_t> bytes; };
  const Row rows[] = {{131, {0x69, 0x21, 0, 0}}, {132, {0x31, 0x01, 0, 0}}, {145, {1, 0, 0, 0}},
                      {147, {0x0F, 0, 0, 0}},    {148, {0, 0, 0, 0}},       {143, {0, 0, 0, 0}}};
  for (const Row& row : rows) {
    EXPECT_EQ(DefaultAnswer(row.code), row.bytes) << row.code;
  }
}

TEST(FwbridgeAnswers, ContentRepeatsAndIsCapped) {
  AnswerPlan plan;
  plan.bytes = {1, 2, 3};
  plan.repeat = 4;
  EXPECT_EQ(AnswerContent(plan), (std::vector<std::uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}));
  plan.bytes = {};
  EXPECT_TRUE(AnswerContent(plan).empty());
  plan.bytes = std::vector<std::uint8_t>(1 << 20, 7);
  plan.repeat = 1000;
  EXPECT_EQ(AnswerContent(plan).size(), 64u << 20);
}

}  // namespace
}  // namespace orvosim
