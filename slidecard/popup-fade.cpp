// Alpha sequences and their pacing; see popup-fade.h.
#include "slidecard/popup-fade.h"

namespace orvo {

std::vector<std::uint8_t> FadeInAlphas() {
  std::vector<std::uint8_t> alphas;
  for (int alpha = 0; alpha <= kFadeInFinalAlpha; ++alpha) {
    alphas.push_back(static_cast<std::uint8_t>(alpha));
  }
  return alphas;
}

std::vector<std::uint8_t> FadeOutAlphas() {
  std::vector<std::uint8_t> alphas;
  for (int alpha = kFadeOutFirstAlpha; alpha >= 0; --alpha) {
    alphas.push_back(static_cast<std::uint8_t>(alpha));
  }
  return alphas;
}

void RunFade(std::span<const std::uint8_t> alphas, std::chrono::milliseconds duration, FadeClock& clock,
             const std::function<void(std::uint8_t)>& apply) {
  if (alphas.empty()) {
    return;
  }
  const std::int64_t start = clock.NowMicros();
  const std::int64_t total = std::chrono::duration_cast<std::chrono::microseconds>(duration).count();
  const std::int64_t intervals = static_cast<std::int64_t>(alphas.size()) - 1;
  for (std::size_t i = 0; i < alphas.size(); ++i) {
    const std::int64_t due = intervals == 0 ? start : start + total * static_cast<std::int64_t>(i) / intervals;
    const std::int64_t now = clock.NowMicros();
    if (due > now) {
      clock.SleepFor(std::chrono::microseconds(due - now));
    }
    apply(alphas[i]);
  }
}

}  // namespace orvo
