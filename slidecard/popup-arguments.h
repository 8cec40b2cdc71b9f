// The popup's own copies of the caller's four strings, taken at the start of the call and
// held whole whatever their length, so the caller may free its buffers at once.
#pragma once

#include <string>

namespace orvo {

struct PopupArguments {
  std::wstring title;
  std::wstring message;
  std::wstring iconPath;
  std::wstring programPath;
};

// A null pointer is taken as an empty string.
std::wstring CopyArgument(const wchar_t* text);

}  // namespace orvo
