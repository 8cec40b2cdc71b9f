// Names of the Data key's cached values.
#include "keywatch/control-codes.h"

std::wstring DataValueName(std::uint32_t index) {
  static constexpr wchar_t kHex[] = L"0123456789abcdef";
  std::wstring digits;
  do {
    digits.insert(digits.begin(), kHex[index & 0xF]);
    index >>= 4;
  } while (index != 0);
  if (digits.size() < 2) digits.insert(digits.begin(), L'0');
  return L"CommandType" + digits;
}
