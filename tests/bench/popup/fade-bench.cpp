// Fade benchmark: on a window made like the popup, measures one alpha update, both paced
// fades, and a slice of the old counter loop, and prints how long the literal 235,000
// updates per fade would take on this machine in the same run.
#include <windows.h>

#include <cstdio>

#include "slidecard/popup-fade-win.h"
#include "slidecard/popup-placement.h"

namespace {

double Milliseconds(orvo::PerformanceClock& clock, std::int64_t since) {
  return static_cast<double>(clock.NowMicros() - since) / 1000.0;
}

HWND CreatePopupLikeWindow() {
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"Orvo fade bench";
  ::RegisterClassExW(&wc);
  return ::CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST, wc.lpszClassName, L"Orvo fade bench",
                           WS_POPUPWINDOW, 100, 100, orvo::kPopupWidth, orvo::kPopupHeight, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

}  // namespace

int wmain() {
  const HWND window = CreatePopupLikeWindow();
  if (!window) {
    std::printf("cannot create the window, error %lu\n", ::GetLastError());
    return 1;
  }
  ::SetLayeredWindowAttributes(window, 0, 0, LWA_ALPHA);
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::UpdateWindow(window);
  orvo::PerformanceClock clock;

  // One alpha update, averaged over the counter loop's first 20,000 steps (alpha 0..19).
  constexpr int kSlice = 20'000;
  std::int64_t start = clock.NowMicros();
  double counter = 0.0;
  for (int i = 0; i < kSlice; ++i, counter += 0.001) {
    ::SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(counter), LWA_ALPHA);
  }
  const double sliceMs = Milliseconds(clock, start);
  const double updateMs = sliceMs / kSlice;
  std::printf("one alpha update: %.4f ms (mean of %d, the counter loop's first %d steps took %.0f ms)\n", updateMs,
              kSlice, kSlice, sliceMs);

  const auto in = orvo::FadeInAlphas();
  const auto out = orvo::FadeOutAlphas();
  for (int round = 1; round <= 3; ++round) {
    start = clock.NowMicros();
    orvo::FadeWindow(window, in);
    const double inMs = Milliseconds(clock, start);
    start = clock.NowMicros();
    orvo::FadeWindow(window, out);
    const double outMs = Milliseconds(clock, start);
    std::printf("round %d: fade-in %zu updates in %.0f ms, fade-out %zu updates in %.0f ms (target %lld ms each)\n",
                round, in.size(), inMs, out.size(), outMs, static_cast<long long>(orvo::kFadeDuration.count()));
  }
  const double literalMs = 235'000 * updateMs;
  std::printf("the literal 235,000 updates per fade would take %.1f s each (%.1f min), %.0fx the %lld ms fade\n",
              literalMs / 1000.0, literalMs / 60000.0, literalMs / static_cast<double>(orvo::kFadeDuration.count()),
              static_cast<long long>(orvo::kFadeDuration.count()));
  start = clock.NowMicros();
  ::DestroyWindow(window);
  std::printf("DestroyWindow of the faded-out window: %.0f ms\n", Milliseconds(clock, start));
  return 0;
}
