// adaptalert's one decision: from the cached adapter state ("CommandType0f", first byte) to
// at most one popup with a catalogue message and fixed title, icon and help program. The
// registry, the catalogue and the popup are the platform's, behind AdapterWarningPlatform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvo {

inline constexpr wchar_t kAdapterTitle[] = L"Orvo Smart Adapter";
inline constexpr wchar_t kAdapterIconPath[] = L"Images\\deckicon.ico";
inline constexpr wchar_t kAdapterHelpProgram[] = L"C:\\Program Files\\Orvotek\\Orvo Jumpdeck\\powerguide.exe";
inline constexpr int kRowAdapterTooWeak = 19;        // first byte 3
inline constexpr int kRowNeedsHigherCapacity = 20;   // first byte 2

class AdapterWarningPlatform {
public:
  virtual ~AdapterWarningPlatform() = default;
  // The REG_BINARY "CommandType0f" of the Data key; nullopt when the key or value is missing
  // or of another type. May be empty or longer than the 4 bytes keywatch writes.
  virtual std::optional<std::vector<std::uint8_t>> ReadAdapterState() = 0;
  // A catalogue row in the user's language; empty when the row is missing.
  virtual std::wstring LoadRow(int id) = 0;
  // Blocks until the popup has closed.
  virtual void ShowPopup(const std::wstring& title, const std::wstring& message, const std::wstring& iconPath,
                         const std::wstring& programPath) = 0;
};

// The catalogue row for an adapter state, or nullopt for no popup. Only the first byte counts.
std::optional<int> WarningRowFor(const std::optional<std::vector<std::uint8_t>>& adapterState);

// Reads the state and shows the popup it calls for. Returns the exit code: always 0.
int RunAdapterWarning(AdapterWarningPlatform& platform);

}  // namespace orvo
