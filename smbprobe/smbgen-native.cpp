// smbgen: writes generated machines for fuzz seeds and benchmarks.
//   smbgen DIR COUNT [--dump] [--seed N]   bare tables (NAME.table) or dmidecode dumps (NAME.bin)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "smbprobe/dmi-dump.h"
#include "smbprobe/test-machine-generator.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: smbgen DIR COUNT [--dump] [--seed N]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int count = std::atoi(argv[2]);
  bool dump = false;
  unsigned seed = 1;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--dump") == 0) dump = true;
    if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) seed = static_cast<unsigned>(std::atoi(argv[++i]));
  }
  std::mt19937 rng(seed);
  for (int i = 0; i < count; ++i) {
    const auto machine = orvo::testing::GenerateMachine(rng);
    const auto bytes = dump ? orvo::MakeDmiDump(machine.table, machine.majorVersion, machine.minorVersion,
                                                machine.structureCount)
                            : machine.table;
    const std::string path = dir + "/machine-" + std::to_string(i) + (dump ? ".bin" : ".table");
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "smbgen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
