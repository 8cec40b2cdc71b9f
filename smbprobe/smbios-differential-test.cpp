// Differential check against dmidecode: generated machines are written as dump files, decoded
// by `dmidecode --from-dump`, and every value the getters read must agree with dmidecode's
// decoding once the record's own rules (128-byte strings, cut, trim, prefix) are applied.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>

#include "smbprobe/dmi-dump.h"
#include "smbprobe/record-format.h"
#include "smbprobe/smbios-table.h"
#include "smbprobe/sysinfo-fill.h"
#include "smbprobe/test-machine-generator.h"

namespace orvo {
namespace {

constexpr int kMachines = 300;
const Cp1252Decoder kCp1252;

struct Block {
  int type = -1;
  std::vector<std::pair<std::string, std::string>> fields;  // in printed order
  std::optional<std::string> Field(const std::string& key) const {
    for (const auto& [k, v] : fields) {
      if (k == key) return v;
    }
    return std::nullopt;
  }
};

std::string RunDmidecode(const std::string& path) {
  const std::string command = "dmidecode --from-dump '" + path + "' 2>&1";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof(chunk), pipe)) out.append(chunk, n);
    ::pclose(pipe);
  }
  return out;
}

std::vector<Block> ParseDmidecode(const std::string& text) {
  std::vector<Block> blocks;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    int type = 0;
    if (std::sscanf(line.c_str(), "Handle 0x%*x, DMI type %d,", &type) == 1) {
      blocks.push_back({type, {}});
    } else if (!blocks.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
      const auto colon = line.find(": ");
      if (colon != std::string::npos) {
        blocks.back().fields.emplace_back(line.substr(1, colon - 1), line.substr(colon + 2));
      } else if (line.back() == ':') {
        blocks.back().fields.emplace_back(line.substr(1, line.size() - 2), "");
      }
    }
  }
  return blocks;
}

std::vector<const Block*> OfType(const std::vector<Block>& blocks, int type) {
  std::vector<const Block*> found;
  for (const Block& b : blocks) {
    if (b.type == type) found.push_back(&b);
  }
  return found;
}

// What a string field yields in a record: the first 128 bytes, cut to capacity - 1, trimmed
// of spaces. nullopt where the getters find nothing.
std::optional<std::string> RecordText(const std::optional<std::string>& printed, std::size_t capacity) {
  if (!printed || *printed == "Not Specified" || *printed == "<BAD INDEX>") return std::nullopt;
  std::string s = printed->substr(0, 128).substr(0, capacity - 1);
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::optional<std::string> ExpectedBios(const std::vector<Block>& blocks) {
  const auto bios = OfType(blocks, 0);
  if (bios.size() != 1) return std::nullopt;
  auto version = RecordText(bios[0]->Field("Version"), 260);
  if (!version || version->empty()) return std::nullopt;
  if (const auto at = Lower(*version).find("ver. "); at != std::string::npos) {
    *version = version->substr(at + 5);
  } else if (const auto v = Lower(*version).find('v'); v != std::string::npos) {
    *version = version->substr(v + 1);
  }
  const auto date = RecordText(bios[0]->Field("Release Date"), 260);
  const std::string whole = date && !date->empty() ? *version + " - " + *date : *version;
  return whole.substr(0, 63);
}

std::optional<std::string> ExpectedUniqueText(const std::vector<Block>& blocks, int type, const char* key,
                                              std::size_t capacity) {
  const auto found = OfType(blocks, type);
  if (found.size() != 1) return std::nullopt;
  auto text = RecordText(found[0]->Field(key), capacity);
  return text;
}

std::string ExpectedPlatformCode(const std::vector<Block>& blocks) {
  const auto system = OfType(blocks, 1);
  if (system.size() == 1) {
    const auto code = RecordText(system[0]->Field("Version"), 26);
    if (code && code->size() == 25) return *code;
  }
  const auto oem = OfType(blocks, 11);
  if (oem.size() != 1) return "";
  return RecordText(oem[0]->Field("String 4"), 26).value_or("");
}

std::uint16_t ExpectedMemory(const std::vector<Block>& blocks) {
  std::uint16_t sum = 0;
  for (const Block* device : OfType(blocks, 17)) {
    const std::string size = device->Field("Size").value_or("?");
    unsigned value = 0;
    char unit[8] = {};
    if (std::sscanf(size.c_str(), "%u %7s", &value, unit) != 2) continue;  // none installed, unknown
    if (std::strcmp(unit, "MB") == 0) sum = static_cast<std::uint16_t>(sum + value);
    if (std::strcmp(unit, "GB") == 0) sum = static_cast<std::uint16_t>(sum + value * 1024);
  }
  return sum;
}

std::uint16_t ExpectedVideo(const std::vector<Block>& blocks) {
  std::uint16_t sum = 0;
  for (const Block* devices : OfType(blocks, 10)) {
    const auto& f = devices->fields;
    for (std::size_t i = 0; i + 2 < f.size(); i += 3) {
      if (f[i].second != "Video" || f[i + 1].second != "Enabled") continue;
      const auto description = RecordText(f[i + 2].second, 64);
      if (description && !description->empty()) {
        const long long value = std::strtoll(description->c_str(), nullptr, 10);
        const long long clamped = std::max<long long>(std::numeric_limits<std::int32_t>::min(),
                                                      std::min<long long>(value, std::numeric_limits<std::int32_t>::max()));
        sum = static_cast<std::uint16_t>(sum + static_cast<std::uint16_t>(clamped));
      }
      break;
    }
  }
  return sum;
}

template <std::size_t N>
std::optional<std::string> RecordField(const char16_t (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != u'\0') ++n;
  if (n == N) return std::nullopt;  // still the pattern: untouched
  return ToUtf8({field, n});
}

TEST(Dmidecode, GettersAgreeWithDmidecodeOnGeneratedMachines) {
  ASSERT_EQ(std::system("dmidecode --version >/dev/null 2>&1"), 0) << "dmidecode is missing: run scripts/setup.sh";
  const std::string path = ::testing::TempDir() + "smbprobe-differential.bin";
  std::mt19937 rng(20261211);
  int withBios = 0, withPlatformCode = 0, withVideo = 0;
  for (int i = 0; i < kMachines; ++i) {
    const auto machine = testing::GenerateMachine(rng);
    {
      const auto dump = MakeDmiDump(machine.table, machine.majorVersion, machine.minorVersion, machine.structureCount);
      std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(dump.data()),
                                                  static_cast<std::streamsize>(dump.size()));
    }
    const std::string printed = RunDmidecode(path);
    const auto blocks = ParseDmidecode(printed);
    ASSERT_EQ(blocks.size(), machine.structureCount) << "machine " << i << ":\n" << printed;

    alignas(4) std::uint8_t bytes[sizeof(SysInfoRecord)];
    std::memset(bytes, 0xA5, sizeof(bytes));
    auto& record = *reinterpret_cast<SysInfoRecord*>(bytes);
    SmBiosTable table(machine.table.data(), static_cast<std::int32_t>(machine.table.size()), kCp1252);
    FillSysInfoRecord(table, record);

    const auto context = [&] { return "machine " + std::to_string(i) + ", dmidecode says:\n" + printed; };
    EXPECT_EQ(RecordField(record.szBiosVersion), ExpectedBios(blocks)) << context();
    EXPECT_EQ(RecordField(record.szProductName2), ExpectedUniqueText(blocks, 1, "Product Name", 80)) << context();
    EXPECT_EQ(RecordField(record.szSerialNumber), ExpectedUniqueText(blocks, 1, "Serial Number", 64)) << context();
    EXPECT_EQ(RecordField(record.szSkuNumber), ExpectedUniqueText(blocks, 1, "SKU Number", 64)) << context();
    EXPECT_EQ(RecordField(record.szBoardVersion), ExpectedUniqueText(blocks, 2, "Version", 64)) << context();
    EXPECT_EQ(RecordField(record.szProcessor), ExpectedUniqueText(blocks, 4, "Version", 64)) << context();
    EXPECT_EQ(RecordField(record.PlatformCode.szCode).value_or("<none>"), ExpectedPlatformCode(blocks)) << context();
    EXPECT_EQ(record.wTotalMemory, ExpectedMemory(blocks)) << context();
    EXPECT_EQ(record.wUmaVideoSize, ExpectedVideo(blocks)) << context();
    const auto processors = OfType(blocks, 4);
    if (processors.size() == 1) {
      const std::string speed = processors[0]->Field("Max Speed").value_or("?");
      EXPECT_EQ(record.wProcessorMaxSpeed, speed == "Unknown" ? 0 : std::atoi(speed.c_str())) << context();
    } else {
      EXPECT_EQ(record.wProcessorMaxSpeed, 0xA5A5) << context();
    }
    withBios += RecordField(record.szBiosVersion).has_value();
    withPlatformCode += record.PlatformCode.szCode[0] != u'\0';
    withVideo += record.wUmaVideoSize != 0;
  }
  std::remove(path.c_str());
  // The generator must keep exercising every kind of value.
  EXPECT_GT(withBios, kMachines / 2);
  EXPECT_GT(withPlatformCode, kMachines / 10);
  EXPECT_GT(withVideo, kMachines / 10);
}

}  // namespace
}  // namespace orvo
