// Wipes (19-22) and pushes (26-28): unscaled bands of the pictures, one call per band.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

using Calls = std::vector<DrawCall>;

uint32_t From(int32_t x, int32_t y) { return PatternPixel(Source::From, x, y); }
uint32_t To(int32_t x, int32_t y) { return PatternPixel(Source::To, x, y); }

TEST(WipeEffects, FromLeftAndRightMoveFortyColumnsPerFrameAt800) {
  EffectRun left(800, 600);
  left.Run(19);
  EffectRun right(800, 600);
  right.Run(21);
  const Frames l = left.Split(), r = right.Split();
  ASSERT_EQ(l.frames.size(), 21u);
  ASSERT_EQ(r.frames.size(), 21u);
  for (int64_t k = 0; k <= 20; ++k) {
    SCOPED_TRACE(k);
    // The left wipe's band is one column wider than c: 1 column at c = 0, 801 at c = 800.
    EXPECT_EQ(Drawing(l.frames[k]), Calls{BitBltCall("to", {0, 0, 40 * k + 1, 600, 0, 0})});
    EXPECT_EQ(Drawing(r.frames[k]),
              Calls{BitBltCall("to", {800 - 40 * k, 0, 40 * k, 600, 800 - 40 * k, 0})});
  }
}

TEST(WipeEffects, At1024TheStepOvershootsAndTheLastFrameCompletes) {
  EffectRun run(1024, 768);
  run.Run(19);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 20u);
  EXPECT_EQ(Drawing(f.frames[1]), Calls{BitBltCall("to", {0, 0, 52, 768, 0, 0})});
  // c = 972.80017: a band 974 columns wide.
  EXPECT_EQ(Drawing(f.frames[19]), Calls{BitBltCall("to", {0, 0, 974, 768, 0, 0})});

  EffectRun right(1024, 768);
  right.Run(21);
  const Frames r = right.Split();
  ASSERT_EQ(r.frames.size(), 20u);
  EXPECT_EQ(Drawing(r.frames[19]), Calls{BitBltCall("to", {51, 0, 973, 768, 51, 0})});
}

TEST(WipeEffects, VerticalWipesRunToHMinusOneAndKeepTheBottomRow) {
  // c = 0 asks for a band of height 0; the last animation frame has c = 569.05011. The bottom
  // row keeps the from-picture in every animation frame, but for one case: in frame 10 c is
  // exactly 299.5, and effect 22's band then starts at R(299.5) = 300 and is R(299.5) = 300
  // rows high, so it reaches the bottom row from then on.
  using Band = std::array<int64_t, 6>;  // BitBlt's x, y, width, height, source x, source y
  struct VerticalWipe {
    int32_t effect;
    std::vector<std::pair<size_t, Band>> bands;  // frame, its one band
    size_t reaches_bottom_row_at;
  };
  const VerticalWipe wipes[] = {
      {20,
       {{0, {0, 0, 800, 0, 0, 0}}, {1, {0, 0, 800, 30, 0, 0}}, {19, {0, 0, 800, 569, 0, 0}}},
       SIZE_MAX},
      {22,
       {{0, {0, 599, 800, 0, 0, 599}},
        {1, {0, 569, 800, 30, 0, 569}},
        {10, {0, 300, 800, 300, 0, 300}},
        {19, {0, 30, 800, 569, 0, 30}}},
       10},
  };
  for (const VerticalWipe& wipe : wipes) {
    SCOPED_TRACE(wipe.effect);
    EffectRun run(800, 600);
    run.KeepImages();
    run.Run(wipe.effect);
    const Frames f = run.Split();
    ASSERT_EQ(f.frames.size(), 20u);
    for (const auto& [frame, b] : wipe.bands) {
      EXPECT_EQ(Drawing(f.frames[frame]),
                Calls{BitBltCall("to", {b[0], b[1], b[2], b[3], b[4], b[5]})})
          << frame;
    }
    for (size_t k = 0; k < run.Refreshes(); ++k) {
      SCOPED_TRACE(k);
      const bool reached = k >= wipe.reaches_bottom_row_at;
      const gdi::Bitmap& image = run.Image(k);
      ASSERT_EQ(image.Pixel(0, 599), reached ? To(0, 599) : From(0, 599));
      ASSERT_EQ(image.Pixel(799, 599), reached ? To(799, 599) : From(799, 599));
    }
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

TEST(WipeEffects, BandsShowTheToPictureInPlaceAndTheFromPictureBeyond) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(19);
  const gdi::Bitmap& frame5 = run.Image(5);  // c = 200, band 201 columns
  EXPECT_EQ(frame5.Pixel(0, 0), To(0, 0));
  EXPECT_EQ(frame5.Pixel(200, 300), To(200, 300));
  EXPECT_EQ(frame5.Pixel(201, 300), From(201, 300));
  EXPECT_EQ(run.Image(0).Pixel(0, 10), To(0, 10));  // one column at c = 0
  EXPECT_EQ(run.Image(0).Pixel(1, 10), From(1, 10));

  EffectRun bottom(800, 600);
  bottom.KeepImages();
  bottom.Run(22);
  const gdi::Bitmap& b1 = bottom.Image(1);  // rows 569 to 598
  EXPECT_EQ(b1.Pixel(5, 568), From(5, 568));
  EXPECT_EQ(b1.Pixel(5, 569), To(5, 569));
  EXPECT_EQ(b1.Pixel(5, 598), To(5, 598));
}

TEST(WipeEffects, OddSizeReachesTheFarEdgeOnlyWithTheLastFrame) {
  EffectRun run(801, 601);
  run.Run(19);
  Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  // c = 800.99988 after 20 single-precision steps of 40.05.
  EXPECT_EQ(Drawing(f.frames[20]), Calls{BitBltCall("to", {0, 0, 802, 601, 0, 0})});

  EffectRun top(801, 601);
  top.KeepImages();
  top.Run(20);
  f = top.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  EXPECT_EQ(Drawing(f.frames[20]), Calls{BitBltCall("to", {0, 0, 801, 600, 0, 0})});
  EXPECT_EQ(top.Image(20).Pixel(400, 600), From(400, 600));
  EXPECT_TRUE(top.TargetEqualsTo());
}

TEST(PushEffects, FromLeftMovesBothPicturesFortyColumnsPerFrameAt800) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(26);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  for (int64_t k = 0; k <= 20; ++k) {
    SCOPED_TRACE(k);
    const int64_t c = 40 * k;
    EXPECT_EQ(Drawing(f.frames[k]), (Calls{BitBltCall("from", {c, 0, 800 - c, 600, 0, 0}),
                                           BitBltCall("to", {0, 0, c + 1, 600, 800 - c, 0})}));
  }
  // At c = 200: B's columns 600 to 799 left of column 200, A from column 200 on. Column 200
  // would take B's column 800, which doesn't exist, so A's column 0 stays there.
  const gdi::Bitmap& image = run.Image(5);
  EXPECT_EQ(image.Pixel(0, 7), To(600, 7));
  EXPECT_EQ(image.Pixel(199, 7), To(799, 7));
  EXPECT_EQ(image.Pixel(200, 7), From(0, 7));
  EXPECT_EQ(image.Pixel(799, 7), From(599, 7));
  // At c = 0 A is drawn again in place, and B's one column has no source at all.
  EXPECT_EQ(run.Image(0), Pattern(Source::From, 800, 600));
  // At c = 800 B is whole from its column 0.
  EXPECT_EQ(run.Image(20), Pattern(Source::To, 800, 600));
}

TEST(PushEffects, FromTopMovesThirtyRowsPerFrameAt600) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(27);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  EXPECT_EQ(Drawing(f.frames[3]), (Calls{BitBltCall("from", {0, 90, 800, 510, 0, 0}),
                                         BitBltCall("to", {0, 0, 800, 91, 0, 510})}));
  const gdi::Bitmap& image = run.Image(3);
  EXPECT_EQ(image.Pixel(3, 0), To(3, 510));
  EXPECT_EQ(image.Pixel(3, 89), To(3, 599));
  EXPECT_EQ(image.Pixel(3, 90), From(3, 0));
  EXPECT_EQ(image.Pixel(3, 599), From(3, 509));
}

TEST(PushEffects, At1024TheBandsRoundFromTheSameCounter) {
  EffectRun run(1024, 768);
  run.Run(26);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 20u);
  // c = 51.2000008: A from column 51, 973 wide; B 52 wide from its column 973.
  EXPECT_EQ(Drawing(f.frames[1]), (Calls{BitBltCall("from", {51, 0, 973, 768, 0, 0}),
                                         BitBltCall("to", {0, 0, 52, 768, 973, 0})}));
}

TEST(PushEffects, FromRightRunsToWMinusOneWithoutOverlap) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(28);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 20u);
  EXPECT_EQ(Drawing(f.frames[0]), (Calls{BitBltCall("from", {0, 0, 800, 600, 0, 0}),
                                         BitBltCall("to", {800, 0, 0, 600, 0, 0})}));
  // c = 759.05011: A's last 41 columns, then B's first 759 beside them.
  EXPECT_EQ(Drawing(f.frames[19]), (Calls{BitBltCall("from", {0, 0, 41, 600, 759, 0}),
                                          BitBltCall("to", {41, 0, 759, 600, 0, 0})}));
  const gdi::Bitmap& image = run.Image(19);
  EXPECT_EQ(image.Pixel(40, 9), From(799, 9));
  EXPECT_EQ(image.Pixel(41, 9), To(0, 9));
  EXPECT_TRUE(run.TargetEqualsTo());
}

}  // namespace
}  // namespace slidesaver::effect_test
