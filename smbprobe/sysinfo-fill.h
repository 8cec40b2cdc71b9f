// Fills a system-information record from an SMBIOS table: the ten getters in their fixed order.
#pragma once

#include "smbprobe/smbios-table.h"
#include "smbprobe/sysinfo-record.h"

namespace orvo {

// Writes only the fields the getters find values for (and the two sizes and the platform
// code, which are always set); every other byte of `record` keeps what the caller left there.
void FillSysInfoRecord(SmBiosTable& table, SysInfoRecord& record);

}  // namespace orvo
