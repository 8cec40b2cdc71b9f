// What the fwbridge stand-in does for each control code: which codes it accepts, which it
// answers, and the plain machine's default answers. Portable, so the table is unit-tested.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace orvosim {

// The user-defined controls that fwbridge accepts while running.
bool IsAcceptedCode(std::uint32_t code);
// Accepted codes after which an answer file is written (all but 128, 201, 202).
bool IsAnsweredCode(std::uint32_t code);
// The plain machine: button 8553 for 131, hotkey 0305 for 132, adapter fine (1) for 145,
// bit 0x04 clear for 143, every orientation allowed (0x0F) for 147, switch off for 148,
// zeros for the rest. Nothing for codes that are not answered.
std::optional<std::vector<std::uint8_t>> DefaultAnswer(std::uint32_t code);

// A scenario's settings for one code, as read from the configuration.
struct AnswerPlan {
  bool answer = true;
  std::vector<std::uint8_t> bytes;
  std::uint32_t repeat = 1;
  std::uint32_t delayMs = 0;
  std::uint32_t holdMs = 0;
};

// The file content the plan produces: bytes repeated `repeat` times (capped at 64 MiB).
std::vector<std::uint8_t> AnswerContent(const AnswerPlan& plan);

}  // namespace orvosim
