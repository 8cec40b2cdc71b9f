// Shared set-up of the action tests: keywatch running on a clean machine with no Event tree
// and no "ScreenRotate", and readers for the programs started since a point in the test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "standins/sim-client.h"
#include "tests/e2e/keywatch/keywatch-session.h"

namespace kwtest {

inline constexpr wchar_t kEventKey[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Event";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Orvotek\\Orvo Jumpdeck";
inline constexpr wchar_t kProductPrefix[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\";

class ActionsTest : public KeywatchTest {
protected:
  void SetUp() override;
  void TearDown() override;

  // Programs started after the last call, waiting until `count` have appeared (or the time-out)
  // and then a little longer, so that an extra start would be seen too.
  std::vector<orvosim::StartRecord> Starts(std::size_t count, DWORD timeoutMs = 5000);

private:
  std::size_t startsSeen_ = 0;
};

// Lower-case copy, for comparing paths that the file system may spell differently.
std::wstring Lower(std::wstring text);

}  // namespace kwtest
