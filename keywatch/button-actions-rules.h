// Button and hotkey decisions: the Event tree's key names, the default tree, which action a
// button key selects and the keyboard toggle. Platform access goes through ActionPlatform and
// ButtonKey; nothing is kept between presses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace orvo {

inline constexpr int kBezelButton = 1;
inline constexpr int kHotKey = 2;

inline constexpr wchar_t kEventRootPath[] = L"Software\\Orvotek\\Orvo Jumpdeck\\Event";
inline constexpr wchar_t kVirtualKeyboardAction[] = L"Virtual Keyboard";
inline constexpr wchar_t kActionNameValue[] = L"ActionName";
inline constexpr wchar_t kApplicationPathValue[] = L"ApplicationPath";
inline constexpr wchar_t kShowValue[] = L"Show";

// One value of a default entry: a REG_SZ string or a REG_DWORD.
struct DefaultValue {
  std::wstring name;
  std::variant<std::wstring, std::uint32_t> data;
};
// One key of the default tree, relative to the Event key, with its values in writing order.
struct DefaultEntry {
  std::wstring keyPath;
  std::vector<DefaultValue> values;
};
// The eight default entries in the order they are written.
const std::vector<DefaultEntry>& DefaultEvents();

// A button key opened for reading and setting values; closed when destroyed.
class ButtonKey {
public:
  virtual ~ButtonKey() = default;
  // REG_SZ only, read whole whatever its length; nullopt when absent or of another type.
  virtual std::optional<std::wstring> ReadString(const std::wstring& name) = 0;
  // "Show" as the toggle reads it: see DecodeShowValue.
  virtual std::optional<std::uint32_t> ReadShow() = 0;
  // "Show" as REG_DWORD; false when the write failed.
  virtual bool WriteShow(std::uint32_t value) = 0;
};

// What the decisions need from the machine; the Windows shell implements it over the user's
// registry and the process calls, tests fake it in memory. Key paths are relative to the
// Event key.
class ActionPlatform {
public:
  virtual ~ActionPlatform() = default;
  virtual bool EventRootExists() = 0;
  // Creates the key with its missing parents, sets the values in order, closes it. Failures
  // are ignored.
  virtual void WriteDefaultEntry(const DefaultEntry& entry) = 0;
  virtual std::unique_ptr<ButtonKey> OpenButtonKey(const std::wstring& keyPath) = 0;
  virtual void StartApplication(const std::wstring& commandLine) = 0;
  virtual void ShowTouchKeyboard() = 0;
  virtual void CloseTouchKeyboard() = 0;
  // The one failure the user is told about; returns when the user has closed the report.
  virtual void ReportRegistryWriteFail() = 0;
};

// The button's number in decimal with at least four digits: 305 -> "0305", 65535 -> "65535".
std::wstring ButtonKeyName(std::uint32_t number);
// "Bezel Button\NNNN" or "HotKey\NNNN"; nullopt for any other kind.
std::optional<std::wstring> ButtonKeyPath(int kind, std::uint32_t number);
// "Show" from up to four bytes of data of any registry type, little-endian, missing high bytes
// counting as 0; nullopt for longer data.
std::optional<std::uint32_t> DecodeShowValue(const std::uint8_t* data, std::size_t size);

void EnsureDefaultEvents(ActionPlatform& platform);
void ToggleVirtualKeyboard(ActionPlatform& platform, ButtonKey& key);
void RunButtonAction(ActionPlatform& platform, int kind, std::uint32_t number);

}  // namespace orvo
