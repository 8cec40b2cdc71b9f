// The system-information record that an outside viewer hands to kroGetBIOSInitialize, and the
// platform-code block inside it. A fixed binary layout shared with a program we do not own:
// every offset is pinned below, and the record holds no pointers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo {

// Capacities in UTF-16 code units, terminator included.
inline constexpr std::uint32_t kProductNameChars = 80;
inline constexpr std::uint32_t kTextFieldChars = 64;
inline constexpr std::uint32_t kPlatformCodeChars = 26;
// The library writes nothing at or beyond this byte.
inline constexpr std::size_t kSysInfoRecordSize = 1332;

struct PlatformCodeBlock {
  char16_t szCode[kPlatformCodeChars];
  std::int32_t nCode00;
  std::uint32_t nCode02;
  char16_t szCode04[4];
  std::int32_t nCode07;
  std::uint32_t nCode08;
  std::int32_t nCode10;
  std::int32_t nCode11;
  std::uint32_t nCode12;
  std::int32_t nCode14;
  std::int32_t nCode15;
  std::int32_t nCode16;
  std::int32_t nCode17;
  std::int32_t nCode18;
  std::int32_t nCode19;
  std::int32_t nCode20;
  std::int32_t nCode21;
};

// The reserved ranges belong to the caller: the library never touches them.
struct SysInfoRecord {
  std::uint8_t reserved0[4];
  char16_t szBiosVersion[kTextFieldChars];
  std::uint8_t reserved132[256];
  char16_t szSerialNumber[kTextFieldChars];
  std::uint8_t reserved516[128];
  std::uint16_t wTotalMemory;
  std::uint16_t wUmaVideoSize;
  char16_t szProcessor[kTextFieldChars];
  char16_t szBoardVersion[kTextFieldChars];
  std::uint16_t wProcessorMaxSpeed;
  std::uint8_t reserved906[18];
  char16_t szProductName2[kProductNameChars];
  PlatformCodeBlock PlatformCode;
  char16_t szSkuNumber[kTextFieldChars];
};

static_assert(sizeof(char16_t) == 2);
static_assert(offsetof(PlatformCodeBlock, szCode) == 0);
static_assert(offsetof(PlatformCodeBlock, nCode00) == 52);
static_assert(offsetof(PlatformCodeBlock, nCode02) == 56);
static_assert(offsetof(PlatformCodeBlock, szCode04) == 60);
static_assert(offsetof(PlatformCodeBlock, nCode07) == 68);
static_assert(offsetof(PlatformCodeBlock, nCode08) == 72);
static_assert(offsetof(PlatformCodeBlock, nCode10) == 76);
static_assert(offsetof(PlatformCodeBlock, nCode11) == 80);
static_assert(offsetof(PlatformCodeBlock, nCode12) == 84);
static_assert(offsetof(PlatformCodeBlock, nCode14) == 88);
static_assert(offsetof(PlatformCodeBlock, nCode15) == 92);
static_assert(offsetof(PlatformCodeBlock, nCode16) == 96);
static_assert(offsetof(PlatformCodeBlock, nCode17) == 100);
static_assert(offsetof(PlatformCodeBlock, nCode18) == 104);
static_assert(offsetof(PlatformCodeBlock, nCode19) == 108);
static_assert(offsetof(PlatformCodeBlock, nCode20) == 112);
static_assert(offsetof(PlatformCodeBlock, nCode21) == 116);
static_assert(sizeof(PlatformCodeBlock) == 120);

static_assert(offsetof(SysInfoRecord, szBiosVersion) == 4);
static_assert(sizeof(SysInfoRecord::szBiosVersion) == 128);
static_assert(offsetof(SysInfoRecord, szSerialNumber) == 388);
static_assert(sizeof(SysInfoRecord::szSerialNumber) == 128);
static_assert(offsetof(SysInfoRecord, wTotalMemory) == 644);
static_assert(offsetof(SysInfoRecord, wUmaVideoSize) == 646);
static_assert(offsetof(SysInfoRecord, szProcessor) == 648);
static_assert(sizeof(SysInfoRecord::szProcessor) == 128);
static_assert(offsetof(SysInfoRecord, szBoardVersion) == 776);
static_assert(sizeof(SysInfoRecord::szBoardVersion) == 128);
static_assert(offsetof(SysInfoRecord, wProcessorMaxSpeed) == 904);
static_assert(offsetof(SysInfoRecord, szProductName2) == 924);
static_assert(sizeof(SysInfoRecord::szProductName2) == 160);
static_assert(offsetof(SysInfoRecord, PlatformCode) == 1084);
static_assert(offsetof(SysInfoRecord, szSkuNumber) == 1204);
static_assert(sizeof(SysInfoRecord::szSkuNumber) == 128);
static_assert(sizeof(SysInfoRecord) == kSysInfoRecordSize);

}  // namespace orvo
