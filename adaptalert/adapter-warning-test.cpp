// adaptalert's decision from the cached adapter state to the popup it shows.
#include <gtest/gtest.h>

#include "adaptalert/adapter-warning.h"

namespace orvo {
namespace {

struct PopupCall {
  std::wstring title, message, iconPath, programPath;
};

class FakePlatform : public AdapterWarningPlatform {
public:
  explicit FakePlatform(std::optional<std::vector<std::uint8_t>> state) : state_(std::move(state)) {}
  std::optional<std::vector<std::uint8_t>> ReadAdapterState() override { return state_; }
  std::wstring LoadRow(int id) override {
    loaded.push_back(id);
    return L"row " + std::to_wstring(id);
  }
  void ShowPopup(const std::wstring& title, const std::wstring& message, const std::wstring& iconPath,
                 const std::wstring& programPath) override {
    popups.push_back({title, message, iconPath, programPath});
  }
  std::vector<int> loaded;
  std::vector<PopupCall> popups;

private:
  std::optional<std::vector<std::uint8_t>> state_;
};

using Bytes = std::vector<std::uint8_t>;

struct StateCase {
  const char* name;
  std::optional<Bytes> state;
  std::optional<int> row;
};

TEST(AdapterWarning, ShowsAtMostOnePopupForTheFirstByte) {
  const StateCase cases[] = {
      {"02 00 00 00: higher capacity needed", Bytes{2, 0, 0, 0}, 20},
      {"03 00 00 00: output too low", Bytes{3, 0, 0, 0}, 19},
      {"01 00 00 00", Bytes{1, 0, 0, 0}, std::nullopt},
      {"00 00 00 00", Bytes{0, 0, 0, 0}, std::nullopt},
      {"ff", Bytes{0xff}, std::nullopt},
      {"0x0302 little-endian word is byte 02", Bytes{2, 3}, 20},
      {"a single byte 03", Bytes{3}, 19},
      {"longer than 4 bytes, by its first byte", Bytes{3, 0, 0, 0, 2, 2, 2, 2}, 19},
      {"empty value", Bytes{}, std::nullopt},
      {"absent or not binary", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WarningRowFor(c.state), c.row) << c.name;
    FakePlatform platform(c.state);
    EXPECT_EQ(RunAdapterWarning(platform), 0) << c.name;
    if (!c.row) {
      EXPECT_TRUE(platform.popups.empty()) << c.name;
      EXPECT_TRUE(platform.loaded.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(platform.popups.size(), 1u) << c.name;
    EXPECT_EQ(platform.loaded, std::vector<int>{*c.row}) << c.name;
    const PopupCall& call = platform.popups.front();
    EXPECT_EQ(call.title, L"Orvo Smart Adapter") << c.name;
    EXPECT_EQ(call.message, L"row " + std::to_wstring(*c.row)) << c.name;
    EXPECT_EQ(call.iconPath, L"Images\\deckicon.ico") << c.name;
    EXPECT_EQ(call.programPath, L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\powerguide.exe") << c.name;
  }
}

}  // namespace
}  // namespace orvo
