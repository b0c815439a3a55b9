// Irises (30, 31) and sweeps (32, 33): the to-picture copied through a region made for one
// frame, selected before the blit and reset after the refresh, before the wait.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

using Calls = std::vector<DrawCall>;

gdi::Region Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
  return gdi::Region::Ellipse(l, t, r, b);
}
gdi::Region Polygon(std::initializer_list<gdi::PolyPoint> points) {
  return gdi::Region::Polygon(std::vector<gdi::PolyPoint>(points), 0);
}

// One clipped frame as the log must show it: region, blit, refresh, reset.
Calls ClippedFrame(const gdi::Region& region, const DrawCall& blit) {
  return {SelectClipCall(region), blit, RefreshCall(), ResetClipCall()};
}

uint32_t From(int32_t x, int32_t y) { return PatternPixel(Source::From, x, y); }
uint32_t To(int32_t x, int32_t y) { return PatternPixel(Source::To, x, y); }

TEST(IrisEffects, EllipseGrowsTwentyByFifteenPerSideAt800) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(30);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 25u);
  for (int64_t k = 0; k < 25; ++k) {
    SCOPED_TRACE(k);
    const int64_t x = 400 - 20 * k, y = 300 - 15 * k, w = 40 * k, h = 30 * k;
    EXPECT_EQ(f.frames[k],
              ClippedFrame(Ellipse(x, y, x + w, y + h), BitBltCall("to", {x, y, w, h, x, y})));
  }
  // The first region is empty: nothing changes until the second frame.
  EXPECT_EQ(run.Image(0), Pattern(Source::From, 800, 600));
  EXPECT_EQ(run.Image(1).Pixel(400, 300), To(400, 300));
  // The last ellipse, 960 x 720 around the centre, reaches the edges' middles but not the
  // corners, which only the last frame fills.
  const gdi::Bitmap& last = run.Image(24);
  EXPECT_EQ(last.Pixel(0, 300), To(0, 300));
  EXPECT_EQ(last.Pixel(400, 0), To(400, 0));
  for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) {
    EXPECT_EQ(last.Pixel(x, y), From(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(IrisEffects, EllipseAt1024RoundsEachStep) {
  EffectRun run(1024, 768);
  run.Run(30);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 25u);
  // sx = 25.6000004, sy = 19.2000008: x moves by 26 and y by 19 every frame.
  for (int64_t k : {0, 1, 2, 3, 24}) {
    SCOPED_TRACE(k);
    const int64_t x = 512 - 26 * k, y = 384 - 19 * k, w = 52 * k, h = 38 * k;
    EXPECT_EQ(f.frames[k],
              ClippedFrame(Ellipse(x, y, x + w, y + h), BitBltCall("to", {x, y, w, h, x, y})));
  }
  EXPECT_EQ(f.frames[24][0], SelectClipCall(Ellipse(-112, -72, 1136, 840)));
}

TEST(IrisEffects, DiamondGrowsTwentySevenByTwentyPerSideAt800) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(31);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 30u);
  for (int32_t k = 0; k < 30; ++k) {
    SCOPED_TRACE(k);
    // sx = single(26.67): each rounded move is 27 pixels.
    const int32_t x = 400 - 27 * k, y = 300 - 20 * k, w = 54 * k, h = 40 * k;
    EXPECT_EQ(f.frames[k], ClippedFrame(Polygon({{400, y}, {x, 300}, {400, y + h}, {x + w, 300}}),
                                        BitBltCall("to", {x, y, w, h, x, y})));
  }
  EXPECT_EQ(f.frames[29][0],
            SelectClipCall(Polygon({{400, -280}, {-383, 300}, {400, 880}, {1183, 300}})));
  EXPECT_EQ(run.Image(0), Pattern(Source::From, 800, 600));
  // Even the last diamond leaves the corners to the last frame.
  const gdi::Bitmap& last = run.Image(29);
  EXPECT_EQ(last.Pixel(400, 300), To(400, 300));
  EXPECT_EQ(last.Pixel(0, 300), To(0, 300));
  for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) {
    EXPECT_EQ(last.Pixel(x, y), From(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(SweepEffects, ClockArmStartsAboveTheCentreAndTurnsOnceAt800) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(32);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 36u);
  const DrawCall whole = BitBltCall("to", {0, 0, 800, 600, 0, 0});
  EXPECT_EQ(f.frames[0], ClippedFrame(Polygon({{400, -200}, {400, 300}, {487, -192}}), whole));
  EXPECT_EQ(f.frames[1], ClippedFrame(Polygon({{487, -192}, {400, 300}, {571, -170}}), whole));
  EXPECT_EQ(f.frames[2], ClippedFrame(Polygon({{571, -170}, {400, 300}, {650, -133}}), whole));
  for (size_t k = 1; k < 36; ++k) {
    ASSERT_EQ(f.frames[k].size(), 4u);
    EXPECT_EQ(f.frames[k][1], whole);
  }
  // Every wedge starts where the previous one ended: together they leave no gap inside the
  // circle their chords enclose (radius 500 · cos 5°).
  int gaps = 0;
  for (int32_t y = 0; y < 600; ++y) {
    for (int32_t x = 0; x < 800; ++x) {
      const int32_t dx = x - 400, dy = y - 300;
      if (dx * dx + dy * dy <= 495 * 495 && run.Image(35).Pixel(x, y) != To(x, y)) ++gaps;
    }
  }
  EXPECT_EQ(gaps, 0);
  // The first wedge lies just clockwise of 12 o'clock.
  EXPECT_EQ(run.Image(0).Pixel(420, 100), To(420, 100));
  EXPECT_EQ(run.Image(0).Pixel(380, 100), From(380, 100));
  EXPECT_EQ(run.Image(34).Pixel(380, 100), From(380, 100));
  EXPECT_EQ(run.Image(35).Pixel(380, 100), To(380, 100));
  for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}}) {
    EXPECT_EQ(run.Image(35).Pixel(x, y), From(x, y)) << x << "," << y;
  }
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(SweepEffects, ClockAt1024UsesTheCornerDistance640) {
  EffectRun run(1024, 768);
  run.Run(32);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 36u);
  const DrawCall whole = BitBltCall("to", {0, 0, 1024, 768, 0, 0});
  EXPECT_EQ(f.frames[0], ClippedFrame(Polygon({{512, -256}, {512, 384}, {623, -246}}), whole));
  EXPECT_EQ(f.frames[2], ClippedFrame(Polygon({{731, -217}, {512, 384}, {832, -170}}), whole));
}

TEST(SweepEffects, OddSizeCopiesTwiceTheRoundedHalf) {
  for (int32_t effect : {32, 33}) {
    SCOPED_TRACE(effect);
    EffectRun run(801, 601);
    run.Run(effect);
    const Frames f = run.Split();
    // cx = R(400.5) = 400, cy = R(300.5) = 300: an 800 x 600 copy on an 801 x 601 target.
    for (const Calls& frame : f.frames) {
      ASSERT_EQ(Drawing(frame)[1], BitBltCall("to", {0, 0, 800, 600, 0, 0}));
    }
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

TEST(SweepEffects, SpiralStartsEmptyAndGrowsTwoPixelsPerFrame) {
  struct Case {
    int32_t width, height;
    gdi::PolyPoint centre, second_end, last_start, last_end;
  };
  // The corner distances 500, 640 and 400 all give radii 0, 2, 4, ... 400.
  const Case cases[] = {
      {800, 600, {400, 300}, {401, 298}, {264, 674}, {200, 646}},
      {1024, 768, {512, 384}, {513, 382}, {376, 758}, {312, 730}},
      {640, 480, {320, 240}, {321, 238}, {184, 614}, {120, 586}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    EffectRun run(c.width, c.height);
    run.KeepImages();
    run.Run(33);
    const Frames f = run.Split();
    ASSERT_EQ(f.frames.size(), 201u);
    const DrawCall whole = BitBltCall("to", {0, 0, c.width, c.height, 0, 0});
    EXPECT_EQ(f.frames[0], ClippedFrame(Polygon({c.centre, c.centre, c.centre}), whole));
    EXPECT_EQ(f.frames[1], ClippedFrame(Polygon({c.centre, c.centre, c.second_end}), whole));
    EXPECT_EQ(f.frames[200], ClippedFrame(Polygon({c.last_start, c.centre, c.last_end}), whole));
    EXPECT_EQ(run.Image(0), Pattern(Source::From, c.width, c.height));
    // The spiral never reaches the corners; the last frame fills them.
    EXPECT_EQ(run.Image(200).Pixel(0, 0), From(0, 0));
    EXPECT_EQ(run.Image(200).Pixel(c.width / 2, c.height / 2), To(c.width / 2, c.height / 2));
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
