// Entry-point parsing and writing for dmidecode dump files.
#include "smbprobe/dmi-dump.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace orvo {
namespace {

constexpr std::size_t kTableAddress = 0x20;

std::uint32_t ReadLe(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
  return value;
}

void WriteLe(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

bool StartsWith(const std::vector<std::uint8_t>& bytes, const char* anchor) {
  const std::size_t n = std::strlen(anchor);
  return bytes.size() >= n && std::memcmp(bytes.data(), anchor, n) == 0;
}

// Sets bytes[at] so that bytes[begin, end) sums to zero.
void FixChecksum(std::vector<std::uint8_t>& bytes, std::size_t begin, std::size_t end, std::size_t at) {
  bytes[at] = 0;
  std::uint8_t sum = 0;
  for (std::size_t i = begin; i < end; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
  bytes[at] = static_cast<std::uint8_t>(-sum);
}

std::optional<SmBiosImage> CutTable(const std::vector<std::uint8_t>& file, std::uint64_t address,
                                    std::uint64_t length, std::uint8_t major, std::uint8_t minor) {
  if (address > file.size()) return std::nullopt;
  const std::uint64_t end = std::min<std::uint64_t>(file.size(), address + length);
  SmBiosImage image;
  image.table.assign(file.begin() + static_cast<std::ptrdiff_t>(address), file.begin() + static_cast<std::ptrdiff_t>(end));
  image.majorVersion = major;
  image.minorVersion = minor;
  return image;
}

}  // namespace

std::optional<SmBiosImage> ParseSmBiosFile(const std::vector<std::uint8_t>& file) {
  if (StartsWith(file, "_SM3_")) {
    if (file.size() < 0x18) return std::nullopt;
    const std::uint64_t address = ReadLe(file, 0x10, 4) | std::uint64_t{ReadLe(file, 0x14, 4)} << 32;
    return CutTable(file, address, ReadLe(file, 0x0C, 4), file[0x07], file[0x08]);
  }
  if (StartsWith(file, "_SM_")) {
    if (file.size() < 0x1F) return std::nullopt;
    return CutTable(file, ReadLe(file, 0x18, 4), ReadLe(file, 0x16, 2), file[0x06], file[0x07]);
  }
  if (StartsWith(file, "_DMI_")) {
    if (file.size() < 0x0F) return std::nullopt;
    return CutTable(file, ReadLe(file, 0x08, 4), ReadLe(file, 0x06, 2), file[0x0E] >> 4, file[0x0E] & 0x0F);
  }
  return SmBiosImage{file, 0, 0};
}

std::vector<std::uint8_t> MakeDmiDump(const std::vector<std::uint8_t>& table, std::uint8_t majorVersion,
                                      std::uint8_t minorVersion, std::uint16_t structureCount) {
  std::vector<std::uint8_t> dump(kTableAddress, 0);
  if (majorVersion >= 3) {
    std::memcpy(dump.data(), "_SM3_", 5);
    dump[0x06] = 0x18;
    dump[0x07] = majorVersion;
    dump[0x08] = minorVersion;
    dump[0x0A] = 0x01;  // entry point revision 3.0
    WriteLe(dump, 0x0C, table.size(), 4);
    WriteLe(dump, 0x10, kTableAddress, 8);
    FixChecksum(dump, 0, 0x18, 0x05);
  } else {
    std::memcpy(dump.data(), "_SM_", 4);
    dump[0x05] = 0x1F;
    dump[0x06] = majorVersion;
    dump[0x07] = minorVersion;
    std::memcpy(dump.data() + 0x10, "_DMI_", 5);
    WriteLe(dump, 0x16, table.size(), 2);
    WriteLe(dump, 0x18, kTableAddress, 4);
    WriteLe(dump, 0x1C, structureCount, 2);
    dump[0x1E] = static_cast<std::uint8_t>(majorVersion << 4 | (minorVersion & 0x0F));
    FixChecksum(dump, 0x10, 0x1F, 0x15);
    FixChecksum(dump, 0, 0x1F, 0x04);
  }
  dump.insert(dump.end(), table.begin(), table.end());
  return dump;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace orvo
