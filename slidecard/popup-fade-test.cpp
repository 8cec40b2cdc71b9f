// The fades' alpha sequences against the counter loops they replace, and their pacing.
#include <gtest/gtest.h>

#include <vector>

#include "slidecard/popup-fade.h"

namespace orvo {
namespace {

// The distinct values, in order, that a double counter loop applies as alpha.
std::vector<std::uint8_t> CounterLoopFadeIn() {
  std::vector<std::uint8_t> applied;
  for (double counter = 0.0; counter < 235.0; counter += 0.001) {
    const auto alpha = static_cast<std::uint8_t>(counter);
    if (applied.empty() || applied.back() != alpha) applied.push_back(alpha);
  }
  return applied;
}

std::vector<std::uint8_t> CounterLoopFadeOut() {
  std::vector<std::uint8_t> applied;
  for (double counter = 235.0; counter > 0.0; counter -= 0.001) {
    const auto alpha = static_cast<std::uint8_t>(counter);
    if (applied.empty() || applied.back() != alpha) applied.push_back(alpha);
  }
  return applied;
}

TEST(PopupFade, SequencesAreTheCounterLoopsValuesEachOnce) {
  EXPECT_EQ(FadeInAlphas(), CounterLoopFadeIn());
  EXPECT_EQ(FadeOutAlphas(), CounterLoopFadeOut());
  EXPECT_EQ(FadeInAlphas().back(), 234);
  EXPECT_EQ(FadeOutAlphas().front(), 235);
  EXPECT_EQ(FadeOutAlphas().back(), 0);
}

// Simulated time: sleeping advances it by the span asked plus a wake-up lateness, and each
// apply costs a fixed time.
class FakeClock : public FadeClock {
public:
  FakeClock(std::int64_t applyCost, std::int64_t lateness) : applyCost_(applyCost), lateness_(lateness) {}
  std::int64_t NowMicros() override { return now_; }
  void SleepFor(std::chrono::microseconds span) override {
    ++sleeps;
    ASSERT_GT(span.count(), 0) << "asked to sleep for nothing";
    now_ += span.count() + lateness_;
  }
  void Apply() { now_ += applyCost_; }

  std::int64_t now_ = 1'000'000;
  int sleeps = 0;

private:
  std::int64_t applyCost_;
  std::int64_t lateness_;
};

struct PacingCase {
  const char* name;
  std::int64_t applyCostMicros;
  std::int64_t latenessMicros;
  std::int64_t minTotalMicros;
  std::int64_t maxTotalMicros;
};

TEST(PopupFade, AppliesEveryValueInOrderPacedToTheDuration) {
  const PacingCase cases[] = {
      // Free updates: exactly the fixed duration, the last value at its end.
      {"instant updates", 0, 0, 300'000, 300'000},
      // Updates cheaper than the interval: still the fixed duration plus the last update.
      {"cheap updates", 100, 0, 300'000, 300'100},
      // Sleeps that wake 15 ms late (a coarse system timer): catches up, ends at most one
      // lateness after the duration.
      {"late wake-ups", 100, 15'000, 300'000, 315'100},
      // Updates dearer than the interval (about 4 ms each under Wine): no sleeping at all,
      // every value applied, the fade simply takes as long as the updates.
      {"slow updates", 4'000, 0, 236 * 4'000, 236 * 4'000},
  };
  for (const auto& c : cases) {
    FakeClock clock(c.applyCostMicros, c.latenessMicros);
    const std::int64_t start = clock.now_;
    std::vector<std::uint8_t> applied;
    std::vector<std::int64_t> times;
    const auto alphas = FadeOutAlphas();
    RunFade(alphas, kFadeDuration, clock, [&](std::uint8_t alpha) {
      times.push_back(clock.now_ - start);
      applied.push_back(alpha);
      clock.Apply();
    });
    EXPECT_EQ(applied, alphas) << c.name;
    const std::int64_t total = clock.now_ - start;
    EXPECT_GE(total, c.minTotalMicros) << c.name;
    EXPECT_LE(total, c.maxTotalMicros) << c.name;
    ASSERT_FALSE(times.empty());
    EXPECT_EQ(times.front(), 0) << c.name << ": the first value waits for nothing";
    for (std::size_t i = 1; i < times.size(); ++i) {
      EXPECT_GE(times[i], times[i - 1]) << c.name << " at value " << i;
      // Never ahead of schedule.
      EXPECT_GE(times[i], 300'000 * static_cast<std::int64_t>(i) / 235) << c.name << " at value " << i;
    }
    if (c.applyCostMicros > 300'000 / 235) {
      EXPECT_EQ(clock.sleeps, 0) << c.name;
    }
  }
}

TEST(PopupFade, ShortSequencesNeitherSleepNorDivideByZero) {
  FakeClock clock(0, 0);
  std::vector<std::uint8_t> applied;
  const std::uint8_t one[] = {7};
  RunFade(one, kFadeDuration, clock, [&](std::uint8_t a) { applied.push_back(a); });
  RunFade({}, kFadeDuration, clock, [&](std::uint8_t a) { applied.push_back(a); });
  EXPECT_EQ(applied, std::vector<std::uint8_t>{7});
  EXPECT_EQ(clock.sleeps, 0);
}

}  // namespace
}  // namespace orvo
