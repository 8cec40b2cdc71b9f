// A scripted command channel for the Windows tests of the action shells: answers the two
// queries from a table and records the codes asked, in order.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace orvo::test {

struct FakeChannel {
  std::map<std::uint32_t, std::uint8_t> bytes;  // by control code; missing = absent
  bool switchOn = false;
  std::vector<std::uint32_t> codes;             // codes asked, 148 for the switch
};

// The channel the shells talk to during a test; reset by each test.
FakeChannel& TestChannel();

}  // namespace orvo::test
