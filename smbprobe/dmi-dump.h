// dmidecode dump files: an SMBIOS entry point at offset 0 and the structure table at the
// address the entry point names (0x20 in files that dmidecode writes). Reading accepts such a
// dump or a bare table; writing produces dumps that `dmidecode --from-dump` accepts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo {

struct SmBiosImage {
  std::vector<std::uint8_t> table;
  std::uint8_t majorVersion = 0;  // 0 for a bare table
  std::uint8_t minorVersion = 0;
};

// A file that opens with "_SM_", "_SM3_" or "_DMI_" is a dump: its table is cut to the length
// the entry point gives and to the end of the file. Any other content is a bare table.
// std::nullopt for a dump whose entry point is truncated or points outside the file.
std::optional<SmBiosImage> ParseSmBiosFile(const std::vector<std::uint8_t>& file);

// A dump with a 31-byte 2.x entry point (or a 24-byte 3.x one when majorVersion >= 3), both
// checksums correct, the table at 0x20. `structureCount` goes into the 2.x entry point.
std::vector<std::uint8_t> MakeDmiDump(const std::vector<std::uint8_t>& table, std::uint8_t majorVersion,
                                      std::uint8_t minorVersion, std::uint16_t structureCount);

// Reads a whole file; std::nullopt when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

}  // namespace orvo
