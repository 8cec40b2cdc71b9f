// smbview (Windows): loads smbprobe.dll by name, as the outside system-information viewer
// does, binds kroGetBIOSInitialize with GetProcAddress and prints the record it fills.
//   smbview [--json]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "common/scoped-handle.h"
#include "smbprobe/record-format.h"
#include "smbprobe/sysinfo-record.h"

namespace {

using GetBiosInitialize = void(WINAPI*)(void* lpStruct);

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool json = argc > 1 && std::wcscmp(argv[1], L"--json") == 0;
  if (argc > 2 || (argc == 2 && !json)) {
    std::fputs("usage: smbview [--json]\n", stderr);
    return 2;
  }
  const orvo::ScopedModule library(::LoadLibraryW(L"smbprobe.dll"));
  if (!library) {
    std::fprintf(stderr, "smbview: cannot load smbprobe.dll (error %lu)\n", ::GetLastError());
    return 1;
  }
  const auto entry =
      reinterpret_cast<GetBiosInitialize>(reinterpret_cast<void*>(::GetProcAddress(library.get(), "kroGetBIOSInitialize")));
  if (entry == nullptr) {
    std::fputs("smbview: smbprobe.dll has no kroGetBIOSInitialize\n", stderr);
    return 1;
  }
  // Zeroed first, so whatever the library leaves alone reads as empty.
  orvo::SysInfoRecord record{};
  entry(&record);
  const std::string out = json ? orvo::FormatRecordJson(record) : orvo::FormatRecordText(record);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
