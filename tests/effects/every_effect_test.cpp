// What every transition shares, whatever it draws: its pace, its number of frames, a stop
// request honoured within one frame, the to-picture whole on the target at the end (stopped or
// not), no clip region left behind, and the from- and to-pictures only read.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "effects/effect_table.h"
#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

struct Size {
  int32_t width, height;
};
constexpr Size kSizes[] = {{800, 600}, {1024, 768}, {801, 601}};

struct Traits {
  int32_t effect;
  int frames[3];  // animation frames at each of kSizes
};

// Float-counted effects lose their last frame where the single-precision steps overshoot the
// end (e.g. 51.2 at 1024 wide); the integer-counted ones always draw the same number.
constexpr Traits kTraits[] = {
    {1, {21, 20, 21}},     {2, {21, 20, 21}},  {3, {25, 25, 25}},  {4, {25, 23, 25}},
    {5, {21, 20, 21}},     {6, {20, 20, 21}},  {7, {21, 20, 21}},  {8, {20, 21, 21}},
    {9, {25, 25, 25}},     {10, {20, 20, 20}}, {11, {20, 20, 20}}, {12, {20, 20, 20}},
    {13, {40, 40, 40}},    {14, {40, 40, 40}}, {15, {21, 21, 21}}, {16, {21, 21, 21}},
    {17, {21, 21, 21}},    {18, {21, 21, 21}}, {19, {21, 20, 21}}, {20, {20, 21, 21}},
    {21, {21, 20, 21}},    {22, {20, 21, 21}}, {23, {21, 21, 21}}, {24, {21, 21, 21}},
    {25, {41, 41, 41}},    {26, {21, 20, 21}}, {27, {21, 20, 21}}, {28, {20, 20, 21}},
    {29, {20, 21, 21}},    {30, {25, 25, 25}}, {31, {30, 30, 30}}, {32, {36, 36, 36}},
    {33, {201, 201, 201}}, {34, {25, 25, 25}}, {35, {25, 25, 25}}};
static_assert(std::size(kTraits) == kEffectCount);

EffectPace PaceOf(const Traits& t) { return FindEffect(t.effect)->pace; }

void PrintTo(const Traits& t, std::ostream* out) { *out << "effect " << t.effect; }

std::string At(Size size) {
  return "at " + std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::vector<DrawCall> WholeTo(const Traits& t, int64_t w, int64_t h) {
  std::vector<DrawCall> last{BitBltCall("to", {0, 0, w, h, 0, 0})};
  if (PaceOf(t).refreshes_last_frame) last.push_back(RefreshCall());
  return last;
}

class EveryEffect : public ::testing::TestWithParam<Traits> {};

TEST_P(EveryEffect, DrawsItsFramesBetweenTheWholeFromAndToPictures) {
  const Traits t = GetParam();
  for (int s = 0; s < 3; ++s) {
    const Size size = kSizes[s];
    SCOPED_TRACE(At(size));
    EffectRun run(size.width, size.height);
    int clipped_waits = 0;
    run.events.on_yield = [&](int64_t) {
      if (run.target.Context().ClipRegion().has_value()) ++clipped_waits;
    };
    run.Run(t.effect);
    const Frames frames = run.Split();
    EXPECT_EQ(static_cast<int>(frames.frames.size()), t.frames[s]);
    for (const auto& frame : frames.frames) ASSERT_EQ(std::ranges::count(frame, RefreshCall()), 1);
    EXPECT_EQ(frames.first, std::vector{BitBltCall("from", {0, 0, size.width, size.height, 0, 0})});
    EXPECT_EQ(frames.last, WholeTo(t, size.width, size.height));
    EXPECT_TRUE(run.TargetEqualsTo());
    // A clip region lasts one frame: no wait, and nothing after the effect, is cut by it.
    EXPECT_EQ(clipped_waits, 0);
    EXPECT_FALSE(run.target.Context().ClipRegion().has_value());
    EXPECT_EQ(run.from.Image(), Pattern(Source::From, size.width, size.height));
    EXPECT_EQ(run.to.Image(), Pattern(Source::To, size.width, size.height));
  }
}

TEST_P(EveryEffect, PacesEveryFrameAtIntervalOverSpeed) {
  const Traits t = GetParam();
  for (int32_t speed : {1, 2, 4}) {
    SCOPED_TRACE("speed " + std::to_string(speed));
    EffectRun run(160, 120);
    run.context.speed_factor = speed;
    run.events.SetNow(1000);
    run.Run(t.effect);
    const std::vector<int64_t> deadlines = run.events.Deadlines();
    ASSERT_FALSE(deadlines.empty());
    // The virtual clock ends each wait one tick after its deadline, where the next frame starts.
    int64_t start = 1000;
    for (int64_t deadline : deadlines) {
      ASSERT_EQ(deadline, R64(static_cast<double>(PaceOf(t).interval_ms) / speed +
                              static_cast<double>(start)));
      start = deadline + 1;
    }
    EXPECT_EQ(deadlines.size(), run.Split().frames.size());
  }
}

TEST_P(EveryEffect, StopEndsTheAnimationWithinOneFrameWithTheWholeToPicture) {
  const Traits t = GetParam();
  const Size size{161, 123};
  size_t frame_count = 0;
  {
    EffectRun unstopped(size.width, size.height);
    unstopped.Run(t.effect);
    frame_count = unstopped.Split().frames.size();
  }
  // -1: requested before the effect began; else inside the wait of that frame.
  for (int stop_at :
       {-1, 0, static_cast<int>(frame_count / 2), static_cast<int>(frame_count) - 1}) {
    SCOPED_TRACE("stopped in frame " + std::to_string(stop_at));
    EffectRun run(size.width, size.height);
    if (stop_at < 0) {
      run.stop_requested = true;
    } else {
      run.StopDuringWaitOf(stop_at);
    }
    run.Run(t.effect);
    const Frames frames = run.Split();
    const size_t drawn = static_cast<size_t>(std::max(stop_at, 0) + 1);
    EXPECT_EQ(frames.frames.size(), drawn);
    EXPECT_EQ(run.events.Yields(), static_cast<int64_t>(drawn));
    EXPECT_EQ(frames.last, WholeTo(t, size.width, size.height));
    EXPECT_TRUE(run.TargetEqualsTo());
    EXPECT_FALSE(run.target.Context().ClipRegion().has_value());
  }
}

TEST_P(EveryEffect, SpeedZeroFailsAtTheFirstDeadlineWithoutTheLastFrame) {
  EffectRun run(40, 30);
  run.context.speed_factor = 0;
  try {
    run.Run(GetParam().effect);
    FAIL() << "no error";
  } catch (const RunTimeError& e) {
    EXPECT_EQ(e.Description(), DivisionByZeroError().Description());
  }
  EXPECT_EQ(run.Calls(), (std::vector{BitBltCall("from", {0, 0, 40, 30, 0, 0})}));
}

// Show areas of a pixel or two (or none) still end with the to-picture: no step of zero that
// never ends, no division by zero, no strip or wedge that goes wrong.
TEST_P(EveryEffect, TinyTargetsEndWithTheToPicture) {
  for (Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{8, 5}, Size{0, 0}}) {
    SCOPED_TRACE(At(size));
    EffectRun run(size.width, size.height);
    run.Run(GetParam().effect);
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

INSTANTIATE_TEST_SUITE_P(All, EveryEffect, ::testing::ValuesIn(kTraits), [](const auto& info) {
  return "Effect" + std::to_string(info.param.effect);
});

// Slide n's picture: its number in the high bits, a position pattern below, so a pixel left
// over from any earlier slide, or from the wrong place, shows.
gdi::Bitmap Slide(int32_t n, int32_t width, int32_t height) {
  gdi::Bitmap b = gdi::Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      b.SetPixel(
          x, y,
          (static_cast<uint32_t>(n) << 18) | static_cast<uint32_t>((x * 7 + y * 13) & 0x3FFFF));
    }
  }
  return b;
}

// All of them in a row on the same three surfaces, as the slide-show loop runs them, each bringing
// in the next slide whole. The screen is made of the presented damage alone: after every
// frame it shows exactly what the target holds.
void RunShow(int32_t width, int32_t height, int stop_every) {
  EffectRun run(width, height);
  run.window.SetScreenSize({width, height});
  run.target.DrawPicture(Slide(0, width, height), 0, 0);
  run.target.Refresh();
  int64_t frames_unlike_the_target = 0;
  auto check_screen = [&] {
    if (run.window.Screen() != run.target.Image()) ++frames_unlike_the_target;
  };
  for (int32_t n = 1; n <= kEffectCount; ++n) {
    SCOPED_TRACE(n);
    run.from.DrawPicture(Slide(n - 1, width, height), 0, 0);
    run.to.DrawPicture(Slide(n, width, height), 0, 0);
    run.context.speed_factor = 1 << (n % 4);
    const int64_t yields_before = run.events.Yields();
    run.stop_requested = false;
    const bool stopped = stop_every > 0 && n % stop_every == 0;
    run.events.on_yield = [&](int64_t yield) {
      check_screen();
      if (stopped && yield == yields_before + 2) run.stop_requested = true;
    };
    run.Run(n);
    run.target.Refresh();
    check_screen();
    ASSERT_EQ(frames_unlike_the_target, 0);
    ASSERT_EQ(run.target.Image(), Slide(n, width, height));
    ASSERT_FALSE(run.target.Context().ClipRegion().has_value());
    EXPECT_GT(run.events.Yields(), yields_before) << "every transition yields";
  }
}

TEST(AllTransitions, AllInARowEachLeavesItsSlideWhole) { RunShow(800, 600, 0); }

TEST(AllTransitions, AllInARowAtAnOddSizeWithSomeStopped) { RunShow(641, 479, 3); }

// The transitions that uncover the to-picture in place change each pixel once, and the
// presents send little more than that: no band drawn again, no picture sent twice.
TEST(AllTransitions, ThoseThatUncoverInPlaceSendEachPixelAboutOnce) {
  const int32_t width = 801, height = 601;
  for (int32_t n : {3, 4, 9, 10, 19, 20, 21, 22, 30, 31, 32, 33, 34, 35}) {
    SCOPED_TRACE(n);
    EffectRun run(width, height);
    run.target.DrawPicture(Slide(1, width, height), 0, 0);
    run.from.DrawPicture(Slide(1, width, height), 0, 0);
    run.to.DrawPicture(Slide(2, width, height), 0, 0);
    run.target.Refresh();
    run.window.ClearFrames();
    run.Run(n);
    run.target.Refresh();
    int64_t sent = 0;
    for (const fake::PresentedFrame& frame : run.window.Frames()) {
      for (const gdi::Rect& r : frame.damage) sent += int64_t{r.Width()} * r.Height();
    }
    EXPECT_LE(sent, int64_t{width} * height * 6 / 5);
    EXPECT_GE(sent, int64_t{width} * height);
  }
}

TEST(EffectTable, EachNumberHasItsOwnEffectAndNoOtherNumberHasOne) {
  for (int32_t outside : {0, kEffectCount + 1, -1}) EXPECT_EQ(FindEffect(outside), nullptr);
  std::set<Effect> procedures;
  std::set<std::string> names;
  for (const EffectEntry& effect : EffectTable()) {
    EXPECT_EQ(FindEffect(effect.number), &effect);
    EXPECT_TRUE(procedures.insert(effect.draw).second) << effect.number;
    EXPECT_TRUE(names.insert(effect.name).second) << effect.number;
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
