// The generator draws each structure's presence, count and strings from the seed.
#include "smbprobe/test-machine-generator.h"

#include <algorithm>
#include <string>

#include "smbprobe/test-table-builder.h"

namespace orvo::testing {
namespace {

int Pick(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

bool Chance(std::mt19937& rng, int percent) { return Pick(rng, 0, 99) < percent; }

// Printable text with runs of spaces at either end now and then, occasionally empty (which
// the builder stores as "no string").
std::string Text(std::mt19937& rng, int maxLength) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 .-_/():[]#";
  if (Chance(rng, 8)) return "";
  std::string text;
  if (Chance(rng, 20)) text.append(static_cast<std::size_t>(Pick(rng, 1, 4)), ' ');
  const int length = Pick(rng, 1, maxLength);
  for (int i = 0; i < length; ++i) text += kAlphabet[Pick(rng, 0, sizeof(kAlphabet) - 2)];
  if (Chance(rng, 20)) text.append(static_cast<std::size_t>(Pick(rng, 1, 4)), ' ');
  if (Chance(rng, 3)) text = std::string(static_cast<std::size_t>(Pick(rng, 1, 6)), ' ');
  return text;
}

std::string BiosVersion(std::mt19937& rng) {
  static const char* const kPrefixes[] = {"", "", "Ver. ", "VER. ", "V", "v", "REV ", "Version ", "BIOS ver. "};
  return kPrefixes[Pick(rng, 0, 8)] + Text(rng, 30);
}

std::string PlatformText(std::mt19937& rng) {
  if (Chance(rng, 40)) {
    std::string code;
    for (int i = 0; i < 25; ++i) code += "0123456789ABCDEF"[Pick(rng, 0, 15)];
    return code + (Chance(rng, 30) ? Text(rng, 8) : "");
  }
  return Text(rng, 40);
}

std::uint16_t MemorySize(std::mt19937& rng) {
  static const std::uint16_t kSizes[] = {0, 512, 1024, 2048, 4096, 8192, 16384, 0xFFFF, 0x8000 | 512, 0x7000, 3000};
  return kSizes[Pick(rng, 0, 10)];
}

}  // namespace

GeneratedMachine GenerateMachine(std::mt19937& rng) {
  std::vector<StructureBuilder> structures;
  const auto some = [&](int none, int several) { return Chance(rng, none) ? 0 : Chance(rng, several) ? 2 : 1; };

  for (int i = some(5, 5); i > 0; --i) structures.push_back(Bios(BiosVersion(rng), Text(rng, 12)));
  for (int i = some(5, 5); i > 0; --i) {
    structures.push_back(System(Text(rng, 100), PlatformText(rng), Text(rng, 80), Text(rng, 70)));
  }
  for (int i = some(10, 5); i > 0; --i) structures.push_back(Baseboard(Text(rng, 70)));
  for (int i = some(5, 15); i > 0; --i) {
    structures.push_back(Processor(Text(rng, 70), static_cast<std::uint16_t>(Pick(rng, 0, 9000))));
  }
  for (int i = Pick(rng, 0, 4); i > 0; --i) structures.push_back(MemoryDevice(MemorySize(rng)));
  for (int i = Pick(rng, 0, 2); i > 0; --i) {
    std::vector<OnBoardDevice> devices;
    for (int d = Pick(rng, 0, 3); d > 0; --d) {
      const std::uint8_t kind = static_cast<std::uint8_t>(Chance(rng, 60) ? 3 : Pick(rng, 1, 10));
      const std::string number = std::to_string(Pick(rng, 0, 2048));
      const std::string description = Chance(rng, 70) ? (Chance(rng, 30) ? "  " : "") + number + Text(rng, 10)
                                                      : Text(rng, 20);
      devices.push_back({static_cast<std::uint8_t>(kind | (Chance(rng, 75) ? 0x80 : 0)), description});
    }
    structures.push_back(OnBoardDevices(devices));
  }
  for (int i = some(40, 5); i > 0; --i) {
    std::vector<std::string> strings;
    for (int s = Pick(rng, 1, 6); s > 0; --s) {
      std::string text = Text(rng, 40);
      strings.push_back(text.empty() ? "x" : text);
    }
    structures.push_back(OemStrings(strings));
  }
  // Shuffled so that no getter depends on where its structure stands.
  std::shuffle(structures.begin(), structures.end(), rng);

  GeneratedMachine machine;
  machine.table = JoinTable(structures);
  machine.structureCount = static_cast<std::uint16_t>(structures.size() + 1);
  machine.majorVersion = Chance(rng, 50) ? 3 : 2;
  machine.minorVersion = static_cast<std::uint8_t>(machine.majorVersion == 3 ? Pick(rng, 0, 5) : Pick(rng, 6, 8));
  return machine;
}

}  // namespace orvo::testing
