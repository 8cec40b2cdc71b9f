// SMBIOS strings converted with the calling thread's ANSI code page (CP_THREAD_ACP).
#pragma once

#include "smbprobe/ansi-decoder.h"

namespace orvo {

class ThreadAnsiDecoder final : public AnsiDecoder {
public:
  std::u16string Decode(std::string_view bytes) const override;
};

}  // namespace orvo
