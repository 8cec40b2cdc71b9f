// libFuzzer target: arbitrary bytes as an SMBIOS table (walk, every string, the ten getters at
// odd capacities, the record fill) and as a dump file. The table is copied into a heap block
// of exactly its size so AddressSanitizer sees any read past it; broken record invariants abort.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "smbprobe/dmi-dump.h"
#include "smbprobe/smbios-table.h"
#include "smbprobe/sysinfo-fill.h"

namespace {

const orvo::Cp1252Decoder kCp1252;

void Require(bool condition) {
  if (!condition) std::abort();
}

template <std::size_t N>
void RequireTerminatedOrUntouched(const char16_t (&field)[N]) {
  bool terminated = false;
  bool untouched = true;
  for (char16_t c : field) {
    terminated |= c == u'\0';
    untouched &= c == 0xA5A5;
  }
  Require(terminated || untouched);
}

void FillRecord(const std::uint8_t* table, std::size_t size) {
  alignas(4) std::uint8_t bytes[orvo::kSysInfoRecordSize + 8];
  std::memset(bytes, 0xA5, sizeof(bytes));
  auto& record = *reinterpret_cast<orvo::SysInfoRecord*>(bytes);
  orvo::SmBiosTable reader(table, static_cast<std::int32_t>(size), kCp1252);
  orvo::FillSysInfoRecord(reader, record);
  for (std::size_t i = 0; i < sizeof(bytes); ++i) {
    const bool reserved = i < 4 || (i >= 132 && i < 388) || (i >= 516 && i < 644) || (i >= 906 && i < 924) ||
                          i >= orvo::kSysInfoRecordSize;
    if (reserved) Require(bytes[i] == 0xA5);
  }
  RequireTerminatedOrUntouched(record.szBiosVersion);
  RequireTerminatedOrUntouched(record.szSerialNumber);
  RequireTerminatedOrUntouched(record.szProcessor);
  RequireTerminatedOrUntouched(record.szBoardVersion);
  RequireTerminatedOrUntouched(record.szProductName2);
  RequireTerminatedOrUntouched(record.szSkuNumber);
  Require(record.PlatformCode.szCode[25] == u'\0' && record.PlatformCode.szCode04[3] == u'\0');
}

void ProbeStrings(const std::uint8_t* table, std::size_t size) {
  orvo::SmBiosTable reader(table, static_cast<std::int32_t>(size), kCp1252);
  for (const auto& [type, record] : reader.GetAllStructures()) {
    Require(record.pHeader >= table && record.pHeader + record.pHeader[1] <= table + size);
    for (std::size_t n = 0; n <= record.Strings.size() + 1 && n < 256; ++n) {
      char16_t buffer[130 + 2];
      buffer[130] = buffer[131] = 0x5A5A;
      reader.kroGetString(buffer, 130, record, static_cast<std::uint8_t>(n));
      Require(buffer[130] == 0x5A5A && buffer[131] == 0x5A5A);
    }
  }
  for (std::uint32_t capacity : {1u, 2u, 3u, 5u, 9u}) {
    char16_t buffer[9 + 1];
    buffer[capacity] = 0x5A5A;
    reader.kroGetBiosInfo(capacity, buffer);
    Require(buffer[capacity] == 0x5A5A);
    reader.kroGetProcStr(capacity, buffer);
    Require(buffer[capacity] == 0x5A5A);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto exact = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
  if (size != 0) std::memcpy(exact.get(), data, size);
  FillRecord(exact.get(), size);
  ProbeStrings(exact.get(), size);
  if (const auto image = orvo::ParseSmBiosFile(std::vector<std::uint8_t>(data, data + size))) {
    FillRecord(image->table.data(), image->table.size());
  }
  return 0;
}
