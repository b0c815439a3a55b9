// Zooms (23-25): a whole picture stretched into a box centred on the target, whose corner
// moves by a rounded fortieth of the target's size per frame.
#include <gtest/gtest.h>

#include <vector>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

using Calls = std::vector<DrawCall>;

// Which picture a pixel came from; where in it is the stretch's business.
Source SourceOf(uint32_t pixel) { return OriginOf(pixel).source; }

DrawCall Stretch(const char* source, int64_t x, int64_t y, int64_t w, int64_t h, int64_t sw = 800,
                 int64_t sh = 600) {
  return StretchBltCall(source, {x, y, w, h, 0, 0, sw, sh});
}

TEST(ZoomEffects, InFromCentreGrowsTheToPictureAt800) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(23);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  for (int64_t k = 0; k <= 20; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Drawing(f.frames[k]),
              Calls{Stretch("to", 400 - 20 * k, 300 - 15 * k, 40 * k, 30 * k)});
  }
  // Frame 0 has an empty box; outside the box the from-picture stays.
  EXPECT_EQ(run.Image(0), Pattern(Source::From, 800, 600));
  EXPECT_EQ(run.Image(10).Pixel(199, 300), PatternPixel(Source::From, 199, 300));
  EXPECT_EQ(SourceOf(run.Image(10).Pixel(200, 150)), Source::To);
  EXPECT_EQ(run.Image(20), Pattern(Source::To, 800, 600));
}

TEST(ZoomEffects, At1024TheRoundedMovesOvershootAndGoNegative) {
  EffectRun in(1024, 768);
  in.Run(23);
  Frames f = in.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  // x moves by 26 and y by 19 per frame, so frame 20 pokes past the left and right edges.
  EXPECT_EQ(Drawing(f.frames[1]), Calls{Stretch("to", 486, 365, 52, 38, 1024, 768)});
  EXPECT_EQ(Drawing(f.frames[20]), Calls{Stretch("to", -8, 4, 1040, 760, 1024, 768)});
  EXPECT_TRUE(in.TargetEqualsTo());

  EffectRun out(1024, 768);
  out.Run(24);
  f = out.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  EXPECT_EQ(Drawing(f.frames[0]), (Calls{BitBltCall("to", {0, 0, 1024, 768, 0, 0}),
                                         Stretch("from", 0, 0, 1024, 768, 1024, 768)}));
  // Past the centre: a negative width goes to the drawing layer as it is.
  EXPECT_EQ(Drawing(f.frames[20]), (Calls{BitBltCall("to", {0, 0, 1024, 768, 0, 0}),
                                          Stretch("from", 520, 380, -16, 8, 1024, 768)}));
  EXPECT_TRUE(out.TargetEqualsTo());
}

TEST(ZoomEffects, OutToCentreShrinksTheFromPictureOverTheToPicture) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(24);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  EXPECT_EQ(Drawing(f.frames[2]),
            (Calls{BitBltCall("to", {0, 0, 800, 600, 0, 0}), Stretch("from", 40, 30, 720, 540)}));
  EXPECT_EQ(run.Image(0), Pattern(Source::From, 800, 600));
  EXPECT_EQ(run.Image(2).Pixel(39, 29), PatternPixel(Source::To, 39, 29));
  EXPECT_EQ(SourceOf(run.Image(2).Pixel(40, 30)), Source::From);
  EXPECT_EQ(run.Image(20), Pattern(Source::To, 800, 600));
}

TEST(ZoomEffects, ThroughCentreShrinksOnBlackThenGrows) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(25);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 41u);
  for (int64_t k = 0; k <= 20; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(Drawing(f.frames[k]),
              (Calls{FillBoxCall(-1, -1, 800, 600, 0),
                     Stretch("from", 20 * k, 15 * k, 800 - 40 * k, 600 - 30 * k)}));
  }
  // The second half moves the corner before drawing: frame 21 is B at zero size, frame 40 B
  // at the size A had in frame 1.
  for (int64_t k = 21; k <= 40; ++k) {
    SCOPED_TRACE(k);
    const int64_t n = k - 21;
    EXPECT_EQ(Drawing(f.frames[k]),
              Calls{Stretch("to", 400 - 20 * n, 300 - 15 * n, 40 * n, 30 * n)});
  }
  const uint32_t black = 0;
  EXPECT_EQ(run.Image(20), gdi::Bitmap::Color(800, 600, black));
  EXPECT_EQ(run.Image(21), gdi::Bitmap::Color(800, 600, black));
  // Outside B's box the black of the first half stays.
  const gdi::Bitmap& last = run.Image(40);
  EXPECT_EQ(last.Pixel(19, 14), black);
  EXPECT_EQ(SourceOf(last.Pixel(20, 15)), Source::To);
  EXPECT_EQ(last.Pixel(780, 585), black);
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(ZoomEffects, ThroughCentreAt1024PassesNegativeSizesInBothHalves) {
  EffectRun run(1024, 768);
  run.Run(25);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 41u);
  EXPECT_EQ(Drawing(f.frames[20]), (Calls{FillBoxCall(-1, -1, 1024, 768, 0),
                                          Stretch("from", 520, 380, -16, 8, 1024, 768)}));
  // The corner came back from (546, 399) to (520, 380).
  EXPECT_EQ(Drawing(f.frames[21]), Calls{Stretch("to", 520, 380, -16, 8, 1024, 768)});
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(ZoomEffects, OddSizeBoxIsOneColumnAndRowShort) {
  EffectRun run(801, 601);
  run.KeepImages();
  run.Run(23);
  const Frames f = run.Split();
  // cx = R(400.5) = 400 and cy = R(300.5) = 300: the largest box is 800 x 600.
  EXPECT_EQ(Drawing(f.frames[20]), Calls{Stretch("to", 0, 0, 800, 600, 801, 601)});
  EXPECT_EQ(run.Image(20).Pixel(800, 300), PatternPixel(Source::From, 800, 300));
  EXPECT_EQ(run.Image(20).Pixel(400, 600), PatternPixel(Source::From, 400, 600));
  EXPECT_TRUE(run.TargetEqualsTo());
}

}  // namespace
}  // namespace slidesaver::effect_test
