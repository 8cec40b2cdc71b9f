// adaptalert's decision; see adapter-warning.h.
#include "adaptalert/adapter-warning.h"

namespace orvo {

std::optional<int> WarningRowFor(const std::optional<std::vector<std::uint8_t>>& adapterState) {
  if (!adapterState || adapterState->empty()) return std::nullopt;
  switch (adapterState->front()) {
    case 2: return kRowNeedsHigherCapacity;
    case 3: return kRowAdapterTooWeak;
    default: return std::nullopt;
  }
}

int RunAdapterWarning(AdapterWarningPlatform& platform) {
  if (const std::optional<int> row = WarningRowFor(platform.ReadAdapterState())) {
    platform.ShowPopup(kAdapterTitle, platform.LoadRow(*row), kAdapterIconPath, kAdapterHelpProgram);
  }
  return 0;
}

}  // namespace orvo
