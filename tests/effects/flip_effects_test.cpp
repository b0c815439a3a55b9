// Flip transitions (11-14): stretched bands that narrow and widen, clearing and mirroring.
#include <gtest/gtest.h>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

// StretchBlt (SA, SB) of the from- and to-picture into the target, and the clearing to black.
DrawCall SA(std::initializer_list<int64_t> args) { return StretchBltCall("from", args); }
DrawCall SB(std::initializer_list<int64_t> args) { return StretchBltCall("to", args); }
DrawCall Clear(int64_t w, int64_t h) { return FillBoxCall(-1, -1, w, h, 0); }

// First, middle and last animation frames at two common screen sizes and an odd one.
const std::vector<FrameExpectation>& FlipFrames() {
  // clang-format off
  static const std::vector<FrameExpectation> table = {
      {11, 800, 600, 20, {
          {0, {Clear(800, 600), SA({0, 0, 800, 600, 0, 0, 800, 600})}},
          {10, {Clear(800, 600), SA({400, 0, 0, 600, 0, 0, 800, 600})}},
          {19, {SB({80, 0, 640, 600, 0, 0, 800, 600})}},
      }},
      {11, 1024, 768, 20, {
          {0, {Clear(1024, 768), SA({0, 0, 1024, 768, 0, 0, 1024, 768})}},
          {10, {Clear(1024, 768), SA({510, 0, 4, 768, 0, 0, 1024, 768})}},
          {19, {SB({102, 0, 820, 768, 0, 0, 1024, 768})}},
      }},
      {11, 637, 479, 20, {
          {0, {Clear(637, 479), SA({0, 0, 637, 479, 0, 0, 637, 479})}},
          {10, {Clear(637, 479), SA({320, 0, -3, 479, 0, 0, 637, 479})}},
          {19, {SB({64, 0, 509, 479, 0, 0, 637, 479})}},
      }},
      {12, 800, 600, 20, {
          {0, {Clear(800, 600), SA({0, 0, 800, 600, 0, 0, 800, 600})}},
          {10, {Clear(800, 600), SA({0, 300, 800, 0, 0, 0, 800, 600})}},
          {19, {SB({0, 60, 800, 480, 0, 0, 800, 600})}},
      }},
      {12, 1024, 768, 20, {
          {0, {Clear(1024, 768), SA({0, 0, 1024, 768, 0, 0, 1024, 768})}},
          {10, {Clear(1024, 768), SA({0, 380, 1024, 8, 0, 0, 1024, 768})}},
          {19, {SB({0, 76, 1024, 616, 0, 0, 1024, 768})}},
      }},
      {12, 637, 479, 20, {
          {0, {Clear(637, 479), SA({0, 0, 637, 479, 0, 0, 637, 479})}},
          {10, {Clear(637, 479), SA({0, 240, 637, -1, 0, 0, 637, 479})}},
          {19, {SB({0, 48, 637, 383, 0, 0, 637, 479})}},
      }},
      {13, 800, 600, 40, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600})}},
          {20, {SA({80, 0, 640, 600, 0, 0, 800, 600})}},
          {39, {SB({80, 0, 640, 600, 0, 0, 800, 600})}},
      }},
      {13, 1024, 768, 40, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768})}},
          {20, {SA({102, 0, 820, 768, 0, 0, 1024, 768})}},
          {39, {SB({102, 0, 820, 768, 0, 0, 1024, 768})}},
      }},
      {13, 637, 479, 40, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479})}},
          {20, {SA({64, 0, 509, 479, 0, 0, 637, 479})}},
          {39, {SB({64, 0, 509, 479, 0, 0, 637, 479})}},
      }},
      {14, 800, 600, 40, {
          {0, {SA({0, 0, 800, 600, 0, 0, 800, 600})}},
          {20, {SA({0, 60, 800, 480, 0, 0, 800, 600})}},
          {39, {SB({0, 60, 800, 480, 0, 0, 800, 600})}},
      }},
      {14, 1024, 768, 40, {
          {0, {SA({0, 0, 1024, 768, 0, 0, 1024, 768})}},
          {20, {SA({0, 76, 1024, 616, 0, 0, 1024, 768})}},
          {39, {SB({0, 76, 1024, 616, 0, 0, 1024, 768})}},
      }},
      {14, 637, 479, 40, {
          {0, {SA({0, 0, 637, 479, 0, 0, 637, 479})}},
          {20, {SA({0, 48, 637, 383, 0, 0, 637, 479})}},
          {39, {SB({0, 48, 637, 383, 0, 0, 637, 479})}},
      }},
  };
  // clang-format on
  return table;
}

TEST(FlipEffects, FramesAtCommonAndOddSizes) {
  for (const auto& expected : FlipFrames()) EXPECT_TRUE(RunsAsExpected(expected, true));
}

// The inset of every frame's stretch (x for 11 and 13, y for 12 and 14).
std::vector<int64_t> Insets(int32_t effect, int32_t w, int32_t h) {
  EffectRun run(w, h);
  run.Run(effect);
  std::vector<int64_t> insets;
  const bool across = effect == 11 || effect == 13;
  for (const auto& frame : run.Split().frames) {
    for (const auto& call : frame) {
      if (call.name == "StretchBlt") insets.push_back(call.args[across ? 0 : 1]);
    }
  }
  return insets;
}

TEST(FlipEffects, InsetsCarryTheirRoundingFromFrameToFrame) {
  EXPECT_EQ(Insets(11, 800, 600),
            (std::vector<int64_t>{0,   40,  80,  120, 160, 200, 240, 280, 320, 360,
                                  400, 400, 360, 320, 280, 240, 200, 160, 120, 80}));
  // single(51.2): p grows by 51 and shrinks by 51 after rounding.
  EXPECT_EQ(Insets(11, 1024, 768),
            (std::vector<int64_t>{0,   51,  102, 153, 204, 255, 306, 357, 408, 459,
                                  510, 510, 459, 408, 357, 306, 255, 204, 153, 102}));
  EXPECT_EQ(Insets(12, 800, 600),
            (std::vector<int64_t>{0,   30,  60,  90,  120, 150, 180, 210, 240, 270,
                                  300, 300, 270, 240, 210, 180, 150, 120, 90,  60}));
  EXPECT_EQ(
      Insets(13, 800, 600),
      (std::vector<int64_t>{0,   40,  80,  120, 160, 200, 240, 280, 320, 360, 400, 440, 400, 360,
                            320, 280, 240, 200, 160, 120, 80,  80,  120, 160, 200, 240, 280, 320,
                            360, 400, 440, 400, 360, 320, 280, 240, 200, 160, 120, 80}));
}

TEST(FlipEffects, FlipClearsToBlackWhileANarrowsOnly) {
  for (int32_t effect : {11, 12}) {
    EffectRun run(80, 60);
    run.KeepImages();
    run.Run(effect);
    const auto frames = run.Split().frames;
    ASSERT_EQ(frames.size(), 20u);
    for (size_t k = 0; k < frames.size(); ++k) {
      const auto drawn = Drawing(frames[k]);
      if (k <= 10) {
        ASSERT_EQ(drawn.size(), 2u);
        EXPECT_EQ(drawn[0], FillBoxCall(-1, -1, 80, 60, 0));
        EXPECT_EQ(drawn[1].source, "from");
      } else {
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].source, "to");
      }
    }
    // Frames 10 and 11 have an empty band: the whole target is black.
    for (size_t k : {10, 11}) {
      const auto& image = run.Image(k);
      for (int32_t y = 0; y < 60; ++y) {
        for (int32_t x = 0; x < 80; ++x) {
          ASSERT_EQ(image.Pixel(x, y), 0u) << effect << " frame " << k << " at " << x << "," << y;
        }
      }
    }
    // Frame 5: the band of A is centred, black around it (p = 20 across, 15 over).
    const auto& frame5 = run.Image(5);
    if (effect == 11) {
      EXPECT_EQ(frame5.Pixel(19, 30), 0u);
      EXPECT_EQ(OriginOf(frame5.Pixel(20, 30)).source, Source::From);
      EXPECT_LE(OriginOf(frame5.Pixel(20, 30)).x, 1);  // the left edge of A, halved
      EXPECT_EQ(frame5.Pixel(60, 30), 0u);
    } else {
      EXPECT_EQ(frame5.Pixel(40, 14), 0u);
      EXPECT_EQ(OriginOf(frame5.Pixel(40, 15)).source, Source::From);
      EXPECT_LE(OriginOf(frame5.Pixel(40, 15)).y, 1);
      EXPECT_EQ(frame5.Pixel(40, 45), 0u);
    }
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

TEST(FlipEffects, DoubleFlipsOvershootIntoMirroredFramesAndNeverClear) {
  // 800: frames 11 and 30 at p = 440 with width -80; 1024: p = 561, width -98.
  for (auto [w, p, extent] : {std::tuple{800, 440, -80}, std::tuple{1024, 561, -98}}) {
    EffectRun run(w, 48);
    run.Run(13);
    const auto frames = run.Split().frames;
    ASSERT_EQ(frames.size(), 40u);
    EXPECT_EQ(Drawing(frames[11]),
              (std::vector{StretchBltCall("from", {p, 0, extent, 48, 0, 0, w, 48})}));
    EXPECT_EQ(Drawing(frames[30]),
              (std::vector{StretchBltCall("to", {p, 0, extent, 48, 0, 0, w, 48})}));
    for (const auto& frame : frames) {
      for (const auto& call : frame) EXPECT_NE(call.name, "FillBox");
    }
  }
  EffectRun over(64, 600);
  over.Run(14);
  EXPECT_EQ(Drawing(over.Split().frames.at(11)),
            (std::vector{StretchBltCall("from", {0, 330, 64, -60, 0, 0, 64, 600})}));
}

TEST(FlipEffects, MirroredFrameShowsThePictureReversedLeftOfTheInset) {
  EffectRun run(800, 8);
  run.KeepImages();
  run.Run(13);
  const auto& frame11 = run.Image(11);
  // The band between x = 360 and x = 440 holds A reversed: columns further right come from
  // further left in A. Beyond it the earlier, wider frame 10 (width 0) left frame 9's band.
  int32_t previous = -1;
  for (int32_t x = 362; x < 438; ++x) {
    const Origin o = OriginOf(frame11.Pixel(x, 4));
    ASSERT_EQ(o.source, Source::From) << x;
    if (previous >= 0) {
      EXPECT_LT(o.x, previous) << x;
    }
    previous = o.x;
  }
  EXPECT_EQ(OriginOf(frame11.Pixel(442, 4)).source, Source::From);  // left over, not cleared
  EXPECT_TRUE(run.TargetEqualsTo());
}

}  // namespace
}  // namespace slidesaver::effect_test
