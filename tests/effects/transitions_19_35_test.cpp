// What every transition from 19 to 35 must keep, whatever it draws: its number of frames, its
// frame interval, the to-picture whole on the target at the end (stopped or not), and no clip
// region left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

struct Size {
  int32_t width, height;
};
constexpr Size kSizes[] = {{800, 600}, {1024, 768}, {801, 601}};

struct Timing {
  int32_t effect;
  int32_t k_ms;
  int frames[3];  // animation frames at 800x600, 1024x768, 801x601
};

// Float-counted effects lose their last frame where the single-precision steps overshoot the
// end (e.g. 51.2 at 1024 wide); the integer-counted ones always draw the same number.
constexpr Timing kTimings[] = {
    {19, 50, {21, 20, 21}}, {20, 50, {20, 21, 21}}, {21, 50, {21, 20, 21}},
    {22, 50, {20, 21, 21}}, {23, 40, {21, 21, 21}}, {24, 40, {21, 21, 21}},
    {25, 20, {41, 41, 41}}, {26, 40, {21, 20, 21}}, {27, 40, {21, 20, 21}},
    {28, 40, {20, 20, 21}}, {29, 40, {20, 21, 21}}, {30, 40, {25, 25, 25}},
    {31, 40, {30, 30, 30}}, {32, 40, {36, 36, 36}}, {33, 8, {201, 201, 201}},
    {34, 40, {25, 25, 25}}, {35, 40, {25, 25, 25}},
};

std::string Name(int32_t effect, Size size) {
  return "effect " + std::to_string(effect) + " at " + std::to_string(size.width) + "x" +
         std::to_string(size.height);
}

TEST(Transitions19To35, FrameCountsAndIntervals) {
  for (const Timing& timing : kTimings) {
    for (int s = 0; s < 3; ++s) {
      SCOPED_TRACE(Name(timing.effect, kSizes[s]));
      EffectRun run(kSizes[s].width, kSizes[s].height);
      run.Run(timing.effect);
      const Frames frames = run.Split();
      EXPECT_EQ(static_cast<int>(frames.frames.size()), timing.frames[s]);
      EXPECT_EQ(run.presenter.refreshes, timing.frames[s]) << "one refresh per animation frame";
      ASSERT_EQ(static_cast<int>(run.clock.deadlines.size()), timing.frames[s]);
      // The virtual clock ends each wait one tick after its deadline, where the next frame
      // starts: deadlines K, 2K + 1, 3K + 2, ...
      for (size_t i = 0; i < run.clock.deadlines.size(); ++i) {
        ASSERT_EQ(run.clock.deadlines[i], timing.k_ms + static_cast<int32_t>(i) * (timing.k_ms + 1))
            << "frame " << i;
      }
      // The skeleton around the animation: the whole from-picture, then the whole to-picture.
      const int64_t w = kSizes[s].width, h = kSizes[s].height;
      EXPECT_EQ(frames.first, std::vector{BitBltCall("NowPicture", {0, 0, w, h, 0, 0})});
      EXPECT_EQ(frames.last, std::vector{BitBltCall("NextPicture", {0, 0, w, h, 0, 0})});
      EXPECT_TRUE(run.TargetEqualsTo());
    }
  }
}

// A stop request seen in the wait of frame `stop_at` ends the animation at once: no frame
// after it is drawn, and the to-picture is copied whole.
TEST(Transitions19To35, StopEndsWithTheWholeToPicture) {
  for (const Timing& timing : kTimings) {
    for (int s = 0; s < 3; ++s) {
      for (int stop_at : {s == 0 ? 0 : 1, timing.frames[s] / 2, timing.frames[s] - 1}) {
        SCOPED_TRACE(Name(timing.effect, kSizes[s]) + ", stopped in frame " +
                     std::to_string(stop_at));
        EffectRun run(kSizes[s].width, kSizes[s].height);
        run.StopDuringWaitOf(stop_at);
        run.Run(timing.effect);
        const Frames frames = run.Split();
        EXPECT_EQ(static_cast<int>(frames.frames.size()), stop_at + 1);
        EXPECT_EQ(run.clock.yields, stop_at + 1);
        const int64_t w = kSizes[s].width, h = kSizes[s].height;
        EXPECT_EQ(frames.last, std::vector{BitBltCall("NextPicture", {0, 0, w, h, 0, 0})});
        EXPECT_TRUE(run.TargetEqualsTo());
        EXPECT_FALSE(run.target.hDC().ClipRegion().has_value());
      }
    }
  }
}

// The clip-region effects select a region for one frame only: during every wait the target
// has no clip, so nothing later (the last frame, the next transition) is cut by it.
TEST(Transitions19To35, NoClipRegionSurvivesAFrame) {
  for (int32_t effect = 19; effect <= 35; ++effect) {
    SCOPED_TRACE(Name(effect, kSizes[0]));
    EffectRun run(800, 600);
    int clipped_waits = 0;
    run.clock.on_yield = [&](int) {
      if (run.target.hDC().ClipRegion().has_value()) ++clipped_waits;
    };
    run.Run(effect);
    EXPECT_EQ(clipped_waits, 0);
    EXPECT_FALSE(run.target.hDC().ClipRegion().has_value());
  }
}

TEST(Transitions19To35, TheFromAndToPicturesAreOnlyRead) {
  for (int32_t effect = 19; effect <= 35; ++effect) {
    SCOPED_TRACE(Name(effect, kSizes[2]));
    EffectRun run(801, 601);
    run.Run(effect);
    EXPECT_EQ(run.from.Image(), Pattern(Source::From, 801, 601));
    EXPECT_EQ(run.to.Image(), Pattern(Source::To, 801, 601));
  }
}

// Show areas of a pixel or two (or none) still end with the to-picture: no step of zero
// that never ends, no division by zero, no strip or wedge that goes wrong.
TEST(Transitions19To35, TinyTargetsEndWithTheToPicture) {
  for (int32_t effect = 19; effect <= 35; ++effect) {
    for (Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{0, 0}}) {
      SCOPED_TRACE(Name(effect, size));
      EffectRun run(size.width, size.height);
      run.Run(effect);
      EXPECT_TRUE(run.TargetEqualsTo());
    }
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
