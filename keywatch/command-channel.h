// The command channel to fwbridge as the message window uses it: control codes, the answer
// file and the Data key cache. Runs on the message window's thread only; dispatched answers
// re-enter the window procedure before the call returns.
#pragma once

#include <cstdint>
#include <optional>

#include "keywatch/channel-core.h"

// Deletes any old answer file, then sends the code if fwbridge runs; true when delivered.
bool SendControlCode(std::uint32_t code);
// Waits up to kAnswerTimeoutMs for the answer (not at all when `delivered` is false), then
// stores or dispatches it, closes and deletes the file.
void ReadAnswer(Disposition disposition, bool delivered);
void RunExchange(std::uint32_t code, Disposition disposition);
void RefreshDataValue(std::uint32_t code, std::uint32_t index);
// Refreshes the value, then its first byte; nullopt when absent or empty.
std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index);
// QueryDataByte(148, 50); absent or empty counts as off.
bool IsCommandType32SwitchOn();
void RunStartupSequence();
