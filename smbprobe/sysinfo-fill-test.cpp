// Whole-record fills from the four real tables, and the bytes the library must never touch.
#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "smbprobe/smbios-table.h"
#include "smbprobe/sysinfo-fill.h"
#include "smbprobe/test-table-builder.h"

namespace orvo {
namespace {

const Cp1252Decoder kCp1252;
constexpr std::uint8_t kPattern = 0xA5;
// A text field the library left alone still holds the pattern and no terminator.
const std::u16string kUntouched = u"<no terminator>";

struct Expected {
  const char* name;
  std::u16string bios, serial, processor, board, product, sku, code;
  std::uint16_t memory, video, speed;
};

// A sentinel-filled record (with guard bytes after it) filled from `table`.
struct FilledRecord {
  alignas(4) std::uint8_t bytes[kSysInfoRecordSize + 16];
  SysInfoRecord& record() { return *reinterpret_cast<SysInfoRecord*>(bytes); }
};

void Fill(FilledRecord& out, const std::vector<std::uint8_t>& table, std::uint8_t pattern = kPattern) {
  std::memset(out.bytes, pattern, sizeof(out.bytes));
  SmBiosTable reader(table.data(), static_cast<std::int32_t>(table.size()), kCp1252);
  FillSysInfoRecord(reader, out.record());
}

// The text up to its terminator; a field without one is reported as such.
template <std::size_t N>
std::u16string Text(const char16_t (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != u'\0') ++n;
  return n == N ? kUntouched : std::u16string(field, n);
}

void ExpectUntouched(const FilledRecord& out, std::size_t begin, std::size_t end, const char* name) {
  for (std::size_t i = begin; i < end; ++i) {
    ASSERT_EQ(out.bytes[i], kPattern) << name << ": byte " << i << " was written";
  }
}

void ExpectReservedUntouched(const FilledRecord& out, const char* name) {
  ExpectUntouched(out, 0, 4, name);
  ExpectUntouched(out, 132, 388, name);
  ExpectUntouched(out, 516, 644, name);
  ExpectUntouched(out, 906, 924, name);
  ExpectUntouched(out, kSysInfoRecordSize, sizeof(out.bytes), name);
}

TEST(RecordFill, RealMachines) {
  const Expected machines[] = {
      {"lenovo-thinkpad-t440s", u"GJET75WW (2.25 ) - 03/28/2014", u"PF01VVCA",
       u"Intel(R) Core(TM) i7-4600U CPU @ 2.10GHz", u"Not Defined", u"20ARS19C0C",
       u"LENOVO_MT_20AR_BU_Think_FM_ThinkPad T440s", u"", 12288, 0, 2100},
      {"dell-xps13-9365", u"99.01.21 - 08/21/2017", u"2R0Q2G2", u"Intel(R) Core(TM) i7-7Y75 CPU @ 1.30GHz",
       u"A00", u"XPS 13 9365", u"077A", u"12[www.dell.com]", 16384, 0, 8300},
      {"microsoft-surface-laptop-3", u"1.2238.140 - 01/16/2020", u"023078193757", u"AMD Ryzen 7 Microsoft Surface (R) Edition",
       kUntouched, u"Surface Laptop 3", u"Surface_Laptop_3_1873", u"124I:00044T:000M:0400000B", 16384, 0, 4000},
      {"dell-latitude-d610", u"A06 - 10/02/2005", u"HNJTC81", kUntouched, u"",
       u"Latitude D610", kUntouched, u"", 512, 0, 1800},
  };
  for (const Expected& m : machines) {
    FilledRecord out;
    Fill(out, testing::ReadTestData(std::string(m.name) + ".table"));
    SysInfoRecord& r = out.record();
    EXPECT_EQ(Text(r.szBiosVersion), m.bios) << m.name;
    EXPECT_EQ(Text(r.szSerialNumber), m.serial) << m.name;
    EXPECT_EQ(Text(r.szProductName2), m.product) << m.name;
    EXPECT_EQ(Text(r.szProcessor), m.processor) << m.name;
    EXPECT_EQ(Text(r.szBoardVersion), m.board) << m.name;
    EXPECT_EQ(Text(r.szSkuNumber), m.sku) << m.name;
    EXPECT_EQ(r.wTotalMemory, m.memory) << m.name;
    EXPECT_EQ(r.wUmaVideoSize, m.video) << m.name;
    EXPECT_EQ(r.wProcessorMaxSpeed, m.speed) << m.name;
    EXPECT_EQ(Text(r.PlatformCode.szCode), m.code) << m.name;
    ExpectReservedUntouched(out, m.name);
  }
}

TEST(RecordFill, DecodesARealPlatformCode) {
  FilledRecord out;
  Fill(out, testing::ReadTestData("microsoft-surface-laptop-3.table"));
  const PlatformCodeBlock& p = out.record().PlatformCode;
  EXPECT_EQ(p.nCode00, 12);
  EXPECT_EQ(p.nCode02, 0x4u) << "'4I': one hex digit";
  EXPECT_EQ(Text(p.szCode04), u":00");
  EXPECT_EQ(p.nCode08, 0x44u);
  EXPECT_EQ(p.nCode10, 0) << "'T'";
  EXPECT_EQ(p.nCode18, 4);
  for (std::size_t i = 25; i < kPlatformCodeChars; ++i) EXPECT_EQ(p.szCode[i], u'\0');
}

TEST(RecordFill, WithoutATableOnlySizesAndPlatformCodeAreWritten) {
  for (std::uint8_t pattern : {0xA5, 0x00, 0xFF}) {
    FilledRecord out;
    std::memset(out.bytes, pattern, sizeof(out.bytes));
    SmBiosTable reader(nullptr, 0, kCp1252);
    FillSysInfoRecord(reader, out.record());
    for (std::size_t i = 0; i < sizeof(out.bytes); ++i) {
      const bool zeroed = (i >= 644 && i < 648) || (i >= 1084 && i < 1204);
      ASSERT_EQ(out.bytes[i], zeroed ? 0 : pattern) << "byte " << i << " with pattern " << int{pattern};
    }
  }
}

TEST(RecordFill, TwoFillsOfZeroedRecordsAreIdentical) {
  for (const char* name : {"lenovo-thinkpad-t440s.table", "dell-latitude-d610.table"}) {
    const auto table = testing::ReadTestData(name);
    FilledRecord first, second;
    Fill(first, table, 0);
    Fill(second, table, 0);
    EXPECT_EQ(std::memcmp(first.bytes, second.bytes, sizeof(first.bytes)), 0) << name;
  }
}

// Runs out of memory at the n-th string conversion.
class ExhaustedDecoder final : public AnsiDecoder {
public:
  explicit ExhaustedDecoder(int failAt) : left_(failAt) {}
  std::u16string Decode(std::string_view bytes) const override {
    if (--left_ == 0) throw std::bad_alloc();
    return kCp1252.Decode(bytes);
  }

private:
  mutable int left_;
};

template <std::size_t N>
bool TerminatedOrUntouched(const char16_t (&field)[N]) {
  return Text(field) != kUntouched || field[0] == 0xA5A5;
}

// Out of memory part-way leaves every field either whole or as the caller left it.
TEST(RecordFill, OutOfMemoryLeavesNoHalfWrittenField) {
  const auto table = testing::ReadTestData("dell-xps13-9365.table");
  int failures = 0;
  for (int failAt = 1;; ++failAt) {
    FilledRecord out;
    std::memset(out.bytes, kPattern, sizeof(out.bytes));
    const ExhaustedDecoder decoder(failAt);
    SmBiosTable reader(table.data(), static_cast<std::int32_t>(table.size()), decoder);
    try {
      FillSysInfoRecord(reader, out.record());
      break;  // fewer conversions than failAt: every point of failure was tried
    } catch (const std::bad_alloc&) {
      ++failures;
    }
    const SysInfoRecord& r = out.record();
    EXPECT_TRUE(TerminatedOrUntouched(r.szBiosVersion) && TerminatedOrUntouched(r.szSerialNumber) &&
                TerminatedOrUntouched(r.szProcessor) && TerminatedOrUntouched(r.szBoardVersion) &&
                TerminatedOrUntouched(r.szProductName2) && TerminatedOrUntouched(r.szSkuNumber))
        << failAt;
    ExpectReservedUntouched(out, "out of memory");
  }
  EXPECT_GE(failures, 9) << "one per string the getters convert";
}

}  // namespace
}  // namespace orvo
