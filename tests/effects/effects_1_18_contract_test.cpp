// What every transition from 1 to 18 shares: its pace, the stop request, the final picture and
// the faults that end it.
#include <gtest/gtest.h>

#include <ostream>

#include "common/run_time_error.h"
#include "effects/dispatch.h"
#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

struct Traits {
  int32_t effect;
  int32_t interval_ms;
  bool refreshes_last_frame;
};
constexpr Traits kTraits[] = {
    {1, 50, false}, {2, 50, false}, {3, 40, false}, {4, 40, false},  {5, 50, false}, {6, 50, false},
    {7, 50, false}, {8, 50, false}, {9, 40, false}, {10, 40, false}, {11, 20, true}, {12, 20, true},
    {13, 10, true}, {14, 10, true}, {15, 25, true}, {16, 25, true},  {17, 25, true}, {18, 25, true},
};

void PrintTo(const Traits& t, std::ostream* out) { *out << "effect " << t.effect; }

std::vector<gdi::DrawCall> WholeB(int64_t w, int64_t h, bool refreshed) {
  std::vector<gdi::DrawCall> last{BitBltCall("NextPicture", {0, 0, w, h, 0, 0})};
  if (refreshed) last.push_back(RefreshCall());
  return last;
}

class Effects1To18 : public ::testing::TestWithParam<Traits> {};

TEST_P(Effects1To18, PacesEveryFrameAtIntervalOverSpeedFactor) {
  const Traits t = GetParam();
  for (int32_t speed : {1, 2, 4}) {
    EffectRun run(160, 120);
    run.context.SpeedFactor = speed;
    run.clock.now = 1000;
    run.Run(t.effect);
    ASSERT_FALSE(run.clock.deadlines.empty());
    int32_t start = 1000;
    for (int32_t deadline : run.clock.deadlines) {
      EXPECT_EQ(deadline, R(static_cast<double>(t.interval_ms) / speed + start))
          << "speed " << speed;
      start = deadline + 1;
    }
    EXPECT_EQ(run.clock.deadlines.size(), run.Split().frames.size());
  }
}

TEST_P(Effects1To18, StopAlreadyRequestedDrawsOneFrameThenBWhole) {
  const Traits t = GetParam();
  EffectRun run(161, 123);
  run.stop_requested = -1;
  run.Run(t.effect);
  const auto split = run.Split();
  EXPECT_EQ(split.first, (std::vector{BitBltCall("NowPicture", {0, 0, 161, 123, 0, 0})}));
  ASSERT_EQ(split.frames.size(), 1u);
  EXPECT_EQ(split.frames[0].back(), RefreshCall());
  EXPECT_EQ(split.last, WholeB(161, 123, t.refreshes_last_frame));
  EXPECT_EQ(run.clock.yields, 1);
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST_P(Effects1To18, StopDuringAWaitEndsWithBWhole) {
  const Traits t = GetParam();
  EffectRun run(161, 123);
  run.StopDuringWaitOf(2);
  run.Run(t.effect);
  const auto split = run.Split();
  EXPECT_EQ(split.frames.size(), 3u);
  EXPECT_EQ(split.last, WholeB(161, 123, t.refreshes_last_frame));
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST_P(Effects1To18, RunToItsEndLeavesTheToPictureAndTheLastFrameRefreshedOnlyIfItsOwn) {
  const Traits t = GetParam();
  for (auto [w, h] : {std::pair{333, 211}, std::pair{8, 5}, std::pair{1, 1}}) {
    EffectRun run(w, h);
    run.Run(t.effect);
    const auto split = run.Split();
    EXPECT_EQ(split.last, WholeB(w, h, t.refreshes_last_frame)) << w << "x" << h;
    EXPECT_EQ(run.FirstDifferenceFromTo(), std::nullopt) << w << "x" << h;
  }
}

TEST_P(Effects1To18, SpeedFactorZeroFailsAtTheFirstDeadlineWithoutTheLastFrame) {
  const Traits t = GetParam();
  EffectRun run(40, 30);
  run.context.SpeedFactor = 0;
  try {
    run.Run(t.effect);
    FAIL() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Description(), DivisionByZeroError().Description());
  }
  EXPECT_EQ(run.calls, (std::vector{BitBltCall("NowPicture", {0, 0, 40, 30, 0, 0})}));
}

INSTANTIATE_TEST_SUITE_P(All, Effects1To18, ::testing::ValuesIn(kTraits), [](const auto& info) {
  return "Effect" + std::to_string(info.param.effect);
});

TEST(Dispatch, NumbersOutsideOneTo35HaveNoEffect) {
  EXPECT_EQ(EffectFor(0), nullptr);
  EXPECT_EQ(EffectFor(36), nullptr);
  EXPECT_EQ(EffectFor(-1), nullptr);
  for (int32_t n = 1; n <= 35; ++n) {
    EXPECT_NE(EffectFor(n), nullptr) << n;
    for (int32_t m = 1; m < n; ++m) EXPECT_NE(EffectFor(n), EffectFor(m)) << n << " " << m;
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
