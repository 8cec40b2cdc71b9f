// Process creation for button actions: the platform's own search of an unquoted path is never
// used when the path has blanks in it.
#include "keywatch/start-application-win.h"

#include <windows.h>

#include <vector>

#include "common/scoped-handle.h"
#include "keywatch/start-application-plan.h"

namespace orvo {

namespace {

bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

bool StartApplication(const std::wstring& commandLine) {
  const auto plan = PlanApplicationStart(commandLine, IsExistingFile);
  if (!plan) {
    return false;
  }
  // CreateProcessW may write into the command line, so it gets its own terminated copy.
  std::vector<wchar_t> line(plan->commandLine.begin(), plan->commandLine.end());
  line.push_back(L'\0');
  STARTUPINFOW startup = {sizeof(startup)};
  PROCESS_INFORMATION process = {};
  const wchar_t* application = plan->applicationName ? plan->applicationName->c_str() : nullptr;
  if (!::CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    return false;
  }
  ScopedHandle processHandle(process.hProcess);
  ScopedHandle threadHandle(process.hThread);
  return true;
}

}  // namespace orvo
