// Structure and table builders for tests.
#include "smbprobe/test-table-builder.h"

#include <stdexcept>

#include "smbprobe/dmi-dump.h"

namespace orvo::testing {

StructureBuilder::StructureBuilder(std::uint8_t type, std::uint8_t length) : formatted_(length, 0) {
  formatted_.at(0) = type;
  formatted_.at(1) = length;
}

StructureBuilder& StructureBuilder::Byte(std::size_t offset, std::uint8_t value) {
  formatted_.at(offset) = value;
  return *this;
}

StructureBuilder& StructureBuilder::Word(std::size_t offset, std::uint16_t value) {
  formatted_.at(offset) = static_cast<std::uint8_t>(value);
  formatted_.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
  return *this;
}

StructureBuilder& StructureBuilder::String(std::size_t offset, const std::string& text) {
  if (text.empty()) return Byte(offset, 0);
  strings_.push_back(text);
  return Byte(offset, Count());
}

StructureBuilder& StructureBuilder::ExtraString(const std::string& text) {
  strings_.push_back(text);
  return *this;
}

std::vector<std::uint8_t> StructureBuilder::Bytes(std::uint16_t handle) const {
  std::vector<std::uint8_t> bytes = formatted_;
  bytes[2] = static_cast<std::uint8_t>(handle);
  bytes[3] = static_cast<std::uint8_t>(handle >> 8);
  for (const std::string& s : strings_) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
  }
  if (strings_.empty()) bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

std::vector<std::uint8_t> JoinTable(const std::vector<StructureBuilder>& structures, bool endOfTable) {
  std::vector<std::uint8_t> table;
  std::uint16_t handle = 0;
  for (const StructureBuilder& s : structures) {
    const auto bytes = s.Bytes(handle++);
    table.insert(table.end(), bytes.begin(), bytes.end());
  }
  if (endOfTable) {
    const auto bytes = StructureBuilder(127, 4).Bytes(handle);
    table.insert(table.end(), bytes.begin(), bytes.end());
  }
  return table;
}

StructureBuilder Bios(const std::string& version, const std::string& date) {
  StructureBuilder s(0, 0x18);
  s.String(0x04, "Orvotek").String(0x05, version).Word(0x06, 0xE000).String(0x08, date).Byte(0x09, 0x3F);
  return s;
}

StructureBuilder System(const std::string& product, const std::string& version, const std::string& serial,
                        const std::string& sku) {
  StructureBuilder s(1, 0x1B);
  s.String(0x04, "Orvotek").String(0x05, product).String(0x06, version).String(0x07, serial);
  s.Byte(0x18, 0x06).String(0x19, sku);
  return s;
}

StructureBuilder Baseboard(const std::string& version) {
  StructureBuilder s(2, 0x0F);
  s.String(0x04, "Orvotek").String(0x05, "JD-100").String(0x06, version);
  return s;
}

StructureBuilder Processor(const std::string& version, std::uint16_t maxSpeed) {
  StructureBuilder s(4, 0x2A);
  s.String(0x04, "CPU 1").Byte(0x05, 0x03).Byte(0x06, 0xC6).String(0x07, "Orvotek");
  s.String(0x10, version).Word(0x12, 100).Word(0x14, maxSpeed).Word(0x16, 1800).Byte(0x18, 0x41);
  return s;
}

StructureBuilder MemoryDevice(std::uint16_t size) {
  StructureBuilder s(17, 0x15);
  s.Word(0x04, 0xFFFE).Word(0x06, 0xFFFE).Word(0x08, 64).Word(0x0A, 64).Word(0x0C, size);
  s.Byte(0x0E, 0x0D).String(0x10, "DIMM").Byte(0x12, 0x1A);
  return s;
}

StructureBuilder OnBoardDevices(const std::vector<OnBoardDevice>& devices) {
  StructureBuilder s(10, static_cast<std::uint8_t>(4 + 2 * devices.size()));
  for (std::size_t i = 0; i < devices.size(); ++i) {
    s.Byte(4 + 2 * i, devices[i].type).String(5 + 2 * i, devices[i].description);
  }
  return s;
}

StructureBuilder OemStrings(const std::vector<std::string>& strings) {
  StructureBuilder s(11, 5);
  for (const std::string& text : strings) s.ExtraString(text);
  s.Byte(0x04, s.Count());
  return s;
}

std::vector<std::uint8_t> ReadTestData(const std::string& name) {
  auto bytes = ReadWholeFile(std::string(SMBPROBE_TESTDATA) + "/" + name);
  if (!bytes) throw std::runtime_error("missing test data " + name);
  return *bytes;
}

}  // namespace orvo::testing
