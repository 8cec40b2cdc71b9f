// Builds SMBIOS structure tables for tests, the differential check, fuzz seeds and benchmarks.
// Each structure states its formatted length; string fields take the next string number.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvo::testing {

class StructureBuilder {
public:
  StructureBuilder(std::uint8_t type, std::uint8_t length);
  StructureBuilder& Byte(std::size_t offset, std::uint8_t value);
  StructureBuilder& Word(std::size_t offset, std::uint16_t value);
  // Appends `text` to the string set and stores its number at `offset`; an empty text stores 0.
  StructureBuilder& String(std::size_t offset, const std::string& text);
  // A string that no field refers to (OEM Strings entries, for instance).
  StructureBuilder& ExtraString(const std::string& text);
  std::uint8_t Count() const { return static_cast<std::uint8_t>(strings_.size()); }
  // Formatted area, then the string set with its closing zero (two zeros without strings).
  std::vector<std::uint8_t> Bytes(std::uint16_t handle) const;

private:
  std::vector<std::uint8_t> formatted_;
  std::vector<std::string> strings_;
};

// The structures in order with handles 0, 1, ...; an end-of-table structure unless told not to.
std::vector<std::uint8_t> JoinTable(const std::vector<StructureBuilder>& structures, bool endOfTable = true);

// Typical structures of the types the getters read.
StructureBuilder Bios(const std::string& version, const std::string& date);
StructureBuilder System(const std::string& product, const std::string& version, const std::string& serial,
                        const std::string& sku);
StructureBuilder Baseboard(const std::string& version);
StructureBuilder Processor(const std::string& version, std::uint16_t maxSpeed);
StructureBuilder MemoryDevice(std::uint16_t size);
struct OnBoardDevice {
  std::uint8_t type;  // bit 7 enabled, bits 0-6 the kind (3 video)
  std::string description;
};
StructureBuilder OnBoardDevices(const std::vector<OnBoardDevice>& devices);
StructureBuilder OemStrings(const std::vector<std::string>& strings);

// A file's bytes from smbprobe/testdata.
std::vector<std::uint8_t> ReadTestData(const std::string& name);

}  // namespace orvo::testing
