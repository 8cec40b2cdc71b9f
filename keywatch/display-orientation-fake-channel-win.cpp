// The scripted command channel behind QueryDataByte and IsCommandType32SwitchOn in the Windows
// tests of the action shells.
#include "keywatch/display-orientation-fake-channel-win.h"

#include "keywatch/command-channel.h"

namespace orvo::test {

FakeChannel& TestChannel() {
  static FakeChannel channel;
  return channel;
}

}  // namespace orvo::test

std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t) {
  auto& channel = orvo::test::TestChannel();
  channel.codes.push_back(code);
  const auto it = channel.bytes.find(code);
  if (it == channel.bytes.end()) return std::nullopt;
  return it->second;
}

bool IsCommandType32SwitchOn() {
  auto& channel = orvo::test::TestChannel();
  channel.codes.push_back(148);
  return channel.switchOn;
}
