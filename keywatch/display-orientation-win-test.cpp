// The orientation shell against the real display settings and registry: the DEVMODEW mapping,
// "ScreenRotate" and the codes the decisions ask for through the (scripted) command channel.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "common/registry-win.h"
#include "keywatch/display-orientation-fake-channel-win.h"
#include "keywatch/display-orientation-win.h"

namespace orvo {
namespace {

static_assert(sizeof(DEVMODEW) == 220, "the display mode record is 220 bytes");

constexpr unsigned char kSentinel = 0xA5;

bool RunningOnWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

// Known differences of Wine from Windows: printed and counted, never skipped silently.
int g_wineGaps = 0;
void NoteWineGap(const char* what) {
  std::printf("known Wine gap (%d): %s\n", ++g_wineGaps, what);
}

class PrivateSettingsKey : public ::testing::Test {
protected:
  void SetUp() override {
    path_ = L"Software\\OrvoTest\\display-orientation-" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, path_));
    test::TestChannel() = {};
  }
  void TearDown() override { EXPECT_TRUE(DeleteKeyTree(HKEY_CURRENT_USER, path_)); }
  ScopedKey Create() { return CreateKey(HKEY_CURRENT_USER, path_); }
  std::wstring path_;
};

TEST(DisplayModeRecord, IsZeroedSizedAndFilledWithTheCurrentMode) {
  DEVMODEW record;
  std::memset(&record, kSentinel, sizeof(record));
  ASSERT_TRUE(ReadDisplayModeRecord(record)) << "EnumDisplaySettingsW failed, error " << ::GetLastError();
  if (record.dmSize != 220u && RunningOnWine()) {
    // Wine's EnumDisplaySettingsW rewrites dmSize to the shorter Windows 95 record.
    NoteWineGap("EnumDisplaySettingsW rewrites dmSize");
    EXPECT_EQ(record.dmSize, offsetof(DEVMODEW, dmICMMethod)) << "dmSize " << record.dmSize;
  } else {
    EXPECT_EQ(record.dmSize, 220u);
  }
  EXPECT_EQ(record.dmDriverExtra, 0u);
  EXPECT_NE(record.dmPelsWidth, 0u);
  EXPECT_NE(record.dmPelsHeight, 0u);
  EXPECT_LE(record.dmDisplayOrientation, 3u) << "orientation " << record.dmDisplayOrientation;
  // Fields the call does not fill come from the zeroed record, not from what was there before.
  EXPECT_EQ(record.dmDeviceName[CCHDEVICENAME - 1], 0) << "device name not terminated";
  const DisplayMode mode = DisplayModeFromRecord(record);
  EXPECT_EQ(mode, (DisplayMode{record.dmDisplayOrientation, record.dmPelsWidth, record.dmPelsHeight}));
}

TEST(DisplayModeRecord, StoringChangesOnlyTheThreeFields) {
  DEVMODEW record;
  std::memset(&record, kSentinel, sizeof(record));
  DEVMODEW before = record;
  StoreDisplayMode(record, DisplayMode{3, 768, 1366});
  EXPECT_EQ(record.dmDisplayOrientation, 3u);
  EXPECT_EQ(record.dmPelsWidth, 768u);
  EXPECT_EQ(record.dmPelsHeight, 1366u);
  // Put the three back: every other byte must be as it was.
  record.dmDisplayOrientation = before.dmDisplayOrientation;
  record.dmPelsWidth = before.dmPelsWidth;
  record.dmPelsHeight = before.dmPelsHeight;
  const auto* a = reinterpret_cast<const unsigned char*>(&record);
  const auto* b = reinterpret_cast<const unsigned char*>(&before);
  for (std::size_t i = 0; i < sizeof(record); ++i) {
    ASSERT_EQ(a[i], b[i]) << "byte " << i << " changed";
  }
}

TEST_F(PrivateSettingsKey, ScreenRotateIsReadAsBinaryOnly) {
  WinOrientationPlatform platform(path_);
  EXPECT_FALSE(platform.ReadScreenRotateValue().has_value()) << "key missing";
  ScopedKey key = Create();
  ASSERT_TRUE(key);
  EXPECT_FALSE(platform.ReadScreenRotateValue().has_value()) << "value missing";

  const std::uint8_t one[] = {1, 0};
  ASSERT_TRUE(WriteBinaryValue(key.get(), kScreenRotateValue, one, sizeof(one)));
  auto value = platform.ReadScreenRotateValue();
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(*value, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_TRUE(ReadScreenRotate(platform));

  ASSERT_TRUE(WriteDwordValue(key.get(), kScreenRotateValue, 1));
  EXPECT_FALSE(platform.ReadScreenRotateValue().has_value()) << "REG_DWORD 1 is not binary";
  EXPECT_FALSE(ReadScreenRotate(platform));

  ASSERT_TRUE(WriteBinaryValue(key.get(), kScreenRotateValue, nullptr, 0));
  value = platform.ReadScreenRotateValue();
  ASSERT_TRUE(value.has_value());
  EXPECT_TRUE(value->empty());
  EXPECT_FALSE(ReadScreenRotate(platform));
}

// The whole shell: with ScreenRotate set in the private key the 148 exchange is not asked for;
// with mask 0x0D a request for orientation 1 asks for 147 alone.
TEST_F(PrivateSettingsKey, RotationRequestsAskTheChannelOnlyAsFarAsNeeded) {
  ScopedKey key = Create();
  ASSERT_TRUE(key);
  const std::uint8_t one[] = {1};
  ASSERT_TRUE(WriteBinaryValue(key.get(), kScreenRotateValue, one, sizeof(one)));
  WinOrientationPlatform platform(path_);

  test::TestChannel().bytes[147] = 0x0D;
  RotateDisplay(platform, 1);
  EXPECT_EQ(test::TestChannel().codes, (std::vector<std::uint32_t>{147}));

  test::TestChannel() = {};
  test::TestChannel().bytes[147] = 0x0F;
  RotateDisplay(platform, 1);
  EXPECT_EQ(test::TestChannel().codes, (std::vector<std::uint32_t>{147}));

  test::TestChannel() = {};
  test::TestChannel().bytes[147] = 0x00;
  EnforceOrientationMask(platform);
  EXPECT_EQ(test::TestChannel().codes, (std::vector<std::uint32_t>{147}));
}

// Applying the mode in force keeps it; Wine's display drivers may refuse rotations, so a
// rotated request is only checked for leaving a readable mode behind.
TEST(ApplyDisplayMode, ReapplyingTheCurrentModeKeepsIt) {
  test::TestChannel() = {};
  test::TestChannel().bytes[143] = 0x00;
  WinOrientationPlatform platform(L"Software\\OrvoTest\\none");
  const auto before = platform.ReadDisplayMode();
  ASSERT_TRUE(before.has_value());
  platform.ApplyDisplayMode(*before);
  const auto after = platform.ReadDisplayMode();
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(*after, *before) << "now " << after->orientation << " " << after->width << "x" << after->height;
  // Event 1 with the bit clear at orientation 0 changes nothing either.
  ASSERT_EQ(before->orientation, 0u) << "the test display starts unrotated";
  ApplyOrientationBit(platform);
  const auto again = platform.ReadDisplayMode();
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(*again, *before);
  EXPECT_EQ(test::TestChannel().codes, (std::vector<std::uint32_t>{143}));
}

}  // namespace
}  // namespace orvo
