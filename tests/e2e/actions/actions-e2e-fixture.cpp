// Set-up of the action tests; see actions-e2e-fixture.h.
#include "tests/e2e/actions/actions-e2e-fixture.h"

#include <cwctype>

#include "common/registry-win.h"

namespace kwtest {

void ActionsTest::SetUp() {
  KeywatchTest::SetUp();
  orvo::DeleteKeyTree(HKEY_CURRENT_USER, kEventKey);
  if (const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_SET_VALUE)) {
    ::RegDeleteValueW(key.get(), L"ScreenRotate");
  }
  startsSeen_ = 0;
}

void ActionsTest::TearDown() {
  orvo::DeleteKeyTree(HKEY_CURRENT_USER, kEventKey);
  if (const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_SET_VALUE)) {
    ::RegDeleteValueW(key.get(), L"ScreenRotate");
  }
  KeywatchTest::TearDown();
}

std::vector<orvosim::StartRecord> ActionsTest::Starts(std::size_t count, DWORD timeoutMs) {
  orvosim::WaitFor([&] { return orvosim::StartedPrograms().size() >= startsSeen_ + count; }, timeoutMs);
  ::Sleep(count == 0 ? 700 : 300);
  const auto all = orvosim::StartedPrograms();
  std::vector<orvosim::StartRecord> fresh(all.begin() + static_cast<std::ptrdiff_t>(std::min(startsSeen_, all.size())),
                                          all.end());
  startsSeen_ = all.size();
  return fresh;
}

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

}  // namespace kwtest
