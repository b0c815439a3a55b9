// Edge squeeze transitions (15-18): both pictures stretched whole, the band of B growing.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

// StretchBlt of the from-picture (SA) and the to-picture (SB) into the target.
DrawCall SA(std::initializer_list<int64_t> args) { return StretchBltCall("from", args); }
DrawCall SB(std::initializer_list<int64_t> args) { return StretchBltCall("to", args); }

// First, middle and last animation frames at two common screen sizes and an odd one.
const std::vector<FrameExpectation>& SqueezeFrames() {
  // clang-format off
  static const std::vector<FrameExpectation> table = {
      {15, 800, 600, 21, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600}), SB({0, 0, 0, 600, 0, 0, 800, 600})}},
          {10, {SA({400, 0, 400, 600, 0, 0, 800, 600}), SB({0, 0, 400, 600, 0, 0, 800, 600})}},
          {20, {SA({800, 0, 0, 600, 0, 0, 800, 600}), SB({0, 0, 800, 600, 0, 0, 800, 600})}},
      }},
      {15, 1024, 768, 21, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768}), SB({0, 0, 0, 768, 0, 0, 1024, 768})}},
          {10, {SA({510, 0, 514, 768, 0, 0, 1024, 768}), SB({0, 0, 510, 768, 0, 0, 1024, 768})}},
          {20, {SA({1020, 0, 4, 768, 0, 0, 1024, 768}), SB({0, 0, 1020, 768, 0, 0, 1024, 768})}},
      }},
      {15, 637, 479, 21, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479}), SB({0, 0, 0, 479, 0, 0, 637, 479})}},
          {10, {SA({320, 0, 317, 479, 0, 0, 637, 479}), SB({0, 0, 320, 479, 0, 0, 637, 479})}},
          {20, {SA({640, 0, -3, 479, 0, 0, 637, 479}), SB({0, 0, 640, 479, 0, 0, 637, 479})}},
      }},
      {16, 800, 600, 21, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600}), SB({0, 0, 800, 0, 0, 0, 800, 600})}},
          {10, {SA({0, 300, 800, 300, 0, 0, 800, 600}), SB({0, 0, 800, 300, 0, 0, 800, 600})}},
          {20, {SA({0, 600, 800, 0, 0, 0, 800, 600}), SB({0, 0, 800, 600, 0, 0, 800, 600})}},
      }},
      {16, 1024, 768, 21, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768}), SB({0, 0, 1024, 0, 0, 0, 1024, 768})}},
          {10, {SA({0, 380, 1024, 388, 0, 0, 1024, 768}), SB({0, 0, 1024, 380, 0, 0, 1024, 768})}},
          {20, {SA({0, 760, 1024, 8, 0, 0, 1024, 768}), SB({0, 0, 1024, 760, 0, 0, 1024, 768})}},
      }},
      {16, 637, 479, 21, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479}), SB({0, 0, 637, 0, 0, 0, 637, 479})}},
          {10, {SA({0, 240, 637, 239, 0, 0, 637, 479}), SB({0, 0, 637, 240, 0, 0, 637, 479})}},
          {20, {SA({0, 480, 637, -1, 0, 0, 637, 479}), SB({0, 0, 637, 480, 0, 0, 637, 479})}},
      }},
      {17, 800, 600, 21, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600}), SB({800, 0, 0, 600, 0, 0, 800, 600})}},
          {10, {SA({0, 0, 400, 600, 0, 0, 800, 600}), SB({400, 0, 400, 600, 0, 0, 800, 600})}},
          {20, {SA({0, 0, 0, 600, 0, 0, 800, 600}), SB({0, 0, 800, 600, 0, 0, 800, 600})}},
      }},
      {17, 1024, 768, 21, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768}), SB({1024, 0, 0, 768, 0, 0, 1024, 768})}},
          {10, {SA({0, 0, 514, 768, 0, 0, 1024, 768}), SB({514, 0, 510, 768, 0, 0, 1024, 768})}},
          {20, {SA({0, 0, 4, 768, 0, 0, 1024, 768}), SB({4, 0, 1020, 768, 0, 0, 1024, 768})}},
      }},
      {17, 637, 479, 21, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479}), SB({637, 0, 0, 479, 0, 0, 637, 479})}},
          {10, {SA({0, 0, 317, 479, 0, 0, 637, 479}), SB({317, 0, 320, 479, 0, 0, 637, 479})}},
          {20, {SA({0, 0, -3, 479, 0, 0, 637, 479}), SB({-3, 0, 640, 479, 0, 0, 637, 479})}},
      }},
      {18, 800, 600, 21, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600}), SB({0, 600, 800, 0, 0, 0, 800, 600})}},
          {10, {SA({0, 0, 800, 300, 0, 0, 800, 600}), SB({0, 300, 800, 300, 0, 0, 800, 600})}},
          {20, {SA({0, 0, 800, 0, 0, 0, 800, 600}), SB({0, 0, 800, 600, 0, 0, 800, 600})}},
      }},
      {18, 1024, 768, 21, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768}), SB({0, 768, 1024, 0, 0, 0, 1024, 768})}},
          {10, {SA({0, 0, 1024, 388, 0, 0, 1024, 768}), SB({0, 388, 1024, 380, 0, 0, 1024, 768})}},
          {20, {SA({0, 0, 1024, 8, 0, 0, 1024, 768}), SB({0, 8, 1024, 760, 0, 0, 1024, 768})}},
      }},
      {18, 637, 479, 21, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479}), SB({0, 479, 637, 0, 0, 0, 637, 479})}},
          {10, {SA({0, 0, 637, 239, 0, 0, 637, 479}), SB({0, 239, 637, 240, 0, 0, 637, 479})}},
          {20, {SA({0, 0, 637, -1, 0, 0, 637, 479}), SB({0, -1, 637, 480, 0, 0, 637, 479})}},
      }},
  };
  // clang-format on
  return table;
}

TEST(SqueezeEffects, FramesAtCommonAndOddSizes) {
  for (const auto& expected : SqueezeFrames()) EXPECT_TRUE(RunsAsExpected(expected, true));
}

// The band size of every frame: the extent of B's stretch.
std::vector<int64_t> Bands(int32_t effect, int32_t w, int32_t h) {
  EffectRun run(w, h);
  run.Run(effect);
  const bool across = effect == 15 || effect == 17;
  std::vector<int64_t> bands;
  for (const auto& frame : run.Split().frames) {
    const auto drawn = Drawing(frame);
    EXPECT_EQ(drawn.size(), 2u);
    bands.push_back(drawn.at(1).args[across ? 2 : 3]);
  }
  return bands;
}

TEST(SqueezeEffects, BandGrowsByRoundedSteps) {
  std::vector<int64_t> by40, by51, by38;
  for (int64_t k = 0; k <= 20; ++k) {
    by40.push_back(40 * k);
    by51.push_back(51 * k);
    by38.push_back(38 * k);
  }
  EXPECT_EQ(Bands(15, 800, 600), by40);
  EXPECT_EQ(Bands(17, 1024, 768), by51);  // single(51.2): 1020 in frame 20
  EXPECT_EQ(Bands(16, 1024, 768), by38);  // single(38.4): 760 in frame 20
  EXPECT_EQ(Bands(18, 1024, 768), by38);
}

TEST(SqueezeEffects, PicturesAreSqueezedWholeIntoTheirBands) {
  EffectRun run(800, 16);
  run.KeepImages();
  run.Run(15);
  ASSERT_EQ(run.Refreshes(), 22u);  // 21 animation frames and the refreshed last frame
  // Frame 0 leaves A as it was; frame 10 halves both pictures; frame 20 shows B whole.
  EXPECT_EQ(run.Image(0), run.from.Image());
  // Each half holds a whole picture: its left edge near column 0, its right edge near 799.
  for (auto [x, source, near] :
       {std::tuple{0, Source::To, 0}, std::tuple{399, Source::To, 799},
        std::tuple{400, Source::From, 0}, std::tuple{799, Source::From, 799}}) {
    const Origin o = OriginOf(run.Image(10).Pixel(x, 5));
    EXPECT_EQ(o.source, source) << x;
    EXPECT_NEAR(o.x, near, 2) << x;
    EXPECT_EQ(o.y, 5);
  }
  EXPECT_EQ(run.Image(20), run.to.Image());
}

TEST(SqueezeEffects, BandEntersFromItsOwnEdge) {
  struct Case {
    int32_t effect;
    int32_t x, y;  // a pixel inside B's band in frame 5 (band 200 columns or 150 rows)
  };
  for (auto c : {Case{15, 10, 300}, Case{16, 400, 10}, Case{17, 790, 300}, Case{18, 400, 590}}) {
    EffectRun run(800, 600);
    run.KeepImages();
    run.Run(c.effect);
    EXPECT_EQ(OriginOf(run.Image(5).Pixel(c.x, c.y)).source, Source::To) << c.effect;
    EXPECT_EQ(OriginOf(run.Image(5).Pixel(800 - c.x, 600 - c.y)).source, Source::From) << c.effect;
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
