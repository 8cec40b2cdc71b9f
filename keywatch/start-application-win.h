// Starts a configured command line without letting the platform guess the program: see
// start-application-plan.h for the rule. Shell only.
#pragma once

#include <string>

namespace orvo {

// True when a process was created. The caller keeps no handle and does not wait.
bool StartApplication(const std::wstring& commandLine);

}  // namespace orvo
