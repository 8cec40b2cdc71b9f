// Button and hotkey actions end to end: presses reach the installed keywatch as firmware
// events or as button numbers, and the tests look at the Event tree, the programs that the
// recording stand-ins saw start, and the touch-keyboard stand-in's record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/registry-win.h"
#include "standins/sim-paths.h"
#include "tests/e2e/actions/actions-e2e-fixture.h"

namespace kwtest {
namespace {

const std::wstring kRotor = std::wstring(kProductPrefix) + L"rotor.exe";
const std::wstring kResono = std::wstring(kProductPrefix) + L"Resono.exe";
const std::wstring kSpecsheet = std::wstring(kProductPrefix) + L"specsheet.exe";
const std::wstring kWmplayer = L"C:\\Program Files\\Windows Media Player\\wmplayer.exe";
constexpr wchar_t kKeyboardClass[] = L"IPTip_Main_Window";

std::vector<std::wstring> Images(const std::vector<orvosim::StartRecord>& starts) {
  std::vector<std::wstring> images;
  for (const auto& s : starts) images.push_back(Lower(s.image));
  return images;
}

std::vector<std::wstring> Lowered(std::vector<std::wstring> paths) {
  for (auto& p : paths) p = Lower(p);
  return paths;
}

std::vector<std::string> Subkeys(const std::wstring& path) {
  std::vector<std::string> names;
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, path, KEY_READ);
  if (!key) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (::RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.push_back(Narrow(std::wstring(name, length)));
  }
  return names;
}

struct Value {
  DWORD type = 0xdeadbeef;
  std::vector<BYTE> data;
};
std::optional<Value> RawValue(const std::wstring& keyPath, const wchar_t* name) {
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, std::wstring(kEventKey) + L"\\" + keyPath, KEY_READ);
  if (!key) return std::nullopt;
  Value value;
  DWORD size = 0;
  if (::RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
  value.data.resize(size);
  if (::RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return value;
}

ULONGLONG LastWrite(const std::wstring& keyPath) {
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, std::wstring(kEventKey) + L"\\" + keyPath, KEY_READ);
  FILETIME written = {};
  EXPECT_TRUE(key && ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, &written) == ERROR_SUCCESS)
      << Narrow(keyPath);
  return (static_cast<ULONGLONG>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
}

Value Sz(const std::wstring& text) {
  Value v{REG_SZ, {}};
  const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
  v.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
  return v;
}
Value Dword(DWORD n) { return {REG_DWORD, {BYTE(n), BYTE(n >> 8), BYTE(n >> 16), BYTE(n >> 24)}}; }

void SetString(const std::wstring& keyPath, const wchar_t* name, const std::wstring& text) {
  const orvo::ScopedKey key = orvo::CreateKey(HKEY_CURRENT_USER, std::wstring(kEventKey) + L"\\" + keyPath);
  ASSERT_TRUE(key) << Narrow(keyPath);
  ASSERT_TRUE(orvo::WriteStringValue(key.get(), name, text));
}

std::optional<DWORD> Show(const std::wstring& keyPath) {
  const auto v = RawValue(keyPath, L"Show");
  if (!v || v->type != REG_DWORD || v->data.size() != 4) return std::nullopt;
  return v->data[0] | (v->data[1] << 8) | (v->data[2] << 16) | (v->data[3] << 24);
}

TEST_F(ActionsTest, FirstPressWritesTheEightDefaultsThenActsOnThePressedButton) {
  StartReady();
  orvosim::SetAnswer(131, {0x69, 0x21, 0x00, 0x00});
  SendKeywatch(1, 4);  // firmware event 4: the bezel-button exchange answers 8553
  EXPECT_EQ(Images(Starts(1)), Lowered({kRotor}));

  EXPECT_EQ(Subkeys(kEventKey), (std::vector<std::string>{"Bezel Button", "HotKey"}));
  EXPECT_EQ(Subkeys(std::wstring(kEventKey) + L"\\Bezel Button"),
            (std::vector<std::string>{"8553", "8554", "8604", "8605", "8606", "8607"}));
  EXPECT_EQ(Subkeys(std::wstring(kEventKey) + L"\\HotKey"), (std::vector<std::string>{"0305", "8604"}));
  const struct {
    const wchar_t* key;
    const wchar_t* name;
    Value value;
  } values[] = {
      {L"Bezel Button\\8553", L"ApplicationPath", Sz(kRotor)},
      {L"Bezel Button\\8553", L"ActionName", Sz(L"Screen Rotate")},
      {L"Bezel Button\\8554", L"Show", Dword(0)},
      {L"Bezel Button\\8554", L"ActionName", Sz(L"Virtual Keyboard")},
      {L"Bezel Button\\8604", L"ApplicationPath", Sz(kResono)},
      {L"Bezel Button\\8604", L"ActionName", Sz(L"Resono")},
      {L"Bezel Button\\8605", L"ApplicationPath", Sz(kRotor)},
      {L"Bezel Button\\8605", L"ActionName", Sz(L"Screen Rotate")},
      {L"Bezel Button\\8606", L"ApplicationPath", Sz(kWmplayer)},
      {L"Bezel Button\\8606", L"ActionName", Sz(L"Home")},
      {L"Bezel Button\\8607", L"Show", Dword(0)},
      {L"Bezel Button\\8607", L"ActionName", Sz(L"Virtual Keyboard")},
      {L"HotKey\\0305", L"ApplicationPath", Sz(kSpecsheet)},
      {L"HotKey\\0305", L"ActionName", Sz(L"System Information")},
      {L"HotKey\\8604", L"ApplicationPath", Sz(kResono)},
      {L"HotKey\\8604", L"ActionName", Sz(L"Resono")},
  };
  for (const auto& v : values) {
    const auto actual = RawValue(v.key, v.name);
    ASSERT_TRUE(actual.has_value()) << Narrow(v.key) << " " << Narrow(v.name);
    EXPECT_EQ(actual->type, v.value.type) << Narrow(v.key) << " " << Narrow(v.name);
    EXPECT_EQ(actual->data, v.value.data) << Narrow(v.key) << " " << Narrow(v.name);
  }
  // Creation order, as far as the keys' last-write times can tell it apart.
  const wchar_t* const order[] = {L"Bezel Button\\8553", L"Bezel Button\\8554", L"Bezel Button\\8604",
                                  L"Bezel Button\\8605", L"Bezel Button\\8606", L"Bezel Button\\8607",
                                  L"HotKey\\0305",       L"HotKey\\8604"};
  ULONGLONG previous = 0;
  for (const wchar_t* keyPath : order) {
    const ULONGLONG written = LastWrite(keyPath);
    EXPECT_GE(written, previous) << Narrow(keyPath) << " was written before the entry that precedes it";
    previous = written;
  }
  // The keyboard keys hold no path, the program keys no "Show".
  EXPECT_FALSE(RawValue(L"Bezel Button\\8554", L"ApplicationPath").has_value());
  EXPECT_FALSE(RawValue(L"HotKey\\0305", L"Show").has_value());
  EXPECT_EQ(keywatch.Exit(), std::optional<DWORD>(0));
}

TEST_F(ActionsTest, AnExistingEmptyEventKeyWritesNothingAndStartsNothing) {
  ASSERT_TRUE(orvo::CreateKey(HKEY_CURRENT_USER, kEventKey));
  StartReady();
  Starts(0);
  SendKeywatch(2, 8553);
  SendKeywatch(3, 305);
  EXPECT_TRUE(Starts(0).empty());
  EXPECT_TRUE(Subkeys(kEventKey).empty());
}

TEST_F(ActionsTest, ButtonNumbersResolveToTheirOwnKeys) {
  StartReady();
  Starts(0);
  SendKeywatch(2, 1);  // an unassigned button: the defaults are written, nothing starts
  ASSERT_TRUE(Starts(0).empty());
  // Make the two 8604 keys distinguishable, and add keys for the unusual numbers.
  SetString(L"HotKey\\8604", L"ApplicationPath", kSpecsheet + L" from-hotkey");
  SetString(L"Bezel Button\\65535", L"ApplicationPath", kWmplayer);
  SetString(L"Bezel Button\\0042", L"ApplicationPath", kResono);  // ApplicationPath alone
  SetString(L"HotKey\\0007", L"ActionName", L"virtual keyboard");
  SetString(L"HotKey\\0007", L"ApplicationPath", kRotor + L" lower-case");
  SetString(L"HotKey\\0008", L"ActionName", L"virtual keyboard");  // no path: nothing
  SetString(L"HotKey\\0009", L"ApplicationPath", kRotor + L" --mode \"two words\" x");
  // Read whole, but longer than process creation takes: nothing starts, and the next presses
  // are served as before.
  SetString(L"HotKey\\0010", L"ApplicationPath", kRotor + L" " + std::wstring(40000, L'a'));

  const struct {
    int wparam;
    std::uint32_t number;
    std::wstring line;  // empty: nothing starts
  } presses[] = {
      {2, 8553, kRotor},
      {2, 8605, kRotor},
      {2, 8604, kResono},
      {3, 8604, kSpecsheet + L" from-hotkey"},
      {2, 8606, kWmplayer},
      {3, 305, kSpecsheet},
      {2, 305, L""},  // HotKey\0305 is not Bezel Button\0305
      {2, 65535, kWmplayer},
      {2, 42, kResono},
      {3, 7, kRotor + L" lower-case"},
      {3, 8, L""},
      {3, 9, kRotor + L" --mode \"two words\" x"},
      {3, 10, L""},
      {2, 8553, kRotor},
  };
  for (const auto& p : presses) {
    SendKeywatch(p.wparam, p.number);
    const auto starts = Starts(p.line.empty() ? 0 : 1);
    const std::string what = std::to_string(p.wparam) + "/" + std::to_string(p.number);
    if (p.line.empty()) {
      EXPECT_TRUE(starts.empty()) << what << " started " << (starts.empty() ? "" : Narrow(starts[0].image));
      continue;
    }
    ASSERT_EQ(starts.size(), 1u) << what;
    EXPECT_EQ(Narrow(starts[0].commandLine), Narrow(p.line)) << what;
  }
  EXPECT_EQ(::FindWindowW(kKeyboardClass, nullptr), nullptr) << "no keyboard for a lower-case name";
}

TEST_F(ActionsTest, HotkeyExchangeStartsTheConfiguredProgram) {
  StartReady();
  Starts(0);
  orvosim::SetAnswer(132, {0x31, 0x01, 0x00, 0x00});
  SendKeywatch(255, 0xC1010001);
  EXPECT_EQ(Images(Starts(1)), Lowered({kSpecsheet}));
}

TEST_F(ActionsTest, KeyboardToggleFlipsShowAndShowsThenClosesTheKeyboard) {
  ASSERT_EQ(::FindWindowW(kKeyboardClass, nullptr), nullptr) << "a keyboard window is left over";
  StartReady();
  SendKeywatch(2, 1);  // writes the defaults
  ASSERT_EQ(Show(L"Bezel Button\\8554"), std::optional<DWORD>(0));

  SendKeywatch(2, 8554);
  EXPECT_EQ(Show(L"Bezel Button\\8554"), std::optional<DWORD>(1));
  HWND keyboard = nullptr;
  EXPECT_TRUE(orvosim::WaitFor([&] { return (keyboard = ::FindWindowW(kKeyboardClass, nullptr)) != nullptr; }, 10000))
      << "the touch keyboard did not appear";

  SendKeywatch(2, 8554);
  EXPECT_EQ(Show(L"Bezel Button\\8554"), std::optional<DWORD>(0));
  EXPECT_TRUE(orvosim::WaitFor([] { return ::FindWindowW(kKeyboardClass, nullptr) == nullptr; }, 10000));
  const auto lines = orvosim::ReadRecordLines(orvosim::kTabtipLog);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[0].find(L"\tshown"), std::wstring::npos) << Narrow(lines[0]);
  EXPECT_NE(lines[1].find(L"\tSC_CLOSE\t-1"), std::wstring::npos) << Narrow(lines[1]);
  EXPECT_EQ(Show(L"Bezel Button\\8607"), std::optional<DWORD>(0)) << "the other keyboard key is its own";

  // A toggle key without "Show" does nothing, on every press.
  orvosim::ClearRecord(orvosim::kTabtipLog);
  {
    const orvo::ScopedKey key =
        orvo::OpenKey(HKEY_CURRENT_USER, std::wstring(kEventKey) + L"\\Bezel Button\\8607", KEY_SET_VALUE);
    ASSERT_TRUE(key);
    ASSERT_EQ(::RegDeleteValueW(key.get(), L"Show"), ERROR_SUCCESS);
  }
  SendKeywatch(2, 8607);
  SendKeywatch(2, 8607);
  ::Sleep(700);
  EXPECT_EQ(::FindWindowW(kKeyboardClass, nullptr), nullptr);
  EXPECT_TRUE(orvosim::ReadRecordLines(orvosim::kTabtipLog).empty());
  EXPECT_FALSE(Show(L"Bezel Button\\8607").has_value());
  EXPECT_TRUE(Starts(0).empty());
}

// Copies of the recording stand-in at the shorter paths that the platform would try before
// the configured "C:\Program Files\Orvotek\Orvo Jumpdeck\rotor.exe".
class PlantedPrograms : public ActionsTest {
protected:
  void SetUp() override {
    ActionsTest::SetUp();
    for (const auto& path : planted_) {
      ASSERT_TRUE(::CopyFileW(L"C:\\OrvoSim\\bin\\recorder.exe", path.c_str(), FALSE))
          << Narrow(path) << " error " << ::GetLastError();
    }
  }
  void TearDown() override {
    ActionsTest::TearDown();
    for (const auto& path : planted_) ::DeleteFileW(path.c_str());
  }
  const std::vector<std::wstring> planted_ = {L"C:\\Program.exe", L"C:\\Program Files\\Orvotek\\Orvo.exe"};
};

TEST_F(PlantedPrograms, ThePlantedShorterPathNeverRuns) {
  StartReady();
  SendKeywatch(2, 1);
  Starts(0);
  SetString(L"Bezel Button\\0100", L"ApplicationPath", kRotor + L" with arguments");
  SetString(L"Bezel Button\\0101", L"ApplicationPath", std::wstring(kProductPrefix) + L"missing.exe");
  const struct {
    std::uint32_t number;
    const std::wstring* image;
  } presses[] = {{8553, &kRotor}, {8605, &kRotor}, {100, &kRotor}, {101, nullptr}};
  for (const auto& p : presses) {
    SendKeywatch(2, p.number);
    const auto starts = Starts(p.image ? 1 : 0);
    if (!p.image) {
      EXPECT_TRUE(starts.empty()) << p.number << " started " << (starts.empty() ? "" : Narrow(starts[0].image));
      continue;
    }
    EXPECT_EQ(Images(starts), Lowered({*p.image})) << p.number;
  }
}

}  // namespace
}  // namespace kwtest
