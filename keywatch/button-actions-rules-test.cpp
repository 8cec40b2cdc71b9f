// Button and hotkey decisions against an in-memory Event tree: key names, the default tree,
// action selection and the keyboard toggle.
#include "keywatch/button-actions-rules.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace orvo {
namespace {

struct FakeKeyData {
  std::map<std::wstring, std::wstring> strings;  // REG_SZ values
  std::optional<std::vector<std::uint8_t>> show; // raw "Show" data, any type
};

// An Event tree in memory; each platform call lands in a transcript.
class FakeActions : public ActionPlatform {
public:
  bool rootExists = true;
  std::map<std::wstring, FakeKeyData> keys;
  bool showWritesFail = false;
  std::vector<std::wstring> calls;

  bool EventRootExists() override {
    calls.push_back(L"root?");
    return rootExists;
  }
  void WriteDefaultEntry(const DefaultEntry& entry) override {
    calls.push_back(L"default " + entry.keyPath);
    rootExists = true;
    auto& key = keys[entry.keyPath];
    for (const auto& value : entry.values) {
      if (const auto* text = std::get_if<std::wstring>(&value.data)) {
        key.strings[value.name] = *text;
      } else {
        const std::uint32_t v = std::get<std::uint32_t>(value.data);
        key.show = std::vector<std::uint8_t>{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                                             std::uint8_t(v >> 24)};
      }
    }
  }
  std::unique_ptr<ButtonKey> OpenButtonKey(const std::wstring& keyPath) override;
  void StartApplication(const std::wstring& commandLine) override { calls.push_back(L"start " + commandLine); }
  void ShowTouchKeyboard() override { calls.push_back(L"show keyboard"); }
  void CloseTouchKeyboard() override { calls.push_back(L"close keyboard"); }
  void ReportRegistryWriteFail() override { calls.push_back(L"Registry Write Fail"); }
};

class FakeKey : public ButtonKey {
public:
  FakeKey(FakeActions& owner, FakeKeyData& data) : owner_(owner), data_(data) {}
  std::optional<std::wstring> ReadString(const std::wstring& name) override {
    const auto it = data_.strings.find(name);
    if (it == data_.strings.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::uint32_t> ReadShow() override {
    if (!data_.show) return std::nullopt;
    return DecodeShowValue(data_.show->data(), data_.show->size());
  }
  bool WriteShow(std::uint32_t value) override {
    owner_.calls.push_back(L"write Show " + std::to_wstring(value));
    if (owner_.showWritesFail) return false;
    data_.show = std::vector<std::uint8_t>{std::uint8_t(value), 0, 0, 0};
    return true;
  }

private:
  FakeActions& owner_;
  FakeKeyData& data_;
};

std::unique_ptr<ButtonKey> FakeActions::OpenButtonKey(const std::wstring& keyPath) {
  calls.push_back(L"open " + keyPath);
  const auto it = keys.find(keyPath);
  if (it == keys.end()) return nullptr;
  return std::make_unique<FakeKey>(*this, it->second);
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::string Join(const std::vector<std::wstring>& calls) {
  std::string text;
  for (const auto& call : calls) text += (text.empty() ? "" : ", ") + Narrow(call);
  return text;
}

TEST(ButtonKeyPath, PadsToFourDigitsAndSeparatesTheTwoKinds) {
  const struct {
    int kind;
    std::uint32_t number;
    const wchar_t* path;
  } cases[] = {
      {kHotKey, 305, L"HotKey\\0305"},          {kBezelButton, 8553, L"Bezel Button\\8553"},
      {kBezelButton, 0, L"Bezel Button\\0000"}, {kBezelButton, 7, L"Bezel Button\\0007"},
      {kHotKey, 65535, L"HotKey\\65535"},       {kBezelButton, 8604, L"Bezel Button\\8604"},
      {kHotKey, 8604, L"HotKey\\8604"},         {kBezelButton, 10000, L"Bezel Button\\10000"},
  };
  for (const auto& c : cases) {
    const auto path = ButtonKeyPath(c.kind, c.number);
    ASSERT_TRUE(path.has_value()) << c.kind << "/" << c.number;
    EXPECT_EQ(Narrow(*path), Narrow(c.path)) << c.kind << "/" << c.number;
  }
  EXPECT_FALSE(ButtonKeyPath(0, 8553).has_value());
  EXPECT_FALSE(ButtonKeyPath(3, 8553).has_value());
}

TEST(DefaultEvents, AreTheEightEntriesInTheirOrderWithTheirValuesInOrder) {
  const std::string folder = "C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\";
  const std::vector<std::string> expected = {
      "Bezel Button\\8553: ApplicationPath=" + folder + "rotor.exe; ActionName=Screen Rotate",
      "Bezel Button\\8554: Show=#0; ActionName=Virtual Keyboard",
      "Bezel Button\\8604: ApplicationPath=" + folder + "Resono.exe; ActionName=Resono",
      "Bezel Button\\8605: ApplicationPath=" + folder + "rotor.exe; ActionName=Screen Rotate",
      "Bezel Button\\8606: ApplicationPath=C:\\Program Files\\Windows Media Player\\wmplayer.exe; ActionName=Home",
      "Bezel Button\\8607: Show=#0; ActionName=Virtual Keyboard",
      "HotKey\\0305: ApplicationPath=" + folder + "specsheet.exe; ActionName=System Information",
      "HotKey\\8604: ApplicationPath=" + folder + "Resono.exe; ActionName=Resono",
  };
  std::vector<std::string> actual;
  for (const auto& entry : DefaultEvents()) {
    std::string line = Narrow(entry.keyPath) + ":";
    for (std::size_t i = 0; i < entry.values.size(); ++i) {
      const auto& value = entry.values[i];
      line += (i ? "; " : " ") + Narrow(value.name) + "=";
      if (const auto* text = std::get_if<std::wstring>(&value.data)) {
        line += Narrow(*text);
      } else {
        line += "#" + std::to_string(std::get<std::uint32_t>(value.data));
      }
    }
    actual.push_back(line);
  }
  EXPECT_EQ(actual, expected);
}

TEST(RunButtonAction, FirstPressWritesTheDefaultsThenActsOnThePressedButton) {
  FakeActions fake;
  fake.rootExists = false;
  RunButtonAction(fake, kBezelButton, 8553);
  EXPECT_EQ(Join(fake.calls),
            "root?, default Bezel Button\\8553, default Bezel Button\\8554, default Bezel Button\\8604, "
            "default Bezel Button\\8605, default Bezel Button\\8606, default Bezel Button\\8607, "
            "default HotKey\\0305, default HotKey\\8604, open Bezel Button\\8553, "
            "start C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\rotor.exe");

  // Once the root exists the defaults are not written again.
  fake.calls.clear();
  RunButtonAction(fake, kHotKey, 305);
  EXPECT_EQ(Join(fake.calls),
            "root?, open HotKey\\0305, start C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\specsheet.exe");
}

TEST(RunButtonAction, ActsOnWhatTheKeyHolds) {
  using Strings = std::map<std::wstring, std::wstring>;
  const std::optional<std::vector<std::uint8_t>> show0 = std::vector<std::uint8_t>{0, 0, 0, 0};
  const struct {
    const char* name;
    Strings strings;
    std::optional<std::vector<std::uint8_t>> show;
    const char* calls;  // after "root?, open Bezel Button\0042"
  } cases[] = {
      {"program", {{L"ActionName", L"Tool"}, {L"ApplicationPath", L"C:\\t.exe"}}, std::nullopt, ", start C:\\t.exe"},
      {"ApplicationPath alone", {{L"ApplicationPath", L"C:\\t.exe -x \"a b\""}}, std::nullopt,
       ", start C:\\t.exe -x \"a b\""},
      {"ActionName alone", {{L"ActionName", L"Tool"}}, std::nullopt, ""},
      {"empty key", {}, std::nullopt, ""},
      {"lower-case toggle name starts the path", {{L"ActionName", L"virtual keyboard"}, {L"ApplicationPath", L"C:\\k.exe"}},
       show0, ", start C:\\k.exe"},
      {"lower-case toggle name without a path", {{L"ActionName", L"virtual keyboard"}}, show0, ""},
      {"toggle name with a trailing blank is not the toggle", {{L"ActionName", L"Virtual Keyboard "}}, show0, ""},
      {"toggle ignores ApplicationPath", {{L"ActionName", L"Virtual Keyboard"}, {L"ApplicationPath", L"C:\\k.exe"}},
       show0, ", write Show 1, show keyboard"},
      {"toggle without Show does nothing", {{L"ActionName", L"Virtual Keyboard"}}, std::nullopt, ""},
      {"empty ApplicationPath is handed on", {{L"ApplicationPath", L""}}, std::nullopt, ", start "},
  };
  for (const auto& c : cases) {
    FakeActions fake;
    fake.keys[L"Bezel Button\\0042"] = FakeKeyData{c.strings, c.show};
    RunButtonAction(fake, kBezelButton, 42);
    EXPECT_EQ(Join(fake.calls), std::string("root?, open Bezel Button\\0042") + c.calls) << c.name;
  }
}

TEST(RunButtonAction, MissingKeysAndEmptyTreeDoNothing) {
  FakeActions fake;  // root exists, no button keys
  RunButtonAction(fake, kBezelButton, 8553);
  RunButtonAction(fake, kHotKey, 65535);
  EXPECT_EQ(Join(fake.calls), "root?, open Bezel Button\\8553, root?, open HotKey\\65535");

  // A bezel-button key does not answer for the hotkey of the same number.
  fake.calls.clear();
  fake.keys[L"Bezel Button\\8604"] = FakeKeyData{{{L"ApplicationPath", L"C:\\bezel.exe"}}, std::nullopt};
  fake.keys[L"HotKey\\8604"] = FakeKeyData{{{L"ApplicationPath", L"C:\\hot.exe"}}, std::nullopt};
  RunButtonAction(fake, kHotKey, 8604);
  RunButtonAction(fake, kBezelButton, 8604);
  EXPECT_EQ(Join(fake.calls),
            "root?, open HotKey\\8604, start C:\\hot.exe, root?, open Bezel Button\\8604, start C:\\bezel.exe");

  // An unknown kind still sets up the tree but opens nothing.
  FakeActions fresh;
  fresh.rootExists = false;
  RunButtonAction(fresh, 7, 8553);
  EXPECT_EQ(fresh.calls.size(), 9u) << Join(fresh.calls);
  EXPECT_EQ(Narrow(fresh.calls.back()), "default HotKey\\8604");
}

TEST(ToggleVirtualKeyboard, FlipsShowAndShowsOrClosesTheKeyboard) {
  FakeActions fake;
  fake.keys[L"Bezel Button\\8554"] =
      FakeKeyData{{{L"ActionName", L"Virtual Keyboard"}}, std::vector<std::uint8_t>{0, 0, 0, 0}};
  RunButtonAction(fake, kBezelButton, 8554);
  RunButtonAction(fake, kBezelButton, 8554);
  RunButtonAction(fake, kBezelButton, 8554);
  EXPECT_EQ(Join(fake.calls),
            "root?, open Bezel Button\\8554, write Show 1, show keyboard, "
            "root?, open Bezel Button\\8554, write Show 0, close keyboard, "
            "root?, open Bezel Button\\8554, write Show 1, show keyboard");
}

TEST(ToggleVirtualKeyboard, ReportsOnlyAFailedWriteOfOne) {
  const struct {
    const char* name;
    std::vector<std::uint8_t> show;
    const char* calls;
  } cases[] = {
      {"write 1 fails: report, no keyboard", {0, 0, 0, 0}, "write Show 1, Registry Write Fail"},
      {"write 0 fails: silent", {1, 0, 0, 0}, "write Show 0"},
  };
  for (const auto& c : cases) {
    FakeActions fake;
    fake.showWritesFail = true;
    FakeKeyData data{{}, c.show};
    FakeKey key(fake, data);
    ToggleVirtualKeyboard(fake, key);
    EXPECT_EQ(Join(fake.calls), c.calls) << c.name;
  }
}

TEST(DecodeShowValue, TakesUpToFourLittleEndianBytes) {
  const struct {
    std::vector<std::uint8_t> data;
    std::optional<std::uint32_t> value;
  } cases[] = {
      {{}, 0u},
      {{0}, 0u},
      {{1}, 1u},
      {{0, 1}, 0x100u},
      {{0, 0, 0, 0}, 0u},
      {{0, 0, 0, 0x80}, 0x80000000u},
      {{0x78, 0x56, 0x34, 0x12}, 0x12345678u},
      {{0, 0, 0, 0, 0}, std::nullopt},
      {{1, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeShowValue(c.data.data(), c.data.size()), c.value) << "size " << c.data.size();
  }
}

TEST(ToggleVirtualKeyboard, ShowOfAnyTypeUpToFourBytesCounts) {
  const struct {
    const char* name;
    std::optional<std::vector<std::uint8_t>> show;
    const char* calls;
  } cases[] = {
      {"one byte 0", std::vector<std::uint8_t>{0}, "write Show 1, show keyboard"},
      {"two bytes, high set", std::vector<std::uint8_t>{0, 1}, "write Show 0, close keyboard"},
      {"eight bytes: nothing", std::vector<std::uint8_t>(8, 0), ""},
      {"missing: nothing", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    FakeActions fake;
    FakeKeyData data{{}, c.show};
    FakeKey key(fake, data);
    ToggleVirtualKeyboard(fake, key);
    EXPECT_EQ(Join(fake.calls), c.calls) << c.name;
  }
}

}  // namespace
}  // namespace orvo
