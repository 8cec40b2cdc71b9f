// The library's one export: fills the caller's SysInfoRecord from the machine's SMBIOS table,
// with COM initialised for the call on the caller's thread. Nothing is kept between calls.
#include <windows.h>

#include "smbprobe/ansi-decoder-win.h"
#include "smbprobe/sysinfo-fill.h"
#include "smbprobe/wmi-smbios-win.h"

namespace {

void FillFromWmi(orvo::SysInfoRecord& record) noexcept {
  try {
    const orvo::ThreadAnsiDecoder decoder;
    orvo::CkroWmiSmBios smbios(decoder);
    orvo::FillSysInfoRecord(smbios.Table(), record);
  } catch (...) {
    // Out of memory: the fields already written stay, and nothing reaches the caller.
  }
}

}  // namespace

extern "C" void WINAPI kroGetBIOSInitialize(void* lpStruct) {
  if (lpStruct == nullptr) return;
  // S_FALSE also needs its balancing call; RPC_E_CHANGED_MODE (the caller's thread is in the
  // multithreaded apartment) does not, and the work runs in that apartment.
  const HRESULT initialised = ::CoInitialize(nullptr);
  FillFromWmi(*static_cast<orvo::SysInfoRecord*>(lpStruct));
  if (SUCCEEDED(initialised)) ::CoUninitialize();
}
