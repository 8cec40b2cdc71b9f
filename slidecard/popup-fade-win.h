// Runs a fade on a layered window: the portable pacing with the performance counter as its
// clock and SetLayeredWindowAttributes as its step. Blocks the calling thread meanwhile.
#pragma once

#include <windows.h>

#include <vector>

#include "slidecard/popup-fade.h"

namespace orvo {

class PerformanceClock : public FadeClock {
public:
  PerformanceClock();
  std::int64_t NowMicros() override;
  // Rounded up to whole milliseconds: a value is never applied before it is due.
  void SleepFor(std::chrono::microseconds span) override;

private:
  LARGE_INTEGER frequency_{};
};

void FadeWindow(HWND window, const std::vector<std::uint8_t>& alphas,
                std::chrono::milliseconds duration = kFadeDuration);

}  // namespace orvo
