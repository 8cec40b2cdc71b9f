// The exchange with fwbridge as decisions: send a code, wait for and read the answer file,
// then store the bytes in the Data key or dispatch the answer value to the message window.
// The platform (service control, answer file, registry, window) is reached only through
// ChannelPort, which the Windows shell implements and the unit tests fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "keywatch/control-codes.h"

// What one exchange does with its answer; nothing of it outlives the exchange.
struct Disposition {
  enum class Use { Store, BezelButton, Hotkey };
  Use use = Use::Store;
  std::uint32_t index = 0;  // Data value index, for Store only

  static Disposition Store(std::uint32_t index) { return {Use::Store, index}; }
  static Disposition BezelButton() { return {Use::BezelButton, 0}; }
  static Disposition Hotkey() { return {Use::Hotkey, 0}; }
};

enum class AnswerWait {
  Opened,      // the file is open for reading, its writer is done
  OpenFailed,  // the file exists but cannot be opened (other than while being written)
  TimedOut,    // no file, or its writer still held it, when the time-out ran out
};

struct AnswerRead {
  bool ok = false;        // the read itself succeeded
  bool oversized = false; // the file is longer than the cap; `bytes` is not the answer
  std::vector<std::uint8_t> bytes;
};

class ChannelPort {
public:
  virtual ~ChannelPort() = default;
  virtual void DeleteAnswerFile() = 0;
  // True only when fwbridge was running and ControlService took the code.
  virtual bool DeliverCode(std::uint32_t code) = 0;
  virtual AnswerWait WaitAndOpenAnswer(std::uint32_t timeoutMs) = 0;
  // Reads the opened file whole, or flags it oversized when it exceeds `cap` bytes.
  virtual AnswerRead ReadOpenAnswer(std::size_t cap) = 0;
  // Closes the file if open and deletes it if present; safe to call in any state.
  virtual void CloseAndDeleteAnswer() = 0;
  virtual void StoreDataValue(std::uint32_t index, std::span<const std::uint8_t> bytes) = 0;
  // nullopt when the key or a REG_BINARY value is missing.
  virtual std::optional<std::vector<std::uint8_t>> LoadDataValue(std::uint32_t index) = 0;
  // Synchronous WM_KEYWATCH to the message window (wparam 2 or 3).
  virtual void DispatchAnswer(std::uint32_t wparam, std::uint32_t value) = 0;
};

// Deletes any old answer, then offers the code to fwbridge; true when it was delivered.
bool SendCodeVia(ChannelPort& port, std::uint32_t code);
// Waits (only when the code was delivered), reads, stores or dispatches, closes, deletes.
void ReadAnswerVia(ChannelPort& port, Disposition disposition, bool delivered);
void RefreshDataValueVia(ChannelPort& port, DataRefresh refresh);
std::optional<std::uint8_t> QueryDataByteVia(ChannelPort& port, DataRefresh refresh);
void RunExchangeVia(ChannelPort& port, std::uint32_t code, Disposition disposition);
void RunStartupSequenceVia(ChannelPort& port);
// Absent and empty values count as off, like 0.
bool IsSwitchOnVia(ChannelPort& port);

// Answer value of a well-formed answer (byte 0 + 256 x byte 1); nullopt for any other length.
std::optional<std::uint16_t> AnswerValue(std::span<const std::uint8_t> bytes);
