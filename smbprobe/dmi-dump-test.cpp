// Dump files: the real fixtures parse to their bare tables; written dumps parse back.
#include <gtest/gtest.h>

#include "smbprobe/dmi-dump.h"
#include "smbprobe/test-table-builder.h"

namespace orvo {
namespace {

TEST(DmiDump, RealDumpsHoldTheirBareTables) {
  struct Row {
    const char* name;
    std::uint8_t major, minor;
  };
  const Row rows[] = {{"lenovo-thinkpad-t440s", 2, 7},
                      {"dell-xps13-9365", 3, 0},
                      {"microsoft-surface-laptop-3", 3, 2},
                      {"dell-latitude-d610", 2, 3}};
  for (const Row& row : rows) {
    const auto image = ParseSmBiosFile(testing::ReadTestData(std::string(row.name) + ".bin"));
    ASSERT_TRUE(image) << row.name;
    EXPECT_EQ(image->table, testing::ReadTestData(std::string(row.name) + ".table")) << row.name;
    EXPECT_EQ(image->majorVersion, row.major) << row.name;
    EXPECT_EQ(image->minorVersion, row.minor) << row.name;
  }
}

TEST(DmiDump, WrittenDumpsParseBackWithValidChecksums) {
  const auto table = testing::JoinTable({testing::Bios("A", "B"), testing::MemoryDevice(64)});
  for (auto [major, minor] : {std::pair<std::uint8_t, std::uint8_t>{2, 8}, {3, 4}}) {
    const auto dump = MakeDmiDump(table, major, minor, 3);
    const std::size_t entryLength = major >= 3 ? 0x18 : 0x1F;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < entryLength; ++i) sum = static_cast<std::uint8_t>(sum + dump[i]);
    EXPECT_EQ(sum, 0) << int{major};
    const auto image = ParseSmBiosFile(dump);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->table, table);
    EXPECT_EQ(image->majorVersion, major);
    EXPECT_EQ(image->minorVersion, minor);
  }
}

TEST(DmiDump, BrokenEntryPointsAreRefusedAndOtherBytesAreBareTables) {
  auto dump = MakeDmiDump(testing::JoinTable({}), 2, 8, 1);
  auto pointsOutside = dump;
  pointsOutside[0x18] = 0xF0;
  pointsOutside[0x19] = 0xFF;
  EXPECT_FALSE(ParseSmBiosFile(pointsOutside));
  EXPECT_FALSE(ParseSmBiosFile({'_', 'S', 'M', '3', '_', 0}));
  EXPECT_FALSE(ParseSmBiosFile({'_', 'S', 'M', '_'}));
  auto longer = dump;
  longer[0x16] = 0xFF;  // claims more than the file holds: cut to the file
  EXPECT_EQ(ParseSmBiosFile(longer)->table.size(), dump.size() - 0x20);
  const std::vector<std::uint8_t> bare = {0x7F, 0x04, 0x00, 0x00, 0x00, 0x00};
  EXPECT_EQ(ParseSmBiosFile(bare)->table, bare);
}

}  // namespace
}  // namespace orvo
