// Placeholder until the command channel lands: the two queries the action shells use.
#pragma once

#include <cstdint>
#include <optional>

std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index);
bool IsCommandType32SwitchOn();
