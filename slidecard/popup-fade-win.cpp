// Fades of a layered window; see popup-fade-win.h.
#include "slidecard/popup-fade-win.h"

namespace orvo {

PerformanceClock::PerformanceClock() { ::QueryPerformanceFrequency(&frequency_); }

std::int64_t PerformanceClock::NowMicros() {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return now.QuadPart / frequency_.QuadPart * 1'000'000 +
         now.QuadPart % frequency_.QuadPart * 1'000'000 / frequency_.QuadPart;
}

void PerformanceClock::SleepFor(std::chrono::microseconds span) {
  ::Sleep(static_cast<DWORD>((span.count() + 999) / 1000));
}

void FadeWindow(HWND window, const std::vector<std::uint8_t>& alphas, std::chrono::milliseconds duration) {
  PerformanceClock clock;
  RunFade(alphas, duration, clock,
          [window](std::uint8_t alpha) { ::SetLayeredWindowAttributes(window, 0, alpha, LWA_ALPHA); });
}

}  // namespace orvo
