// The structure walk and string lookup: order, string collection, damaged tables, cut-then-trim.
#include <gtest/gtest.h>

#include <cstring>

#include "smbprobe/smbios-table.h"
#include "smbprobe/test-table-builder.h"

namespace orvo {
namespace {

using testing::JoinTable;
using testing::StructureBuilder;

const Cp1252Decoder kCp1252;

SmBiosTable TableOf(const std::vector<std::uint8_t>& bytes) {
  return SmBiosTable(bytes.data(), static_cast<std::int32_t>(bytes.size()), kCp1252);
}

std::u16string Fetch(SmBiosTable& table, const StructureRecord& record, std::uint8_t number, std::uint32_t capacity,
                     std::uint16_t* length) {
  std::vector<char16_t> buffer(capacity + 8, u'#');
  *length = table.kroGetString(buffer.data(), capacity, record, number);
  for (std::size_t i = capacity; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], u'#') << "overrun at " << i;
  return std::u16string(buffer.data());
}

TEST(StructureIndex, KeepsTableOrderAndBuildsOnce) {
  const auto bytes = JoinTable({testing::MemoryDevice(1024), testing::Bios("A01", "01/01/2020"),
                                testing::MemoryDevice(2048), StructureBuilder(200, 4)});
  SmBiosTable table = TableOf(bytes);
  EXPECT_EQ(table.WalkCount(), 0u);
  const auto memory = table.kroFindStructure(17);
  ASSERT_EQ(memory.size(), 2u);
  EXPECT_EQ(memory[0].pHeader, bytes.data());
  EXPECT_EQ(memory[0].pHeader[0x0C] | memory[0].pHeader[0x0D] << 8, 1024);
  EXPECT_EQ(memory[1].pHeader[0x0C] | memory[1].pHeader[0x0D] << 8, 2048);
  EXPECT_EQ(table.kroFindStructure(0).size(), 1u);
  EXPECT_EQ(table.kroFindStructure(200).size(), 1u);
  EXPECT_EQ(table.kroFindStructure(127).size(), 1u) << "the end-of-table structure is indexed";
  EXPECT_TRUE(table.kroFindStructure(3).empty());
  EXPECT_TRUE(table.kroFindStructure(0x111).empty()) << "types above 255 never match";
  EXPECT_EQ(table.WalkCount(), 1u);
}

TEST(StructureIndex, StructureWithoutStringsIsFollowedTwoBytesPastItsArea) {
  const auto bytes = JoinTable({StructureBuilder(32, 0x0B), testing::Baseboard("B2")});
  SmBiosTable table = TableOf(bytes);
  const auto boot = table.kroFindStructure(32);
  ASSERT_EQ(boot.size(), 1u);
  EXPECT_TRUE(boot[0].Strings.empty());
  const auto board = table.kroFindStructure(2);
  ASSERT_EQ(board.size(), 1u);
  EXPECT_EQ(board[0].pHeader, bytes.data() + 0x0B + 2);
  EXPECT_EQ(board[0].Strings, (std::vector<std::string>{"Orvotek", "JD-100", "B2"}));
}

TEST(StructureIndex, LongStringsAreKeptToTheirFirst128Bytes) {
  const std::string longText(128, 'a');
  StructureBuilder s(1, 8);
  s.String(5, longText + std::string(72, 'b')).String(6, "next");
  const auto bytes = JoinTable({s});
  SmBiosTable table = TableOf(bytes);
  const auto system = table.kroFindStructure(1);
  ASSERT_EQ(system.size(), 1u);
  EXPECT_EQ(system[0].Strings, (std::vector<std::string>{longText, "next"}));
  EXPECT_EQ(table.kroFindStructure(127).size(), 1u) << "the walk resynchronises after the long string";
}

TEST(StructureIndex, TableWithoutBytesFindsNothingAndRetriesTheWalk) {
  const std::uint8_t byte = 0;
  for (auto [data, size] : {std::pair<const std::uint8_t*, std::int32_t>{nullptr, 100}, {&byte, 0}, {&byte, -5}}) {
    SmBiosTable table(data, size, kCp1252);
    EXPECT_TRUE(table.kroFindStructure(0).empty());
    EXPECT_TRUE(table.kroFindStructure(1).empty());
    EXPECT_EQ(table.WalkCount(), 2u) << "an empty index is rebuilt on each lookup";
  }
}

// A damaged tail is dropped, and nothing past the given size is read: each table is copied
// into a heap block of exactly its size, so AddressSanitizer catches any overread.
TEST(StructureIndex, DamagedTailIsDroppedWithoutReadingPastTheEnd) {
  const auto good = JoinTable({testing::Bios("A01", "01/01/2020")}, false);
  struct Row {
    const char* what;
    std::vector<std::uint8_t> tail;
  };
  const Row rows[] = {
      {"one lone byte", {0x01}},
      {"header only", {0x01, 0x1B}},
      {"formatted area cut short", {0x01, 0x1B, 0x00, 0x01, 0x02}},
      {"length below 4", {0x01, 0x03, 0x00, 0x01, 0x00, 0x00}},
      {"length 0", {0x01, 0x00, 0x00, 0x00}},
      {"string set without the closing zero", {0x01, 0x04, 0x00, 0x01, 'A', 'B', 0x00}},
      {"string cut mid-way", {0x01, 0x04, 0x00, 0x01, 'A', 'B'}},
      {"formatted area ends at the last byte", {0x01, 0x04, 0x00, 0x01}},
      {"one zero after the area", {0x01, 0x04, 0x00, 0x01, 0x00}},
  };
  for (const Row& row : rows) {
    std::vector<std::uint8_t> bytes = good;
    bytes.insert(bytes.end(), row.tail.begin(), row.tail.end());
    auto exact = std::make_unique<std::uint8_t[]>(bytes.size());
    std::memcpy(exact.get(), bytes.data(), bytes.size());
    SmBiosTable table(exact.get(), static_cast<std::int32_t>(bytes.size()), kCp1252);
    EXPECT_EQ(table.kroFindStructure(0).size(), 1u) << row.what;
    EXPECT_TRUE(table.kroFindStructure(1).empty()) << row.what;
    std::uint16_t words[2] = {0xAAAA, 0xAAAA};
    EXPECT_EQ(table.kroGetSmbiosTotalMemory(&words[0]), kFound) << row.what;
    EXPECT_EQ(table.kroGetProcessorMaxSpeed(&words[1]), kStructureNotUnique) << row.what;
  }
}

TEST(StructureIndex, EmptyStringsInTheSetAreSkipped) {
  // A set opening with a lone zero: the walk goes on to the next string rather than ending.
  const std::vector<std::uint8_t> bytes = {0x0B, 0x05, 0x00, 0x00, 0x01, 0x00, 'X', 0x00, 0x00};
  SmBiosTable table = TableOf(bytes);
  const auto oem = table.kroFindStructure(11);
  ASSERT_EQ(oem.size(), 1u);
  EXPECT_EQ(oem[0].Strings, (std::vector<std::string>{"X"}));
}

TEST(StringLookup, CutsThenTrims) {
  struct Row {
    std::string stored;
    std::uint32_t capacity;
    std::u16string expected;
    std::uint16_t length;
  };
  const Row rows[] = {
      {"  abc  ", 64, u"abc", 3},
      {"  " + std::string(28, 'x'), 26, std::u16string(23, u'x'), 23},
      {"     ", 64, u"", 0},
      {"abcdef", 4, u"abc", 3},
      {"abc  def ", 6, u"abc", 3},
      {"abc", 1, u"", 0},
      {"\tabc\t", 64, u"\tabc\t", 5},
      {"Caf\xE9 \x80 \x9F", 64, u"Caf\u00E9 \u20AC \u0178", 8},
      {"\x81\x8D\x8F\x90\x9D", 64, u"\u0081\u008D\u008F\u0090\u009D", 5},
  };
  for (const Row& row : rows) {
    StructureBuilder s(1, 8);
    s.String(5, row.stored);
    const auto bytes = JoinTable({s});
    SmBiosTable table = TableOf(bytes);
    const auto system = table.kroFindStructure(1);
    ASSERT_EQ(system.size(), 1u);
    std::uint16_t length = 0;
    EXPECT_EQ(Fetch(table, system[0], 1, row.capacity, &length), row.expected) << row.stored;
    EXPECT_EQ(length, row.length) << row.stored;
  }
}

TEST(StringLookup, NumbersOutsideTheSetLeaveTheBufferUntouched) {
  StructureBuilder s(1, 8);
  s.String(5, "one").String(6, "two");
  const auto bytes = JoinTable({s});
  SmBiosTable table = TableOf(bytes);
  const auto system = table.kroFindStructure(1);
  for (std::uint8_t number : {0, 3, 255}) {
    char16_t buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(table.kroGetString(buffer, 8, system[0], number), 0u) << int{number};
    EXPECT_EQ(std::u16string(buffer, 8), u"########") << int{number};
  }
  char16_t buffer[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(table.kroGetString(buffer, 0, system[0], 1), 0u);
  EXPECT_EQ(table.kroGetString(nullptr, 4, system[0], 1), 0u);
  EXPECT_EQ(std::u16string(buffer, 4), u"####");
  EXPECT_EQ(table.kroGetString(buffer, 4, system[0], 2), 3u);
  EXPECT_EQ(std::u16string(buffer), u"two");
}

}  // namespace
}  // namespace orvo
