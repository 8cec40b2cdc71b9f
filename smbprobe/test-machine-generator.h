// Random but reproducible machines for the differential test, fuzz seeds and benchmarks:
// each is a whole SMBIOS table with the structures the getters read, in varied shapes
// (padded strings, missing strings, several structures of a type, 2.x and 3.x versions).
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace orvo::testing {

struct GeneratedMachine {
  std::vector<std::uint8_t> table;
  std::uint8_t majorVersion = 0;
  std::uint8_t minorVersion = 0;
  std::uint16_t structureCount = 0;
};

// Strings are printable ASCII (what dmidecode prints unfiltered), never "Not Specified".
GeneratedMachine GenerateMachine(std::mt19937& rng);

}  // namespace orvo::testing
