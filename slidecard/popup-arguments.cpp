// Argument copies for the popup; see popup-arguments.h.
#include "slidecard/popup-arguments.h"

namespace orvo {

std::wstring CopyArgument(const wchar_t* text) { return text ? std::wstring(text) : std::wstring(); }

}  // namespace orvo
