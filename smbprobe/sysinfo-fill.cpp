// The getters' order matters only for the index: the first lookup builds it.
#include "smbprobe/sysinfo-fill.h"

namespace orvo {

void FillSysInfoRecord(SmBiosTable& table, SysInfoRecord& record) {
  table.kroGetProductname(kProductNameChars, record.szProductName2);
  table.kroGetSmbiosTotalMemory(&record.wTotalMemory);
  table.kroGetPlatformCode(&record.PlatformCode);
  table.kroGetProcStr(kTextFieldChars, record.szProcessor);
  table.kroGetBiosInfo(kTextFieldChars, record.szBiosVersion);
  table.kroGetBoardVersion(kTextFieldChars, record.szBoardVersion);
  table.kroGetSerialNumber(kTextFieldChars, record.szSerialNumber);
  table.kroGetTotalUmaVideoSize(&record.wUmaVideoSize);
  table.kroGetProcessorMaxSpeed(&record.wProcessorMaxSpeed);
  table.kroGetSkuNumber(kTextFieldChars, record.szSkuNumber);
}

}  // namespace orvo
