// The answer-file side of the command channel on the real file system and registry, with a
// writer thread in place of fwbridge: a folder that appears late, a file still being written,
// silence, an oversized file, an unopenable entry, and dispatch while the file is still open.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/registry-win.h"
#include "keywatch/command-channel.h"
#include "keywatch/keywatch-state-win.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr wchar_t kParentFolder[] = L"C:\\Orvo";

void RemoveAnswerFolder() {
  ::DeleteFileW(kAnswerFilePath);
  ::RemoveDirectoryW(kAnswerFilePath);  // the unopenable case leaves a folder of that name
  ::RemoveDirectoryW(kAnswerFolder);
}

std::optional<Bytes> StoredValue(std::uint32_t index) {
  const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kDataKeyPath, KEY_READ);
  if (!key) return std::nullopt;
  return orvo::ReadBinaryValue(key.get(), DataValueName(index));
}

void StoreValue(std::uint32_t index, const Bytes& bytes) {
  const orvo::ScopedKey key = orvo::CreateKey(HKEY_CURRENT_USER, kDataKeyPath);
  ASSERT_TRUE(key);
  ASSERT_TRUE(orvo::WriteBinaryValue(key.get(), DataValueName(index), bytes.data(), bytes.size()));
}

// Writes the answer as fwbridge does: the handle shares reading only, so a reader that asks for
// read sharing is refused until the handle is closed.
void WriteAnswer(const Bytes& bytes, DWORD holdMs) {
  ::CreateDirectoryW(kParentFolder, nullptr);
  ::CreateDirectoryW(kAnswerFolder, nullptr);
  orvo::ScopedFile file(::CreateFileW(kAnswerFilePath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << ::GetLastError();
  const std::size_t half = holdMs ? bytes.size() / 2 : bytes.size();
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(half), &written, nullptr);
  if (holdMs) ::Sleep(holdMs);
  ::WriteFile(file.get(), bytes.data() + half, static_cast<DWORD>(bytes.size() - half), &written, nullptr);
}

double MsSince(ULONGLONG start) { return static_cast<double>(::GetTickCount64() - start); }

// Records WM_KEYWATCH dispatches and whether the answer file still existed at that moment.
struct Dispatch {
  WPARAM wparam;
  LPARAM lparam;
  bool fileStillThere;
};
std::vector<Dispatch> gDispatches;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == KeywatchMessageId()) {
    gDispatches.push_back({wparam, lparam, ::GetFileAttributesW(kAnswerFilePath) != INVALID_FILE_ATTRIBUTES});
    return 0;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

class ChannelFiles : public ::testing::Test {
protected:
  void SetUp() override {
    orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKeyPath);
    RemoveAnswerFolder();
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ChannelFilesRecorder";
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowW(L"ChannelFilesRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    gMessageWindow.store(window_);
    gDispatches.clear();
  }
  void TearDown() override {
    if (writer_.joinable()) writer_.join();
    ::DestroyWindow(window_);
    gMessageWindow.store(nullptr);
    orvo::DeleteKeyTree(HKEY_CURRENT_USER, kDataKeyPath);
    RemoveAnswerFolder();
  }
  void WriteLater(DWORD afterMs, Bytes bytes, DWORD holdMs = 0) {
    writer_ = std::thread([=] {
      ::Sleep(afterMs);
      WriteAnswer(bytes, holdMs);
    });
  }
  HWND window_ = nullptr;
  std::thread writer_;
};

TEST_F(ChannelFiles, AnswerInAFolderThatAppearsDuringTheWaitIsStored) {
  WriteLater(300, {0x11, 0x22, 0x33, 0x44});
  const ULONGLONG start = ::GetTickCount64();
  ReadAnswer(Disposition::Store(5), true);
  const double ms = MsSince(start);
  EXPECT_EQ(StoredValue(5), std::optional<Bytes>(Bytes{0x11, 0x22, 0x33, 0x44}));
  EXPECT_LT(ms, 1500.0) << "woke on the file, not on the time-out";
  EXPECT_EQ(::GetFileAttributesW(kAnswerFilePath), INVALID_FILE_ATTRIBUTES) << "the answer file is deleted";
}

TEST_F(ChannelFiles, FileHeldByItsWriterIsReadOnlyWhenComplete) {
  const struct {
    DWORD afterMs, holdMs;
    Bytes bytes;
  } rows[] = {{0, 500, {1, 2, 3, 4}}, {50, 300, {9, 8, 7, 6, 5, 4}}, {100, 1200, {0xAB, 0xCD, 0, 0}}};
  for (const auto& row : rows) {
    ::DeleteFileW(kAnswerFilePath);
    WriteLater(row.afterMs, row.bytes, row.holdMs);
    ReadAnswer(Disposition::Store(38), true);
    writer_.join();
    EXPECT_EQ(StoredValue(38), std::optional<Bytes>(row.bytes)) << "hold " << row.holdMs;
  }
}

TEST_F(ChannelFiles, SilenceTimesOutAndKeepsTheCachedValue) {
  StoreValue(15, {2, 0, 0, 0});
  ::CreateDirectoryW(kParentFolder, nullptr);
  ::CreateDirectoryW(kAnswerFolder, nullptr);
  const ULONGLONG start = ::GetTickCount64();
  ReadAnswer(Disposition::Store(15), true);
  const double ms = MsSince(start);
  EXPECT_GE(ms, 1900.0);
  EXPECT_LT(ms, 3000.0);
  EXPECT_EQ(StoredValue(15), std::optional<Bytes>(Bytes{2, 0, 0, 0}));
  ReadAnswer(Disposition::BezelButton(), true);
  EXPECT_TRUE(gDispatches.empty());
}

TEST_F(ChannelFiles, UndeliveredCodeDoesNotWaitEvenWithoutAFolder) {
  StoreValue(15, {3, 0, 0, 0});
  const ULONGLONG start = ::GetTickCount64();
  ReadAnswer(Disposition::Store(15), false);
  EXPECT_LT(MsSince(start), 100.0);
  EXPECT_EQ(StoredValue(15), std::optional<Bytes>(Bytes{3, 0, 0, 0}));
}

TEST_F(ChannelFiles, OversizedFileIsNeitherStoredNorDispatchedAndIsDeleted) {
  StoreValue(5, {0xAA, 0xBB, 0xCC, 0xDD});
  Bytes big(kAnswerByteCap + 1, 0x01);
  WriteAnswer(big, 0);
  ReadAnswer(Disposition::Store(5), true);
  EXPECT_EQ(StoredValue(5), std::optional<Bytes>(Bytes{0xAA, 0xBB, 0xCC, 0xDD}));
  EXPECT_EQ(::GetFileAttributesW(kAnswerFilePath), INVALID_FILE_ATTRIBUTES);
  WriteAnswer(big, 0);
  ReadAnswer(Disposition::Hotkey(), true);
  EXPECT_TRUE(gDispatches.empty());
  EXPECT_EQ(::GetFileAttributesW(kAnswerFilePath), INVALID_FILE_ATTRIBUTES);

  Bytes atCap(kAnswerByteCap, 0x02);
  WriteAnswer(atCap, 0);
  ReadAnswer(Disposition::Store(5), true);
  const auto stored = StoredValue(5);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->size(), kAnswerByteCap) << "a file of exactly the cap is an answer";
}

TEST_F(ChannelFiles, UnopenableEntryStoresEmptyWithoutHanging) {
  ::CreateDirectoryW(kParentFolder, nullptr);
  ::CreateDirectoryW(kAnswerFolder, nullptr);
  ASSERT_TRUE(::CreateDirectoryW(kAnswerFilePath, nullptr)) << ::GetLastError();
  StoreValue(4, {4, 4, 4, 4});
  const ULONGLONG start = ::GetTickCount64();
  ReadAnswer(Disposition::Store(4), true);
  EXPECT_LT(MsSince(start), 1000.0);
  EXPECT_EQ(StoredValue(4), std::optional<Bytes>(Bytes{})) << "an answer that cannot be read has length 0";
}

TEST_F(ChannelFiles, ButtonAnswerIsDispatchedWhileTheFileIsStillOpen) {
  const struct {
    Disposition disposition;
    Bytes bytes;
    WPARAM wparam;
    LPARAM lparam;
  } rows[] = {{Disposition::BezelButton(), {0x69, 0x21, 0x00, 0x00}, 2, 8553},
              {Disposition::Hotkey(), {0x31, 0x01, 0xFF, 0xFF}, 3, 305},
              {Disposition::BezelButton(), {0xFF, 0xFF, 0, 0}, 2, 65535}};
  for (const auto& row : rows) {
    gDispatches.clear();
    WriteAnswer(row.bytes, 0);
    ReadAnswer(row.disposition, true);
    ASSERT_EQ(gDispatches.size(), 1u) << "wparam " << row.wparam;
    EXPECT_EQ(gDispatches[0].wparam, row.wparam);
    EXPECT_EQ(gDispatches[0].lparam, row.lparam);
    EXPECT_TRUE(gDispatches[0].fileStillThere) << "the file is closed and deleted after the action";
    EXPECT_EQ(::GetFileAttributesW(kAnswerFilePath), INVALID_FILE_ATTRIBUTES);
  }
  EXPECT_FALSE(StoredValue(0x83).has_value());
  EXPECT_EQ(orvo::OpenKey(HKEY_CURRENT_USER, kDataKeyPath, KEY_READ).get(), nullptr) << "nothing is cached";
}

}  // namespace
