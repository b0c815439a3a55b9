// The frame skeleton on its own: the order of the frames, the rounding of the deadline, the
// wait, the box clearing, the counted loops and the generator. What every transition does with
// it is in every_effect_test.cpp.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "effects/frame.h"
#include "tests/effects/effect_test_support.h"

namespace slidesaver {
namespace {

using effect_test::BitBltCall;
using effect_test::EffectRun;
using effect_test::RefreshCall;
using ::testing::ElementsAre;

// A transition of three frames that each copy one row of B, at the run's pace of 50 ms.
void ThreeRows(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  ForIntCounter(
      0, 2, [&](int32_t row) { return f.Frame([&] { f.Blt(0, row, R(f.W()), 1, to, 0, row); }); });
  f.LastFrame();
}

TEST(EffectFrame, DrawsFirstFrameAnimationFramesAndLastFrameInOrder) {
  EffectRun run(8, 6);
  run.Run(ThreeRows);
  const auto frames = run.Split();
  EXPECT_THAT(frames.first, ElementsAre(BitBltCall("from", {0, 0, 8, 6, 0, 0})));
  ASSERT_EQ(frames.frames.size(), 3u);
  for (int32_t row = 0; row < 3; ++row) {
    EXPECT_THAT(frames.frames[row],
                ElementsAre(BitBltCall("to", {0, row, 8, 1, 0, row}), RefreshCall()));
  }
  EXPECT_THAT(frames.last, ElementsAre(BitBltCall("to", {0, 0, 8, 6, 0, 0})));
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(EffectFrame, DeadlineIsIntervalOverSpeedRoundedHalfToEven) {
  // 50 / 4 = 12.5, and each following frame starts at the tick after the previous deadline:
  // from tick 100 the deadlines are 112.5, 126.5, 140.5 rounded to even, from 101 113.5, ...
  // They go on the same way past the ticks where a 32-bit tick wraps.
  const std::vector<std::pair<int64_t, std::vector<int64_t>>> cases = {
      {100, {112, 126, 140}},
      {101, {114, 128, 142}},
      {2147483634, {2147483646, 2147483660, 2147483674}},  // across 2^31
      {4294967282, {4294967294, 4294967308, 4294967322}},  // across 2^32
  };
  for (const auto& [start, deadlines] : cases) {
    EffectRun run(8, 6);
    run.context.speed_factor = 4;
    run.events.SetNow(start);
    run.Run(ThreeRows);
    EXPECT_EQ(run.events.Deadlines(), deadlines) << "start " << start;
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

TEST(EffectFrame, WaitYieldsOnceEvenWhenTheDeadlineHasPassed) {
  // The clock leaps 1000 ms at every yield, far past each deadline: still one yield a frame.
  EffectRun run(8, 6);
  run.events.on_yield = [&](int64_t) { run.events.SetNow(run.log.Now() + 1000); };
  run.Run(ThreeRows);
  EXPECT_EQ(run.events.Yields(), 3);
  EXPECT_EQ(run.Split().frames.size(), 3u);
}

TEST(EffectFrame, ClearToBlackCoversTheWholeTarget) {
  EffectRun run(5, 3);
  run.Run(+[](gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
    EffectFrame f(t, a, b, c);
    f.ClearToBlack();
  });
  EXPECT_THAT(run.Calls(), ElementsAre(effect_test::FillBoxCall(-1, -1, 5, 3, 0)));
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(run.target.Image().Pixel(x, y), 0u);
  }
}

std::vector<float> FloatCounts(float end, float step) {
  std::vector<float> values;
  ForFloatCounter(0.0f, end, step, [&](float c) {
    values.push_back(c);
    return values.size() < 1000;
  });
  return values;
}

TEST(ForFloatCounter, AccumulatesInSinglePrecision) {
  // 512 / 20 is not exact in single precision: the 21st value passes 512.
  const auto v512 = FloatCounts(512.0f, Single(512.0 / 20));
  ASSERT_EQ(v512.size(), 20u);
  EXPECT_FLOAT_EQ(v512.back(), 486.40009f);
  EXPECT_EQ(v512.back(), Single(486.40009));
  const auto v400 = FloatCounts(400.0f, 20.0f);
  ASSERT_EQ(v400.size(), 21u);
  EXPECT_EQ(v400.back(), 400.0f);
  EXPECT_TRUE(FloatCounts(-1.0f, 1.0f).empty());  // start beyond the end: no pass
}

TEST(ForFloatCounter, CounterThatCannotGrowStopsAfterOnePass) {
  EXPECT_EQ(FloatCounts(10.0f, 0.0f).size(), 1u);
  EXPECT_EQ(FloatCounts(10.0f, -2.0f).size(), 1u);
}

TEST(ForFloatCounter, StepLostInSinglePrecisionStops) {
  std::vector<float> values;
  ForFloatCounter(33554432.0f, 33554440.0f, 1.0f, [&](float c) {
    values.push_back(c);
    return values.size() < 100;
  });
  EXPECT_EQ(values.size(), 1u);  // 2^25 + 1 rounds back to 2^25
}

TEST(ForIntCounter, RunsInclusiveAndStopsOnRequest) {
  std::vector<int32_t> seen;
  ForIntCounter(0, 3, [&](int32_t i) {
    seen.push_back(i);
    return true;
  });
  EXPECT_THAT(seen, ElementsAre(0, 1, 2, 3));
  seen.clear();
  ForIntCounter(5, 4, [&](int32_t i) {
    seen.push_back(i);
    return true;
  });
  EXPECT_TRUE(seen.empty());
  ForIntCounter(2147483646, 2147483647, [&](int32_t i) {
    seen.push_back(i);
    return true;
  });
  EXPECT_THAT(seen, ElementsAre(2147483646, 2147483647));  // no wrap at the top
}

TEST(Random, NeverSeededSequenceStartsTheSameInEveryRun) {
  Random random;
  const float expected[] = {11837123 / 16777216.0f, 8949370 / 16777216.0f, 9722709 / 16777216.0f,
                            4858052 / 16777216.0f};
  for (float e : expected) EXPECT_EQ(random.Next(), e);
  EXPECT_NEAR(Random().Next(), 0.7055475, 1e-7);
}

TEST(Random, StaysInUnitInterval) {
  Random random;
  for (int i = 0; i < 1 << 16; ++i) {
    const float r = random.Next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
  }
}

}  // namespace
}  // namespace slidesaver
