// The popup's fades: which alpha values they apply, in which order, and when. Each value is
// applied once, paced over a short fixed duration on the caller's thread, so a fade takes
// the same time on any machine instead of as long as 235,000 updates happen to take.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace orvo {

inline constexpr std::uint8_t kFadeInFinalAlpha = 234;
inline constexpr std::uint8_t kFadeOutFirstAlpha = 235;
inline constexpr std::chrono::milliseconds kFadeDuration{300};

// 0, 1, ..., 234: the distinct values of the fade-in counter (0.0 up by 0.001 below 235).
std::vector<std::uint8_t> FadeInAlphas();
// 235, 234, ..., 0: the distinct values of the fade-out counter (235.0 down by 0.001 above 0).
std::vector<std::uint8_t> FadeOutAlphas();

// Time as the fade sees it. Microseconds from any fixed origin; SleepFor may return late.
class FadeClock {
public:
  virtual ~FadeClock() = default;
  virtual std::int64_t NowMicros() = 0;
  virtual void SleepFor(std::chrono::microseconds span) = 0;
};

// Applies every alpha once, in order: the first at once, the last when `duration` has passed,
// the others evenly between. A slow `apply` delays the fade but never drops a value, and a
// late wake-up is caught up by not sleeping before the next values.
void RunFade(std::span<const std::uint8_t> alphas, std::chrono::milliseconds duration, FadeClock& clock,
             const std::function<void(std::uint8_t)>& apply);

}  // namespace orvo
