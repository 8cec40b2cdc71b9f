// The start rule against an in-memory file system: which program a command line names and
// when nothing is started.
#include "keywatch/start-application-plan.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvo {
namespace {

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

const std::wstring kRotor = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe";

TEST(PlanApplicationStart, NamesTheLongestExistingPrefixNeverAPlantedShorterOne) {
  const std::set<std::wstring> files = {
      kRotor,
      L"C:\\Program.exe", L"C:\\Program", L"C:\\Program Files\\Orvotek\\Orvo.exe",
      L"C:\\Program Files\\Orvotek\\Orvo",  // planted shorter paths
      L"C:\\Tools\\a b.exe", L"C:\\Tools\\a", L"C:\\Tools\\Up.COM",
      L"relative dir\\tool.exe",
  };
  std::vector<std::wstring> probed;
  const FileProbe probe = [&](const std::wstring& path) {
    probed.push_back(path);
    return files.count(path) != 0;
  };
  const struct {
    const wchar_t* line;
    const wchar_t* application;  // nullptr: passed without one
    bool starts;
  } cases[] = {
      {L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe", kRotor.c_str(), true},
      {L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe /x y", kRotor.c_str(), true},
      {L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe   ", kRotor.c_str(), true},
      {L"  C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe\t-a", kRotor.c_str(), true},
      {L"C:\\Tools\\a b.exe c", L"C:\\Tools\\a b.exe", true},
      {L"C:\\Tools\\Up.COM x y", L"C:\\Tools\\Up.COM", true},
      {L"relative dir\\tool.exe --go", L"relative dir\\tool.exe", true},
      // The configured program is missing: the planted extension-less shorter paths are not
      // taken for it, and nothing is left to the platform's guessing.
      {L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\missing.exe", nullptr, false},
      {L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\missing.exe -x", nullptr, false},
      {L"C:\\Tools\\a b", nullptr, false},
      {L"C:\\Tools\\a b.exe", L"C:\\Tools\\a b.exe", true},
      {L"C:\\Nowhere\\x y z.exe", nullptr, false},
      {L"\"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe\" -x", nullptr, true},
      {L"\"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe", nullptr, false},
      {L"notepad.exe", nullptr, true},
      {L"C:\\Windows\\notepad.exe", nullptr, true},
      {L"", nullptr, false},
      {L"   \t ", nullptr, false},
  };
  for (const auto& c : cases) {
    const auto plan = PlanApplicationStart(c.line, probe);
    const std::string line = Narrow(c.line);
    ASSERT_EQ(plan.has_value(), c.starts) << line;
    if (!plan) continue;
    EXPECT_EQ(Narrow(plan->commandLine), line) << "the command line is passed unchanged";
    if (c.application) {
      ASSERT_TRUE(plan->applicationName.has_value()) << line;
      EXPECT_EQ(Narrow(*plan->applicationName), Narrow(c.application)) << line;
    } else {
      EXPECT_FALSE(plan->applicationName.has_value()) << line << " -> " << Narrow(plan->applicationName.value_or(L""));
    }
  }
}

TEST(PlanApplicationStart, TriesCandidatesFromTheLongestDown) {
  std::vector<std::wstring> probed;
  const FileProbe probe = [&](const std::wstring& path) {
    probed.push_back(path);
    return path == L"C:\\a b.exe";
  };
  const auto plan = PlanApplicationStart(L"C:\\a b.exe  c.exe\td", probe);
  ASSERT_TRUE(plan.has_value());
  EXPECT_EQ(Narrow(plan->applicationName.value_or(L"?")), "C:\\a b.exe");
  std::string order;
  for (const auto& p : probed) order += "[" + Narrow(p) + "]";
  EXPECT_EQ(order, "[C:\\a b.exe  c.exe\td][C:\\a b.exe  c.exe][C:\\a b.exe]");
}

// "C:\Program" never becomes "C:\Program.exe".
TEST(PlanApplicationStart, NeverAddsAnExtension) {
  const FileProbe onlyExe = [](const std::wstring& path) {
    return path == L"C:\\Program.exe" || path == L"C:\\Program Files\\Orvotek\\Orvo.exe";
  };
  EXPECT_FALSE(PlanApplicationStart(kRotor, onlyExe).has_value());
  EXPECT_FALSE(PlanApplicationStart(kRotor + L" -x", onlyExe).has_value());
}

TEST(PlanApplicationStart, RefusesLinesLongerThanThePlatformTakes) {
  const FileProbe any = [](const std::wstring&) { return true; };
  const struct {
    std::size_t length;
    bool starts;
  } cases[] = {{kMaxCommandLineChars, true}, {kMaxCommandLineChars + 1, false}, {100000, false}};
  for (const auto& c : cases) {
    std::wstring line = L"C:\\x.exe ";
    line.resize(c.length, L'a');
    EXPECT_EQ(PlanApplicationStart(line, any).has_value(), c.starts) << c.length;
  }
}

}  // namespace
}  // namespace orvo
