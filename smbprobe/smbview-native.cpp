// smbview (host build): prints the record that smbprobe would fill from a dmidecode dump file or
// a bare structure table, decoding strings as code page 1252.
//   smbview [--json] FILE
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "smbprobe/dmi-dump.h"
#include "smbprobe/record-format.h"
#include "smbprobe/smbios-table.h"
#include "smbprobe/sysinfo-fill.h"

int main(int argc, char** argv) {
  bool json = false;
  const char* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0) {
      json = true;
    } else if (path == nullptr) {
      path = argv[i];
    } else {
      path = nullptr;
      break;
    }
  }
  if (path == nullptr) {
    std::fprintf(stderr, "usage: smbview [--json] FILE   (dmidecode dump or raw SMBIOS table)\n");
    return 2;
  }
  const auto file = orvo::ReadWholeFile(path);
  if (!file) {
    std::fprintf(stderr, "smbview: cannot read %s\n", path);
    return 1;
  }
  const auto image = orvo::ParseSmBiosFile(*file);
  if (!image) {
    std::fprintf(stderr, "smbview: %s: the entry point is damaged or points outside the file\n", path);
    return 1;
  }
  const std::size_t size = std::min<std::size_t>(image->table.size(), std::numeric_limits<std::int32_t>::max());
  orvo::Cp1252Decoder decoder;
  orvo::SmBiosTable table(image->table.data(), static_cast<std::int32_t>(size), decoder);
  orvo::SysInfoRecord record{};
  orvo::FillSysInfoRecord(table, record);
  const std::string out = json ? orvo::FormatRecordJson(record) : orvo::FormatRecordText(record);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
