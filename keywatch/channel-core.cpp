// The exchange with fwbridge: the order of the steps and what a missing, short, long or
// damaged answer does. A missing answer never replaces the last known cached value.
#include "keywatch/channel-core.h"

namespace {

constexpr std::uint32_t kWparamBezelButton = 2;
constexpr std::uint32_t kWparamHotkey = 3;

}  // namespace

std::optional<std::uint16_t> AnswerValue(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kAnswerSize) return std::nullopt;
  return static_cast<std::uint16_t>(bytes[0] + 256u * bytes[1]);
}

bool SendCodeVia(ChannelPort& port, std::uint32_t code) {
  port.DeleteAnswerFile();
  return port.DeliverCode(code);
}

void ReadAnswerVia(ChannelPort& port, Disposition disposition, bool delivered) {
  // A code that never reached the service gets no answer: waiting would only stall the window.
  if (!delivered) return;
  const AnswerWait wait = port.WaitAndOpenAnswer(kAnswerTimeoutMs);
  if (wait == AnswerWait::TimedOut) {
    port.CloseAndDeleteAnswer();
    return;
  }
  AnswerRead read;
  if (wait == AnswerWait::Opened) read = port.ReadOpenAnswer(kAnswerByteCap);
  if (read.oversized) {
    port.CloseAndDeleteAnswer();
    return;
  }
  if (!read.ok) read.bytes.clear();

  if (disposition.use == Disposition::Use::Store) {
    port.StoreDataValue(disposition.index, read.bytes);
  } else if (const auto value = AnswerValue(read.bytes)) {
    port.DispatchAnswer(disposition.use == Disposition::Use::BezelButton ? kWparamBezelButton : kWparamHotkey,
                        *value);
  }
  port.CloseAndDeleteAnswer();
}

void RunExchangeVia(ChannelPort& port, std::uint32_t code, Disposition disposition) {
  const bool delivered = SendCodeVia(port, code);
  ReadAnswerVia(port, disposition, delivered);
}

void RefreshDataValueVia(ChannelPort& port, DataRefresh refresh) {
  RunExchangeVia(port, refresh.code, Disposition::Store(refresh.index));
}

std::optional<std::uint8_t> QueryDataByteVia(ChannelPort& port, DataRefresh refresh) {
  RefreshDataValueVia(port, refresh);
  const auto value = port.LoadDataValue(refresh.index);
  if (!value || value->empty()) return std::nullopt;
  return (*value)[0];
}

void RunStartupSequenceVia(ChannelPort& port) {
  SendCodeVia(port, kCodeStart);
  for (const DataRefresh& refresh : kStartupRefreshes) RefreshDataValueVia(port, refresh);
}

bool IsSwitchOnVia(ChannelPort& port) {
  const auto byte = QueryDataByteVia(port, kRefreshSwitch32);
  return byte.has_value() && *byte != 0;
}
