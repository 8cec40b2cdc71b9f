#include "standins/fwbridge-answers.h"

#include <algorithm>

namespace orvosim {

bool IsAcceptedCode(std::uint32_t code) {
  return code == 128 || code == 131 || code == 132 || (code >= 134 && code <= 145) || code == 147 ||
         code == 148 || code == 201 || code == 202;
}

bool IsAnsweredCode(std::uint32_t code) {
  return IsAcceptedCode(code) && code != 128 && code != 201 && code != 202;
}

std::optional<std::vector<std::uint8_t>> DefaultAnswer(std::uint32_t code) {
  if (!IsAnsweredCode(code)) {
    return std::nullopt;
  }
  switch (code) {
    case 131: return std::vector<std::uint8_t>{0x69, 0x21, 0x00, 0x00};
    case 132: return std::vector<std::uint8_t>{0x31, 0x01, 0x00, 0x00};
    case 145: return std::vector<std::uint8_t>{0x01, 0x00, 0x00, 0x00};
    case 147: return std::vector<std::uint8_t>{0x0F, 0x00, 0x00, 0x00};
    default: return std::vector<std::uint8_t>{0x00, 0x00, 0x00, 0x00};
  }
}

std::vector<std::uint8_t> AnswerContent(const AnswerPlan& plan) {
  constexpr std::size_t kMaxBytes = 64u << 20;
  std::vector<std::uint8_t> out;
  if (plan.bytes.empty()) {
    return out;
  }
  const std::size_t times = std::min<std::size_t>(plan.repeat, kMaxBytes / plan.bytes.size());
  out.reserve(times * plan.bytes.size());
  for (std::size_t i = 0; i < times; ++i) {
    out.insert(out.end(), plan.bytes.begin(), plan.bytes.end());
  }
  return out;
}

}  // namespace orvosim
