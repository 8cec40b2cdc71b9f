// The registry wrapper against Wine's real registry, in a private key per test.
#include "common/registry-win.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kTestKey = L"Software\\OrvoSim\\Tests\\registry-win";

class RegistryWin : public ::testing::Test {
protected:
  void SetUp() override {
    orvo::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey);
    key_ = orvo::CreateKey(HKEY_CURRENT_USER, kTestKey);
    ASSERT_TRUE(key_);
  }
  void TearDown() override {
    key_.reset();
    EXPECT_TRUE(orvo::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey));
  }
  orvo::ScopedKey key_;
};

TEST_F(RegistryWin, ValuesRoundTripOnlyAsTheirOwnType) {
  const std::uint8_t bytes[] = {0x69, 0x21, 0x00, 0x00, 0x05};
  ASSERT_TRUE(orvo::WriteBinaryValue(key_.get(), L"bin", bytes, sizeof(bytes)));
  ASSERT_TRUE(orvo::WriteStringValue(key_.get(), L"sz", L"C:\\Program Files\\x.exe"));
  ASSERT_TRUE(orvo::WriteDwordValue(key_.get(), L"dw", 0xdeadbeef));

  EXPECT_EQ(orvo::ReadBinaryValue(key_.get(), L"bin"), std::vector<std::uint8_t>(bytes, bytes + 5));
  EXPECT_EQ(orvo::ReadStringValue(key_.get(), L"sz"), L"C:\\Program Files\\x.exe");
  EXPECT_EQ(orvo::ReadDwordValue(key_.get(), L"dw"), 0xdeadbeefu);

  EXPECT_FALSE(orvo::ReadBinaryValue(key_.get(), L"sz"));
  EXPECT_FALSE(orvo::ReadBinaryValue(key_.get(), L"dw"));
  EXPECT_FALSE(orvo::ReadStringValue(key_.get(), L"bin"));
  EXPECT_FALSE(orvo::ReadDwordValue(key_.get(), L"bin"));
  EXPECT_FALSE(orvo::ReadBinaryValue(key_.get(), L"missing"));
}

TEST_F(RegistryWin, EmptyAndLongValuesAreReadWhole) {
  ASSERT_TRUE(orvo::WriteBinaryValue(key_.get(), L"empty", nullptr, 0));
  auto empty = orvo::ReadBinaryValue(key_.get(), L"empty");
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  const std::wstring longText(40000, L'x');
  ASSERT_TRUE(orvo::WriteStringValue(key_.get(), L"long", longText));
  EXPECT_EQ(orvo::ReadStringValue(key_.get(), L"long"), longText);
}

TEST_F(RegistryWin, StringWithoutTerminatorIsCutAtItsData) {
  const wchar_t raw[] = {L'a', L'b', L'c'};
  ASSERT_EQ(::RegSetValueExW(key_.get(), L"raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof(raw)),
            ERROR_SUCCESS);
  EXPECT_EQ(orvo::ReadStringValue(key_.get(), L"raw"), L"abc");
}

TEST_F(RegistryWin, DeleteKeyTreeRemovesChildren) {
  { auto child = orvo::CreateKey(HKEY_CURRENT_USER, kTestKey + L"\\a\\b"); ASSERT_TRUE(child); }
  key_.reset();
  EXPECT_TRUE(orvo::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey));
  EXPECT_FALSE(orvo::OpenKey(HKEY_CURRENT_USER, kTestKey, KEY_READ));
  key_ = orvo::CreateKey(HKEY_CURRENT_USER, kTestKey);
}

}  // namespace
