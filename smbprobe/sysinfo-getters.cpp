// The ten getters of SmBiosTable: each reads one SMBIOS value and writes one record field.
// Offsets are those of the DMTF SMBIOS standard, counted from the structure's first byte.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "smbprobe/smbios-table.h"
#include "smbprobe/text-scan.h"

namespace orvo {
namespace {

constexpr std::uint16_t kBiosInformation = 0;
constexpr std::uint16_t kSystemInformation = 1;
constexpr std::uint16_t kBaseboardInformation = 2;
constexpr std::uint16_t kProcessorInformation = 4;
constexpr std::uint16_t kOnBoardDevices = 10;
constexpr std::uint16_t kOemStrings = 11;
constexpr std::uint16_t kMemoryDevice = 17;

constexpr std::uint32_t kBiosWorkChars = 260;
constexpr std::uint32_t kVideoWorkChars = 64;
constexpr std::size_t kPlatformCodeLength = kPlatformCodeChars - 1;
constexpr std::uint8_t kOemPlatformString = 4;
constexpr std::uint8_t kDeviceEnabled = 0x80;
constexpr std::uint8_t kDeviceTypeVideo = 3;
constexpr std::uint16_t kSizeInKilobytes = 0x8000;

// Appends as much of `text` as fits a buffer of `capacity` that holds `length` characters.
std::size_t AppendCut(char16_t* buffer, std::uint32_t capacity, std::size_t length, std::u16string_view text) {
  const std::size_t room = capacity - 1 - length;
  const std::size_t n = std::min(room, text.size());
  std::copy_n(text.data(), n, buffer + length);
  buffer[length + n] = u'\0';
  return length + n;
}

std::u16string_view DropVersionPrefix(std::u16string_view version) {
  if (const auto at = FindIgnoringCase(version, u"Ver. "); at != std::u16string_view::npos) {
    return version.substr(at + 5);
  }
  if (const auto at = FindIgnoringCase(version, u"v"); at != std::u16string_view::npos) {
    return version.substr(at + 1);
  }
  return version;
}

void DecodePlatformCode(PlatformCodeBlock& block) {
  const std::u16string_view code(block.szCode, kPlatformCodeChars);
  // Each position is copied into a zeroed buffer first, so reading stops at its end.
  const auto decimal = [&](std::size_t at, std::size_t count) {
    char16_t digits[3] = {};
    std::copy_n(code.data() + at, count, digits);
    return LeadingDecimal(std::u16string_view(digits));
  };
  const auto hex = [&](std::size_t at) {
    char16_t digits[3] = {};
    std::copy_n(code.data() + at, 2, digits);
    return LeadingHexByte(std::u16string_view(digits));
  };
  block.nCode00 = decimal(0, 2);
  block.nCode02 = hex(2);
  std::copy_n(code.data() + 4, 3, block.szCode04);
  block.szCode04[3] = u'\0';
  block.nCode07 = decimal(7, 1);
  block.nCode08 = hex(8);
  block.nCode10 = decimal(10, 1);
  block.nCode11 = decimal(11, 1);
  block.nCode12 = hex(12);
  block.nCode14 = decimal(14, 1);
  block.nCode15 = decimal(15, 1);
  block.nCode16 = decimal(16, 1);
  block.nCode17 = decimal(17, 1);
  block.nCode18 = decimal(18, 1);
  block.nCode19 = decimal(19, 1);
  block.nCode20 = decimal(20, 1);
  block.nCode21 = decimal(21, 1);
}

}  // namespace

std::uint32_t SmBiosTable::GetUniqueString(std::uint16_t type, std::size_t offset, std::uint32_t capacity,
                                           char16_t* buffer) {
  if (capacity == 0 || buffer == nullptr) return kInvalidArgument;
  const auto records = kroFindStructure(type);
  if (records.size() != 1) return kStructureNotUnique;
  // A string number that lies past the end of the table counts as no string.
  const std::uint8_t number = ByteAt(records[0], offset).value_or(0);
  return kroGetString(buffer, capacity, records[0], number) == 0 ? kValueMissing : kFound;
}

std::uint32_t SmBiosTable::kroGetProductname(std::uint32_t capacity, char16_t* buffer) {
  return GetUniqueString(kSystemInformation, 0x05, capacity, buffer);
}

std::uint32_t SmBiosTable::kroGetSerialNumber(std::uint32_t capacity, char16_t* buffer) {
  return GetUniqueString(kSystemInformation, 0x07, capacity, buffer);
}

std::uint32_t SmBiosTable::kroGetSkuNumber(std::uint32_t capacity, char16_t* buffer) {
  return GetUniqueString(kSystemInformation, 0x19, capacity, buffer);
}

std::uint32_t SmBiosTable::kroGetBoardVersion(std::uint32_t capacity, char16_t* buffer) {
  return GetUniqueString(kBaseboardInformation, 0x06, capacity, buffer);
}

std::uint32_t SmBiosTable::kroGetProcStr(std::uint32_t capacity, char16_t* buffer) {
  return GetUniqueString(kProcessorInformation, 0x10, capacity, buffer);
}

std::uint32_t SmBiosTable::kroGetBiosInfo(std::uint32_t capacity, char16_t* buffer) {
  if (capacity == 0 || buffer == nullptr) return kInvalidArgument;
  const auto records = kroFindStructure(kBiosInformation);
  if (records.size() != 1) return kStructureNotUnique;
  const StructureRecord& bios = records[0];

  char16_t version[kBiosWorkChars];
  const std::size_t versionLength = kroGetString(version, kBiosWorkChars, bios, ByteAt(bios, 0x05).value_or(0));
  if (versionLength == 0) return kValueMissing;
  // What does not fit the caller's field is cut: version first, then " - " and the date.
  std::size_t length = AppendCut(buffer, capacity, 0, DropVersionPrefix({version, versionLength}));

  char16_t date[kBiosWorkChars];
  const std::size_t dateLength = kroGetString(date, kBiosWorkChars, bios, ByteAt(bios, 0x08).value_or(0));
  if (dateLength == 0) return kValueMissing;
  length = AppendCut(buffer, capacity, length, u" - ");
  AppendCut(buffer, capacity, length, {date, dateLength});
  return kFound;
}

std::uint32_t SmBiosTable::kroGetProcessorMaxSpeed(std::uint16_t* speed) {
  if (speed == nullptr) return kInvalidArgument;
  const auto records = kroFindStructure(kProcessorInformation);
  if (records.size() != 1) return kStructureNotUnique;
  const auto value = WordAt(records[0], 0x14);
  if (!value) return kValueMissing;
  *speed = *value;
  return kFound;
}

std::uint32_t SmBiosTable::kroGetSmbiosTotalMemory(std::uint16_t* total) {
  if (total == nullptr) return kInvalidArgument;
  std::uint16_t sum = 0;
  for (const StructureRecord& device : kroFindStructure(kMemoryDevice)) {
    const auto size = WordAt(device, 0x0C);
    if (size && (*size & kSizeInKilobytes) == 0) sum = static_cast<std::uint16_t>(sum + *size);
  }
  *total = sum;
  return kFound;
}

std::uint32_t SmBiosTable::kroGetTotalUmaVideoSize(std::uint16_t* lpUmaVideoSize) {
  if (lpUmaVideoSize == nullptr) return kInvalidArgument;
  *lpUmaVideoSize = 0;
  const auto records = kroFindStructure(kOnBoardDevices);
  if (records.empty()) return kStructureNotUnique;
  std::uint16_t sum = 0;
  for (const StructureRecord& devices : records) {
    const std::uint8_t length = devices.pHeader[1];
    const std::size_t count = (length - 4u) / 2;
    // Device entries lie inside the formatted area, which the walk keeps inside the table.
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t type = devices.pHeader[0x04 + 2 * i];
      if ((type & kDeviceEnabled) == 0 || (type & 0x7F) != kDeviceTypeVideo) continue;
      char16_t description[kVideoWorkChars];
      const std::size_t n = kroGetString(description, kVideoWorkChars, devices, devices.pHeader[0x05 + 2 * i]);
      if (n != 0) {
        sum = static_cast<std::uint16_t>(sum + static_cast<std::uint16_t>(LeadingDecimal({description, n})));
      }
      break;
    }
  }
  *lpUmaVideoSize = sum;
  return sum == 0 ? kValueMissing : kFound;
}

std::uint32_t SmBiosTable::kroGetPlatformCode(PlatformCodeBlock* block) {
  if (block == nullptr) return kInvalidArgument;
  std::memset(block, 0, sizeof(*block));

  std::uint32_t code = kStructureNotUnique;
  if (const auto system = kroFindStructure(kSystemInformation); system.size() == 1) {
    code = kValueMissing;
    const std::uint8_t number = ByteAt(system[0], 0x06).value_or(0);
    char16_t work[kPlatformCodeChars] = {};
    if (number != 0 && kroGetString(work, kPlatformCodeChars, system[0], number) == kPlatformCodeLength) {
      std::copy_n(work, kPlatformCodeChars, block->szCode);
      code = kFound;
    }
  }
  if (code != kFound) {
    code = kStructureNotUnique;
    if (const auto oem = kroFindStructure(kOemStrings); oem.size() == 1) {
      code = kValueMissing;
      if (ByteAt(oem[0], 0x04).value_or(0) >= kOemPlatformString &&
          kroGetString(block->szCode, kPlatformCodeChars, oem[0], kOemPlatformString) != 0) {
        code = kFound;
      }
    }
  }
  if (code != kFound) {
    // A spaces-only string still leaves its terminator behind: the block must read as empty.
    std::memset(block, 0, sizeof(*block));
    return code;
  }
  DecodePlatformCode(*block);
  return kFound;
}

}  // namespace orvo
