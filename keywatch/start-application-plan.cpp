// The start rule; see start-application-plan.h.
#include "keywatch/start-application-plan.h"

namespace orvo {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool EndsWithProgramExtension(std::wstring_view name) {
  if (name.size() < 4 || name[name.size() - 4] != L'.') return false;
  std::wstring extension;
  for (wchar_t c : name.substr(name.size() - 3)) extension += (c >= L'A' && c <= L'Z') ? wchar_t(c + 32) : c;
  return extension == L"exe" || extension == L"com";
}

}  // namespace

std::optional<StartPlan> PlanApplicationStart(std::wstring_view commandLine, const FileProbe& isFile) {
  if (commandLine.size() > kMaxCommandLineChars) {
    return std::nullopt;
  }
  std::size_t begin = 0;
  while (begin < commandLine.size() && IsBlank(commandLine[begin])) ++begin;
  if (begin == commandLine.size()) {
    return std::nullopt;
  }
  StartPlan plan{std::nullopt, std::wstring(commandLine)};
  const std::wstring_view rest = commandLine.substr(begin);
  if (rest.front() == L'"') {
    if (rest.find(L'"', 1) == std::wstring_view::npos) return std::nullopt;
    return plan;
  }
  if (rest.find_first_of(L" \t") == std::wstring_view::npos) {
    return plan;
  }
  // Trailing blanks are not part of any name, so the longest candidate is the trimmed line.
  std::size_t end = rest.size();
  while (end > 0 && IsBlank(rest[end - 1])) --end;
  const std::size_t wholeEnd = end;
  for (;;) {
    std::wstring candidate(rest.substr(0, end));
    if ((end == wholeEnd || EndsWithProgramExtension(candidate)) && isFile(candidate)) {
      plan.applicationName = std::move(candidate);
      return plan;
    }
    // The next shorter candidate ends before the previous blank run.
    std::size_t blank = rest.find_last_of(L" \t", end - 1);
    if (blank == std::wstring_view::npos) return std::nullopt;
    end = blank;
    while (end > 0 && IsBlank(rest[end - 1])) --end;
    if (end == 0) return std::nullopt;
  }
}

}  // namespace orvo
