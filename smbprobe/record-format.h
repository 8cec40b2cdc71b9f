// Renders a filled system-information record for people (aligned text) or programs (JSON).
// Text fields are read up to their first zero or their capacity, whichever comes first.
#pragma once

#include <string>

#include "smbprobe/sysinfo-record.h"

namespace orvo {

std::string FormatRecordText(const SysInfoRecord& record);
std::string FormatRecordJson(const SysInfoRecord& record);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace orvo
