// The ten getters over generated tables: result codes, prefixes, sums, platform codes, cuts.
#include <gtest/gtest.h>

#include <cstring>

#include "smbprobe/smbios-table.h"
#include "smbprobe/test-table-builder.h"

namespace orvo {
namespace {

using testing::JoinTable;
using testing::OnBoardDevice;
using testing::StructureBuilder;

const Cp1252Decoder kCp1252;

// Owns the bytes and the reader over them.
struct Fixture {
  explicit Fixture(std::vector<std::uint8_t> b)
      : bytes(std::move(b)), table(bytes.data(), static_cast<std::int32_t>(bytes.size()), kCp1252) {}
  std::vector<std::uint8_t> bytes;
  SmBiosTable table;
};

using TextGetter = std::uint32_t (SmBiosTable::*)(std::uint32_t, char16_t*);

// Calls a text getter on a sentinel-filled buffer with `capacity` and guards after it.
std::pair<std::uint32_t, std::u16string> CallText(SmBiosTable& table, TextGetter getter, std::uint32_t capacity) {
  std::vector<char16_t> buffer(capacity + 8, u'#');
  const std::uint32_t code = (table.*getter)(capacity, buffer.data());
  for (std::size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], u'#') << "overrun at " << i;
  std::size_t n = 0;
  while (n < capacity && buffer[n] != u'\0') ++n;
  return {code, std::u16string(buffer.data(), n)};
}

TEST(BiosInfo, DropsVersionPrefixesAndAppendsTheDate) {
  struct Row {
    std::string version, date;
    std::uint32_t code;
    std::u16string expected;
  };
  const Row rows[] = {
      {"F.21", "11/17/2009", kFound, u"F.21 - 11/17/2009"},
      {"Ver. 1.03", "01/02/2010", kFound, u"1.03 - 01/02/2010"},
      {"VER. 1.03", "01/02/2010", kFound, u"1.03 - 01/02/2010"},
      {"BIOS ver. 7", "d", kFound, u"7 - d"},
      {"V2.10", "x", kFound, u"2.10 - x"},
      {"REV 2", "x", kFound, u" 2 - x"},
      {"Version 1.2", "x", kFound, u"ersion 1.2 - x"},
      {"Ver.1.5", "x", kFound, u"er.1.5 - x"},
      {"A06", "", kValueMissing, u"A06"},
      {"  A06  ", "   ", kValueMissing, u"A06"},
      {"GJET75WW (2.25 )", "03/28/2014", kFound, u"GJET75WW (2.25 ) - 03/28/2014"},
  };
  for (const Row& row : rows) {
    Fixture f(JoinTable({testing::Bios(row.version, row.date)}));
    const auto [code, text] = CallText(f.table, &SmBiosTable::kroGetBiosInfo, 64);
    EXPECT_EQ(code, row.code) << row.version;
    EXPECT_EQ(text, row.expected) << row.version;
  }
}

TEST(BiosInfo, MissingVersionOrStructureLeavesTheBufferUntouched) {
  for (auto structures : {std::vector<StructureBuilder>{testing::Bios("", "01/01/2020")},
                          std::vector<StructureBuilder>{testing::Bios("   ", "01/01/2020")},
                          std::vector<StructureBuilder>{},
                          std::vector<StructureBuilder>{testing::Bios("A", "d"), testing::Bios("B", "d")}}) {
    Fixture f(JoinTable(structures));
    char16_t buffer[4] = {u'#', u'#', u'#', u'#'};
    const std::uint32_t expected = structures.size() == 1 ? kValueMissing : kStructureNotUnique;
    EXPECT_EQ(f.table.kroGetBiosInfo(4, buffer), expected) << structures.size();
    EXPECT_EQ(std::u16string(buffer, 4), u"####");
  }
}

TEST(BiosInfo, CutsWhatDoesNotFitTheCapacity) {
  struct Row {
    std::string version;
    std::uint32_t capacity;
    std::u16string expected;
  };
  const std::string longVersion(300, '9');
  const Row rows[] = {
      {"1.0", 1, u""},
      {"1.0", 3, u"1."},
      {"1.0", 6, u"1.0 -"},
      {"1.0", 9, u"1.0 - 20"},
      {"1.0", 64, u"1.0 - 2024"},
      {"Ver. " + longVersion, 64, std::u16string(63, u'9')},
      {longVersion, 300, std::u16string(128, u'9') + u" - 2024"},
  };
  for (const Row& row : rows) {
    Fixture f(JoinTable({testing::Bios(row.version, "2024")}));
    const auto [code, text] = CallText(f.table, &SmBiosTable::kroGetBiosInfo, row.capacity);
    EXPECT_EQ(code, kFound) << row.capacity;
    EXPECT_EQ(text, row.expected) << row.capacity;
  }
}

TEST(TextGetters, ReadTheirFieldsAndReportCodes) {
  const auto machine = JoinTable({testing::Bios("A01", "2024"), testing::System("  Jumpdeck 14  ", "", "SN-1", "SKU 9"),
                                  testing::Baseboard("   "), testing::Processor("Orvo Core 7", 4200)});
  struct Row {
    const char* name;
    TextGetter getter;
    std::uint32_t code;
    std::u16string expected;
  };
  const Row rows[] = {
      {"product", &SmBiosTable::kroGetProductname, kFound, u"Jumpdeck 14"},
      {"serial", &SmBiosTable::kroGetSerialNumber, kFound, u"SN-1"},
      {"sku", &SmBiosTable::kroGetSkuNumber, kFound, u"SKU 9"},
      {"board (spaces only)", &SmBiosTable::kroGetBoardVersion, kValueMissing, u""},
      {"processor", &SmBiosTable::kroGetProcStr, kFound, u"Orvo Core 7"},
  };
  for (const Row& row : rows) {
    Fixture f(machine);
    const auto [code, text] = CallText(f.table, row.getter, 64);
    EXPECT_EQ(code, row.code) << row.name;
    EXPECT_EQ(text, row.expected) << row.name;
    char16_t one = u'#';
    EXPECT_EQ((f.table.*row.getter)(0, &one), kInvalidArgument) << row.name;
    EXPECT_EQ(one, u'#') << row.name;
    EXPECT_EQ((f.table.*row.getter)(64, nullptr), kInvalidArgument) << row.name;
  }
}

TEST(TextGetters, ProductNameAndSerialAreCutThenTrimmed) {
  const std::string product = std::string(78, 'P') + " Q" + std::string(20, 'R');
  const std::string serial = std::string(62, 'S') + " T";
  Fixture f(JoinTable({testing::System(product, "", serial, "")}));
  const auto [productCode, productText] = CallText(f.table, &SmBiosTable::kroGetProductname, 80);
  EXPECT_EQ(productCode, kFound);
  EXPECT_EQ(productText, std::u16string(78, u'P'));
  const auto [serialCode, serialText] = CallText(f.table, &SmBiosTable::kroGetSerialNumber, 64);
  EXPECT_EQ(serialCode, kFound);
  EXPECT_EQ(serialText, std::u16string(62, u'S'));
  EXPECT_EQ(CallText(f.table, &SmBiosTable::kroGetSkuNumber, 64).first, kValueMissing);
}

TEST(TextGetters, TwoProcessorsLeaveBothProcessorFieldsUnchanged) {
  Fixture f(JoinTable({testing::Processor("A", 1000), testing::Processor("B", 2000)}));
  const auto [code, text] = CallText(f.table, &SmBiosTable::kroGetProcStr, 64);
  EXPECT_EQ(code, kStructureNotUnique);
  EXPECT_EQ(text, std::u16string(64, u'#'));
  std::uint16_t speed = 0xBEEF;
  EXPECT_EQ(f.table.kroGetProcessorMaxSpeed(&speed), kStructureNotUnique);
  EXPECT_EQ(speed, 0xBEEF);
}

TEST(TextGetters, FieldsBeyondTheStructureAreReadButNotBeyondTheTable) {
  // An old System Information structure of length 19h: the SKU byte at 19h is the first
  // byte of the string set, read as a string number all the same. Here that byte is 2.
  StructureBuilder old(1, 0x19);
  old.String(0x05, "\x02Old").ExtraString("second");
  Fixture f(JoinTable({old}));
  EXPECT_EQ(CallText(f.table, &SmBiosTable::kroGetSkuNumber, 64), std::make_pair(kFound, std::u16string(u"second")));
  // At the very end of the table: a structure of length 8 whose SKU field lies past the last byte.
  StructureBuilder tail(1, 8);
  tail.String(0x05, "Tail");
  Fixture end(JoinTable({tail}, false));
  const auto [code, text] = CallText(end.table, &SmBiosTable::kroGetSkuNumber, 64);
  EXPECT_EQ(code, kValueMissing);
  EXPECT_EQ(text, std::u16string(64, u'#'));
  std::uint16_t speed = 0xBEEF;
  StructureBuilder cpu(4, 0x10);
  Fixture shortCpu(JoinTable({cpu}, false));
  EXPECT_EQ(shortCpu.table.kroGetProcessorMaxSpeed(&speed), kValueMissing);
  EXPECT_EQ(speed, 0xBEEF);
}

TEST(NumberGetters, ProcessorMaxSpeedIsStoredUnchanged) {
  for (std::uint16_t speed : {0, 1800, 8300, 0xFFFF}) {
    Fixture f(JoinTable({testing::Processor("P", speed)}));
    std::uint16_t value = 0xBEEF;
    EXPECT_EQ(f.table.kroGetProcessorMaxSpeed(&value), kFound);
    EXPECT_EQ(value, speed);
  }
  Fixture none(JoinTable({}));
  EXPECT_EQ(none.table.kroGetProcessorMaxSpeed(nullptr), kInvalidArgument);
}

TEST(NumberGetters, TotalMemorySumsMegabyteSizesIn16Bits) {
  struct Row {
    std::vector<std::uint16_t> sizes;
    std::uint16_t expected;
  };
  const Row rows[] = {
      {{2048, 2048, 0}, 4096},  {{2048, 0xFFFF}, 2048},      {{0x8000 | 512, 1024}, 1024},
      {{0x7FFF, 1}, 0x8000},    {{0x7FFF, 0x7FFF, 4}, 2},    {{}, 0},
  };
  for (const Row& row : rows) {
    std::vector<StructureBuilder> devices;
    for (auto size : row.sizes) devices.push_back(testing::MemoryDevice(size));
    Fixture f(JoinTable(devices));
    std::uint16_t total = 0xBEEF;
    EXPECT_EQ(f.table.kroGetSmbiosTotalMemory(&total), kFound) << row.expected;
    EXPECT_EQ(total, row.expected);
  }
}

TEST(NumberGetters, UmaVideoSizeTakesTheFirstEnabledVideoDevicePerStructure) {
  struct Row {
    const char* what;
    std::vector<std::vector<OnBoardDevice>> structures;
    std::uint32_t code;
    std::uint16_t expected;
  };
  const Row rows[] = {
      {"two structures", {{{0x83, "256MB"}}, {{0x83, "32"}}}, kFound, 288},
      {"disabled entry passed over", {{{0x03, "512"}, {0x83, "64 MB"}}}, kFound, 64},
      {"only the first enabled video counts", {{{0x83, "16"}, {0x83, "128"}}}, kFound, 16},
      {"other kinds ignored", {{{0x85, "100"}, {0x81, "7"}}}, kValueMissing, 0},
      {"no number ends the structure", {{{0x83, "Radeon"}, {0x83, "64"}}}, kValueMissing, 0},
      {"empty description ends it too", {{{0x83, ""}, {0x83, "64"}}}, kValueMissing, 0},
      {"leading spaces, sign", {{{0x83, "   +12"}}, {{0x83, "-2"}}}, kFound, 10},
      {"cut to 16 bits", {{{0x83, "65536"}}, {{0x83, "70000"}}}, kFound, 4464},
      {"saturating parse", {{{0x83, "99999999999"}}}, kFound, 0xFFFF},
      {"no devices", {{}}, kValueMissing, 0},
  };
  for (const Row& row : rows) {
    std::vector<StructureBuilder> structures;
    for (const auto& devices : row.structures) structures.push_back(testing::OnBoardDevices(devices));
    Fixture f(JoinTable(structures));
    std::uint16_t size = 0xBEEF;
    EXPECT_EQ(f.table.kroGetTotalUmaVideoSize(&size), row.code) << row.what;
    EXPECT_EQ(size, row.expected) << row.what;
  }
  Fixture none(JoinTable({}));
  std::uint16_t size = 0xBEEF;
  EXPECT_EQ(none.table.kroGetTotalUmaVideoSize(&size), kStructureNotUnique);
  EXPECT_EQ(size, 0);
}

std::vector<std::uint8_t> BlockBytes(const PlatformCodeBlock& block) {
  std::vector<std::uint8_t> bytes(sizeof(block));
  std::memcpy(bytes.data(), &block, sizeof(block));
  return bytes;
}

TEST(PlatformCode, DecodesEveryPosition) {
  Fixture f(JoinTable({testing::System("P", "12AB345678901234567890123", "S", "")}));
  PlatformCodeBlock block;
  std::memset(&block, 0xCC, sizeof(block));
  ASSERT_EQ(f.table.kroGetPlatformCode(&block), kFound);
  EXPECT_EQ(std::u16string(block.szCode), u"12AB345678901234567890123");
  EXPECT_EQ(block.szCode[25], u'\0');
  EXPECT_EQ(block.nCode00, 12);
  EXPECT_EQ(block.nCode02, 0xABu);
  EXPECT_EQ(std::u16string(block.szCode04), u"345");
  EXPECT_EQ(block.szCode04[3], u'\0');
  EXPECT_EQ(block.nCode07, 6);
  EXPECT_EQ(block.nCode08, 0x78u);
  EXPECT_EQ(block.nCode10, 9);
  EXPECT_EQ(block.nCode11, 0);
  EXPECT_EQ(block.nCode12, 0x12u);
  const std::int32_t singles[] = {block.nCode14, block.nCode15, block.nCode16, block.nCode17,
                                  block.nCode18, block.nCode19, block.nCode20, block.nCode21};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(singles[i], (3 + i) % 10) << "position " << 14 + i;
}

TEST(PlatformCode, OddCharactersDecodeAsTheirLeadingNumbers) {
  // "x1" has no leading digit (0); "f" is a hex digit alone; " 7" skips its space.
  Fixture f(JoinTable({testing::System("P", "x1f-ab c 7G z9 -5-X=Y+Q0_", "S", "")}));
  PlatformCodeBlock block;
  ASSERT_EQ(f.table.kroGetPlatformCode(&block), kFound);
  EXPECT_EQ(block.nCode00, 0);
  EXPECT_EQ(block.nCode02, 0xFu) << "'f-': one digit";
  EXPECT_EQ(std::u16string(block.szCode04), u"ab ");
  EXPECT_EQ(block.nCode07, 0) << "'c'";
  EXPECT_EQ(block.nCode08, 0x7u) << "' 7'";
  EXPECT_EQ(block.nCode10, 0) << "'G'";
  EXPECT_EQ(block.nCode12, 0u) << "'z9'";
  EXPECT_EQ(block.nCode14, 0) << "' '";
}

TEST(PlatformCode, PrimaryThenFallbackSources) {
  const std::string code25 = "0A1B2C3D4E5F6G7H8I9J0K1L2";
  struct Row {
    const char* what;
    std::vector<StructureBuilder> structures;
    std::uint32_t code;
    std::u16string text;
  };
  const Row rows[] = {
      {"exactly 25", {testing::System("P", code25, "S", "")}, kFound, u"0A1B2C3D4E5F6G7H8I9J0K1L2"},
      {"30 cut to 25", {testing::System("P", code25 + "XXXXX", "S", "")}, kFound, u"0A1B2C3D4E5F6G7H8I9J0K1L2"},
      {"24 goes to OEM 4",
       {testing::System("P", code25.substr(0, 24), "S", ""), testing::OemStrings({"a", "b", "c", "OEM-4"})},
       kFound,
       u"OEM-4"},
      {"cut text ending in a space goes to OEM",
       {testing::System("P", code25.substr(0, 24) + "   ", "S", ""), testing::OemStrings({"a", "b", "c", " 12 "})},
       kFound,
       u"12"},
      {"no version goes to OEM", {testing::System("P", "", "S", ""), testing::OemStrings({"1", "2", "3", "4", "5"})},
       kFound,
       u"4"},
      {"OEM count 3", {testing::System("P", "", "S", ""), testing::OemStrings({"a", "b", "c"})}, kValueMissing, u""},
      {"OEM string 4 only spaces",
       {testing::System("P", "", "S", ""), testing::OemStrings({"a", "b", "c", "    "})},
       kValueMissing,
       u""},
      {"no System, no OEM", {}, kStructureNotUnique, u""},
      {"two OEM structures",
       {testing::OemStrings({"a", "b", "c", "d"}), testing::OemStrings({"a", "b", "c", "d"})},
       kStructureNotUnique,
       u""},
      {"OEM string 4 of 40 characters",
       {testing::OemStrings({"a", "b", "c", std::string(40, '7')})},
       kFound,
       std::u16string(25, u'7')},
  };
  for (const Row& row : rows) {
    Fixture f(JoinTable(row.structures));
    PlatformCodeBlock block;
    std::memset(&block, 0xCC, sizeof(block));
    EXPECT_EQ(f.table.kroGetPlatformCode(&block), row.code) << row.what;
    EXPECT_EQ(std::u16string(block.szCode), row.text) << row.what;
    if (row.code != kFound) {
      EXPECT_EQ(BlockBytes(block), std::vector<std::uint8_t>(sizeof(block), 0)) << row.what;
    }
  }
}

TEST(PlatformCode, ShortFallbackTextDecodesMissingPositionsAsZero) {
  Fixture f(JoinTable({testing::OemStrings({"a", "b", "c", "  99F  "})}));
  PlatformCodeBlock block;
  std::memset(&block, 0xCC, sizeof(block));
  ASSERT_EQ(f.table.kroGetPlatformCode(&block), kFound);
  EXPECT_EQ(std::u16string(block.szCode), u"99F");
  EXPECT_EQ(block.nCode00, 99);
  EXPECT_EQ(block.nCode02, 0xFu);
  for (std::size_t i = 3; i < kPlatformCodeChars; ++i) EXPECT_EQ(block.szCode[i], u'\0') << i;
  EXPECT_EQ(std::u16string(block.szCode04), u"");
  EXPECT_EQ(block.nCode07, 0);
  EXPECT_EQ(block.nCode21, 0);
  EXPECT_EQ(f.table.kroGetPlatformCode(nullptr), kInvalidArgument);
}

TEST(GettersWithoutTable, ReportMissingAndWriteOnlyTheAlwaysSetFields) {
  SmBiosTable table(nullptr, 0, kCp1252);
  char16_t text[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
  for (TextGetter getter : {&SmBiosTable::kroGetProductname, &SmBiosTable::kroGetSerialNumber,
                            &SmBiosTable::kroGetSkuNumber, &SmBiosTable::kroGetBoardVersion,
                            &SmBiosTable::kroGetProcStr, &SmBiosTable::kroGetBiosInfo}) {
    EXPECT_EQ((table.*getter)(8, text), kStructureNotUnique);
  }
  EXPECT_EQ(std::u16string(text, 8), u"########");
  std::uint16_t speed = 7, memory = 7, video = 7;
  EXPECT_EQ(table.kroGetProcessorMaxSpeed(&speed), kStructureNotUnique);
  EXPECT_EQ(speed, 7);
  EXPECT_EQ(table.kroGetSmbiosTotalMemory(&memory), kFound);
  EXPECT_EQ(memory, 0);
  EXPECT_EQ(table.kroGetTotalUmaVideoSize(&video), kStructureNotUnique);
  EXPECT_EQ(video, 0);
  PlatformCodeBlock block;
  std::memset(&block, 0xCC, sizeof(block));
  EXPECT_EQ(table.kroGetPlatformCode(&block), kStructureNotUnique);
  EXPECT_EQ(BlockBytes(block), std::vector<std::uint8_t>(sizeof(block), 0));
}

}  // namespace
}  // namespace orvo
