// The command channel on Windows: fwbridge through the Service Control Manager, the answer
// file watched with a change notification on its folder, the Data key in the registry.
#include <windows.h>

#include <algorithm>

#include "common/registry-win.h"
#include "common/scoped-handle.h"
#include "keywatch/command-channel.h"
#include "keywatch/fwbridge-service.h"
#include "keywatch/keywatch-state-win.h"

namespace {

// fwbridge usually answers within a few milliseconds, sooner than a change notification on
// the folder can even be armed (about 10 ms under Wine), so the first stretch polls at 1 ms.
constexpr DWORD kFastPhaseMs = 30;
constexpr DWORD kFastPollMs = 1;
// After that the wait wakes on the folder's change notification, with this poll as fallback
// while the folder does not exist yet or while the writer still holds the file (its last
// write may have signalled before it closed the handle).
constexpr DWORD kPollMs = 5;

bool AnswerFileExists() {
  WIN32_FIND_DATAW found = {};
  orvo::ScopedFind find(::FindFirstFileW(kAnswerFilePath, &found));
  return static_cast<bool>(find);
}

class WinChannelPort final : public ChannelPort {
public:
  void DeleteAnswerFile() override { ::DeleteFileW(kAnswerFilePath); }

  bool DeliverCode(std::uint32_t code) override { return DeliverFwbridgeCode(code); }

  AnswerWait WaitAndOpenAnswer(std::uint32_t timeoutMs) override {
    const ULONGLONG start = ::GetTickCount64();
    const ULONGLONG deadline = start + timeoutMs;
    orvo::ScopedChangeNotification watch;
    for (;;) {
      const bool fastPhase = ::GetTickCount64() - start < kFastPhaseMs;
      if (!watch && !fastPhase) {
        watch.reset(::FindFirstChangeNotificationW(
            kAnswerFolder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
      }
      if (AnswerFileExists()) {
        // Read sharing only: refused while fwbridge still has the file open for writing.
        file_.reset(::CreateFileW(kAnswerFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_) return AnswerWait::Opened;
        const DWORD error = ::GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_FILE_NOT_FOUND) return AnswerWait::OpenFailed;
      }
      const ULONGLONG now = ::GetTickCount64();
      if (now >= deadline) return AnswerWait::TimedOut;
      const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, fastPhase ? kFastPollMs : kPollMs));
      if (watch) {
        ::WaitForSingleObject(watch.get(), slice);
        ::FindNextChangeNotification(watch.get());
      } else {
        ::Sleep(slice);
      }
    }
  }

  AnswerRead ReadOpenAnswer(std::size_t cap) override {
    AnswerRead read;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file_.get(), &size) || size.QuadPart < 0) return read;
    if (static_cast<unsigned long long>(size.QuadPart) > cap) {
      read.ok = true;
      read.oversized = true;
      return read;
    }
    read.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    read.ok = ::ReadFile(file_.get(), read.bytes.data(), static_cast<DWORD>(read.bytes.size()), &got, nullptr) != 0;
    read.bytes.resize(read.ok ? got : 0);
    return read;
  }

  void CloseAndDeleteAnswer() override {
    file_.reset();
    ::DeleteFileW(kAnswerFilePath);
  }

  void StoreDataValue(std::uint32_t index, std::span<const std::uint8_t> bytes) override {
    const orvo::ScopedKey key = orvo::CreateKey(HKEY_CURRENT_USER, kDataKeyPath);
    if (!key) return;
    static const std::uint8_t kNothing = 0;
    orvo::WriteBinaryValue(key.get(), DataValueName(index), bytes.empty() ? &kNothing : bytes.data(), bytes.size());
  }

  std::optional<std::vector<std::uint8_t>> LoadDataValue(std::uint32_t index) override {
    const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kDataKeyPath, KEY_READ | KEY_SET_VALUE);
    if (!key) return std::nullopt;
    return orvo::ReadBinaryValue(key.get(), DataValueName(index));
  }

  void DispatchAnswer(std::uint32_t wparam, std::uint32_t value) override {
    ::SendMessageW(gMessageWindow.load(), KeywatchMessageId(), wparam, static_cast<LPARAM>(value));
  }

private:
  orvo::ScopedFile file_;
};

}  // namespace

bool SendControlCode(std::uint32_t code) {
  WinChannelPort port;
  return SendCodeVia(port, code);
}

void ReadAnswer(Disposition disposition, bool delivered) {
  WinChannelPort port;
  ReadAnswerVia(port, disposition, delivered);
}

void RunExchange(std::uint32_t code, Disposition disposition) {
  WinChannelPort port;
  RunExchangeVia(port, code, disposition);
}

void RefreshDataValue(std::uint32_t code, std::uint32_t index) {
  WinChannelPort port;
  RefreshDataValueVia(port, {code, index});
}

std::optional<std::uint8_t> QueryDataByte(std::uint32_t code, std::uint32_t index) {
  WinChannelPort port;
  return QueryDataByteVia(port, {code, index});
}

bool IsCommandType32SwitchOn() {
  WinChannelPort port;
  return IsSwitchOnVia(port);
}

void RunStartupSequence() {
  WinChannelPort port;
  RunStartupSequenceVia(port);
}
