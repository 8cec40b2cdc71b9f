// MultiByteToWideChar over the whole string, sized first.
#include "smbprobe/ansi-decoder-win.h"

#include <windows.h>

#include <climits>

namespace orvo {

std::u16string ThreadAnsiDecoder::Decode(std::string_view bytes) const {
  if (bytes.empty() || bytes.size() > INT_MAX) return {};
  const int length = static_cast<int>(bytes.size());
  const int needed = ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string text(static_cast<std::size_t>(needed), u'\0');
  const int written =
      ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), needed);
  if (written <= 0) return {};
  text.resize(static_cast<std::size_t>(written));
  return text;
}

}  // namespace orvo
