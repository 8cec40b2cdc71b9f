// adaptalert.exe: reads the cached adapter state from the Data key and, when the adapter is
// too weak, shows the localised warning through slidecard's ShowToasterPopUp; always exits 0.
#include <windows.h>

#include "adaptalert/adapter-warning.h"
#include "common/registry-win.h"

// Imported by ordinal 1 of slidecard.dll (see slidecard-import.def).
extern "C" int WINAPI ShowToasterPopUp(const wchar_t* title, const wchar_t* message, const wchar_t* iconPath,
                                       const wchar_t* programPath);

namespace {

constexpr wchar_t kDataKey[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Data";
constexpr wchar_t kAdapterValue[] = L"CommandType0f";
constexpr int kMessageCapacity = 4097;

class WindowsAdapterWarning : public orvo::AdapterWarningPlatform {
public:
  explicit WindowsAdapterWarning(HINSTANCE instance) : instance_(instance) {}

  std::optional<std::vector<std::uint8_t>> ReadAdapterState() override {
    const orvo::ScopedKey key = orvo::OpenKey(HKEY_CURRENT_USER, kDataKey, KEY_READ | KEY_SET_VALUE);
    if (!key) return std::nullopt;
    return orvo::ReadBinaryValue(key.get(), kAdapterValue);
  }

  std::wstring LoadRow(int id) override {
    std::wstring text(kMessageCapacity, L'\0');
    const int length = ::LoadStringW(instance_, static_cast<UINT>(id), text.data(), kMessageCapacity);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
  }

  void ShowPopup(const std::wstring& title, const std::wstring& message, const std::wstring& iconPath,
                 const std::wstring& programPath) override {
    ::ShowToasterPopUp(title.c_str(), message.c_str(), iconPath.c_str(), programPath.c_str());
  }

private:
  HINSTANCE instance_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int) {
  try {
    WindowsAdapterWarning platform(instance);
    return orvo::RunAdapterWarning(platform);
  } catch (...) {
    return 0;
  }
}
