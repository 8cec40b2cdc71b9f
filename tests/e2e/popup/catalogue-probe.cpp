// Loads one string with LoadStringW from a module, as the programs do, in the language the
// process was started with, and writes it to a file as UTF-16: the catalogue test starts it
// with a chosen LANG to see the platform's language choice.
//   catalogue-probe <module path> <string id> <output file>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "common/scoped-handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  const HMODULE module = ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return 3;
  std::wstring text(4097, L'\0');
  const int length = ::LoadStringW(module, static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)), text.data(), 4097);
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  const orvo::ScopedFile file(::CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (!file) return 4;
  DWORD written = 0;
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
  ::FreeLibrary(module);
  return 0;
}
