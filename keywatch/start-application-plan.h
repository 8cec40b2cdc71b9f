// How a configured command line is handed to the process-creation call so that the platform
// never guesses which program is meant: an unquoted path with spaces would otherwise let a
// planted shorter path ("C:\Program.exe") run instead of the configured program.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orvo {

// The longest command line the platform's process creation accepts, without its terminator.
inline constexpr std::size_t kMaxCommandLineChars = 32766;

struct StartPlan {
  // The program to run; absent when the command line names it unambiguously by itself.
  std::optional<std::wstring> applicationName;
  // Always the configured line, unchanged: the program sees exactly what was configured.
  std::wstring commandLine;
};

// True when `path` names an existing file (not a folder); relative paths are resolved against
// the current directory, as process creation resolves them.
using FileProbe = std::function<bool(const std::wstring& path)>;

// The rule:
//  - empty (or only blanks), or longer than kMaxCommandLineChars: nothing is started;
//  - the program name is quoted ("C:\A B\x.exe" args): the line is passed as it is; the quotes
//    leave nothing to guess. An unclosed quote starts nothing;
//  - unquoted without blanks: the line is passed as it is;
//  - unquoted with blanks: the longest prefix that ends at a blank or at the end of the line
//    and names an existing file becomes the program, the whole line stays the command line.
//    A prefix shorter than the line (one followed by arguments) counts only when it ends in
//    ".exe" or ".com", so an extension-less file planted at "C:\Program" is never taken for a
//    missing program. No extension is ever added. When no prefix qualifies, nothing starts.
std::optional<StartPlan> PlanApplicationStart(std::wstring_view commandLine, const FileProbe& isFile);

}  // namespace orvo
