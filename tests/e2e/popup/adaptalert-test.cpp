// The installed adaptalert.exe, copied beside a recording slidecard.dll: which popup it asks
// for (title, message, icon path, program path) for each cached adapter state, and its exit
// code on every path.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <vector>

#include "common/registry-win.h"
#include "generated/catalogue-expected.h"
#include "standins/sim-client.h"
#include "standins/sim-record.h"
#include "standins/slidecard-recorder.h"
#include "tests/e2e/popup/popup-e2e-support.h"

namespace orvotest {
namespace {

constexpr wchar_t kDataKey[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Data";

std::wstring ExpectedRow(int id) {
  // The prefix's user-interface language decides; rows come from its block or English.
  const LANGID ui = ::GetUserDefaultUILanguage();
  const orvo::catalogue::LanguageRows* english = nullptr;
  for (const auto& rows : orvo::catalogue::kLanguages) {
    if (rows.languageId == 0x0409) english = &rows;
    if (rows.languageId == ui) return id == 19 ? rows.lowPower : rows.lowerCapacity;
  }
  return id == 19 ? english->lowPower : english->lowerCapacity;
}

std::vector<std::wstring> Split(const std::wstring& line) {
  std::vector<std::wstring> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find(L'\t', start)) != std::wstring::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

class AdaptalertTest : public ::testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"orvo-adaptalert-test";
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(ProductPath(L"adaptalert.exe").c_str(), (folder_ + L"\\adaptalert.exe").c_str(), FALSE))
        << "adaptalert.exe not installed, error " << ::GetLastError();
    ASSERT_TRUE(::CopyFileW(ORVO_SLIDECARD_RECORDER, (folder_ + L"\\slidecard.dll").c_str(), FALSE))
        << "no recording slidecard.dll at " << ORVO_SLIDECARD_RECORDER;
    ASSERT_TRUE(orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKey));
    orvosim::ClearRecord(orvosim::kSlidecardCallsLog);
  }
  void TearDown() override { orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKey); }

  // Runs the copy in its folder; its exit code, or nullopt when it does not end in 15 s.
  std::optional<DWORD> RunAdaptalert() {
    std::wstring commandLine = L"\"" + folder_ + L"\\adaptalert.exe\"";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &si,
                          &pi)) {
      ADD_FAILURE() << "CreateProcessW failed, error " << ::GetLastError();
      return std::nullopt;
    }
    const orvo::ScopedHandle process(pi.hProcess);
    const orvo::ScopedHandle thread(pi.hThread);
    if (::WaitForSingleObject(pi.hProcess, 15000) != WAIT_OBJECT_0) {
      ::TerminateProcess(pi.hProcess, 1);
      return std::nullopt;
    }
    DWORD code = 0xdeadbeef;
    ::GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }

  std::wstring folder_;
};

enum class Stored { Binary, Dword, Absent, EmptyBinary };

struct StateCase {
  const char* name;
  Stored stored;
  std::vector<std::uint8_t> bytes;
  int row;  // 0: no popup
};

TEST_F(AdaptalertTest, AsksForOnePopupOnlyForAWeakAdapter) {
  std::printf("user interface language 0x%04x\n", ::GetUserDefaultUILanguage());
  const StateCase cases[] = {
      {"02 00 00 00", Stored::Binary, {2, 0, 0, 0}, 20},
      {"03 00 00 00", Stored::Binary, {3, 0, 0, 0}, 19},
      {"01 00 00 00", Stored::Binary, {1, 0, 0, 0}, 0},
      {"00 00 00 00", Stored::Binary, {0, 0, 0, 0}, 0},
      {"03 followed by 4 more bytes", Stored::Binary, {3, 0, 0, 0, 2, 2, 2, 2}, 19},
      {"REG_DWORD 2", Stored::Dword, {}, 0},
      {"empty REG_BINARY", Stored::EmptyBinary, {}, 0},
      {"absent", Stored::Absent, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    orvosim::ClearRecord(orvosim::kSlidecardCallsLog);
    ASSERT_TRUE(orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKey));
    if (c.stored != Stored::Absent) {
      const orvo::ScopedKey key = orvo::CreateKey(HKEY_CURRENT_USER, kDataKey);
      ASSERT_TRUE(key);
      if (c.stored == Stored::Dword) {
        ASSERT_TRUE(orvo::WriteDwordValue(key.get(), L"CommandType0f", 2));
      } else {
        ASSERT_TRUE(orvo::WriteBinaryValue(key.get(), L"CommandType0f", c.bytes.data(), c.bytes.size()));
      }
    }
    const std::optional<DWORD> code = RunAdaptalert();
    ASSERT_TRUE(code.has_value()) << "adaptalert did not end";
    EXPECT_EQ(*code, 0u);
    const auto calls = orvosim::ReadRecordLines(orvosim::kSlidecardCallsLog);
    if (c.row == 0) {
      EXPECT_TRUE(calls.empty()) << "unexpected popup: " << orvosim::ToUtf8(calls.front());
      continue;
    }
    ASSERT_EQ(calls.size(), 1u);
    const auto fields = Split(calls.front());
    ASSERT_EQ(fields.size(), 4u) << orvosim::ToUtf8(calls.front());
    EXPECT_EQ(fields[0], L"Orvo Smart Adapter");
    EXPECT_EQ(fields[1], ExpectedRow(c.row)) << orvosim::ToUtf8(fields[1]);
    EXPECT_EQ(fields[2], L"Images\\deckicon.ico");
    EXPECT_EQ(fields[3], L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\powerguide.exe");
  }
}

}  // namespace
}  // namespace orvotest
