// Split and slide transitions (1, 2, 5-8): the blits of their frames and what they show.
#include <gtest/gtest.h>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

// BitBlt of the from-picture (A) and the to-picture (B) into the target.
DrawCall A(std::initializer_list<int64_t> args) { return BitBltCall("from", args); }
DrawCall B(std::initializer_list<int64_t> args) { return BitBltCall("to", args); }

// First, middle and last animation frames at two common screen sizes and an odd one.
const std::vector<FrameExpectation>& SplitSlideFrames() {
  // clang-format off
  static const std::vector<FrameExpectation> table = {
      {1, 800, 600, 21, {
          {0, {A({0, 0, 400, 600, 0, 0}),
                A({400, 0, 400, 600, 400, 0}),
                B({400, 0, 0, 600, 400, 0})}},
          {10, {A({0, 0, 200, 600, 200, 0}),
                A({600, 0, 200, 600, 400, 0}),
                B({200, 0, 400, 600, 200, 0})}},
          {20, {A({0, 0, 0, 600, 400, 0}), A({800, 0, 0, 600, 400, 0}), B({0, 0, 800, 600, 0, 0})}},
      }},
      {1, 1024, 768, 20, {
          {0, {A({0, 0, 512, 768, 0, 0}),
                A({512, 0, 512, 768, 512, 0}),
                B({512, 0, 0, 768, 512, 0})}},
          {10, {A({0, 0, 256, 768, 256, 0}),
                A({768, 0, 256, 768, 512, 0}),
                B({256, 0, 512, 768, 256, 0})}},
          {19, {A({0, 0, 26, 768, 486, 0}),
                A({998, 0, 26, 768, 512, 0}),
                B({26, 0, 973, 768, 26, 0})}},
      }},
      {1, 637, 479, 21, {
          {0, {A({0, 0, 318, 479, 0, 0}),
                A({318, 0, 318, 479, 318, 0}),
                B({318, 0, 0, 479, 318, 0})}},
          {10, {A({0, 0, 159, 479, 159, 0}),
                A({477, 0, 159, 479, 318, 0}),
                B({159, 0, 318, 479, 159, 0})}},
          {20, {A({0, 0, 0, 479, 318, 0}), A({636, 0, 0, 479, 318, 0}), B({0, 0, 636, 479, 0, 0})}},
      }},
      {2, 800, 600, 21, {
          {0, {A({0, 0, 800, 300, 0, 0}),
                A({0, 300, 800, 300, 0, 300}),
                B({0, 300, 800, 0, 0, 300})}},
          {10, {A({0, 0, 800, 150, 0, 150}),
                A({0, 450, 800, 150, 0, 300}),
                B({0, 150, 800, 300, 0, 150})}},
          {20, {A({0, 0, 800, 0, 0, 300}), A({0, 600, 800, 0, 0, 300}), B({0, 0, 800, 600, 0, 0})}},
      }},
      {2, 1024, 768, 20, {
          {0, {A({0, 0, 1024, 384, 0, 0}),
                A({0, 384, 1024, 384, 0, 384}),
                B({0, 384, 1024, 0, 0, 384})}},
          {10, {A({0, 0, 1024, 192, 0, 192}),
                A({0, 576, 1024, 192, 0, 384}),
                B({0, 192, 1024, 384, 0, 192})}},
          {19, {A({0, 0, 1024, 19, 0, 365}),
                A({0, 749, 1024, 19, 0, 384}),
                B({0, 19, 1024, 730, 0, 19})}},
      }},
      {2, 637, 479, 21, {
          {0, {A({0, 0, 637, 240, 0, 0}),
                A({0, 240, 637, 240, 0, 240}),
                B({0, 240, 637, 0, 0, 240})}},
          {10, {A({0, 0, 637, 120, 0, 120}),
                A({0, 360, 637, 120, 0, 240}),
                B({0, 120, 637, 240, 0, 120})}},
          {20, {A({0, 0, 637, 0, 0, 240}), A({0, 480, 637, 0, 0, 240}), B({0, 0, 637, 480, 0, 0})}},
      }},
      {5, 800, 600, 21, {
          {0, {B({0, 0, 1, 600, 800, 0})}},
          {10, {B({0, 0, 401, 600, 400, 0})}},
          {20, {B({0, 0, 801, 600, 0, 0})}},
      }},
      {5, 1024, 768, 20, {
          {0, {B({0, 0, 1, 768, 1024, 0})}},
          {10, {B({0, 0, 513, 768, 512, 0})}},
          {19, {B({0, 0, 974, 768, 51, 0})}},
      }},
      {5, 637, 479, 21, {
          {0, {B({0, 0, 1, 479, 637, 0})}},
          {10, {B({0, 0, 320, 479, 318, 0})}},
          {20, {B({0, 0, 638, 479, 0, 0})}},
      }},
      {6, 800, 600, 20, {
          {0, {B({800, 0, 0, 600, 0, 0})}},
          {10, {B({400, 0, 400, 600, 0, 0})}},
          {19, {B({41, 0, 759, 600, 0, 0})}},
      }},
      {6, 1024, 768, 20, {
          {0, {B({1024, 0, 0, 768, 0, 0})}},
          {10, {B({513, 0, 511, 768, 0, 0})}},
          {19, {B({52, 0, 972, 768, 0, 0})}},
      }},
      {6, 637, 479, 21, {
          {0, {B({637, 0, 0, 479, 0, 0})}},
          {10, {B({319, 0, 318, 479, 0, 0})}},
          {20, {B({1, 0, 636, 479, 0, 0})}},
      }},
      {7, 800, 600, 21, {
          {0, {B({0, 0, 800, 1, 0, 600})}},
          {10, {B({0, 0, 800, 301, 0, 300})}},
          {20, {B({0, 0, 800, 601, 0, 0})}},
      }},
      {7, 1024, 768, 20, {
          {0, {B({0, 0, 1024, 1, 0, 768})}},
          {10, {B({0, 0, 1024, 385, 0, 384})}},
          {19, {B({0, 0, 1024, 731, 0, 38})}},
      }},
      {7, 637, 479, 20, {
          {0, {B({0, 0, 637, 1, 0, 479})}},
          {10, {B({0, 0, 637, 240, 0, 240})}},
          {19, {B({0, 0, 637, 456, 0, 24})}},
      }},
      {8, 800, 600, 20, {
          {0, {B({0, 599, 800, 0, 0, 0})}},
          {10, {B({0, 300, 800, 300, 0, 0})}},
          {19, {B({0, 30, 800, 569, 0, 0})}},
      }},
      {8, 1024, 768, 21, {
          {0, {B({0, 767, 1024, 0, 0, 0})}},
          {10, {B({0, 383, 1024, 384, 0, 0})}},
          {20, {B({0, 0, 1024, 767, 0, 0})}},
      }},
      {8, 637, 479, 21, {
          {0, {B({0, 478, 637, 0, 0, 0})}},
          {10, {B({0, 239, 637, 239, 0, 0})}},
          {20, {B({0, 0, 637, 478, 0, 0})}},
      }},
  };
  // clang-format on
  return table;
}

TEST(SplitSlideEffects, FramesAtCommonAndOddSizes) {
  for (const auto& expected : SplitSlideFrames()) EXPECT_TRUE(RunsAsExpected(expected, false));
}

// Runs an effect keeping the image of every refresh.
struct Filmed {
  Filmed(int32_t effect, int32_t w, int32_t h) : run(w, h) {
    run.KeepImages();
    run.Run(effect);
  }
  Origin At(size_t frame, int32_t x, int32_t y) const {
    return OriginOf(run.Image(frame).Pixel(x, y));
  }
  EffectRun run;
};

TEST(SplitSlideEffects, SplitMovesTheHalvesOfAApartAndShowsBInPlace) {
  Filmed film(1, 800, 600);  // frame 10: c = 200
  EXPECT_EQ(film.At(10, 0, 7), (Origin{Source::From, 200, 7}));
  EXPECT_EQ(film.At(10, 199, 7), (Origin{Source::From, 399, 7}));
  EXPECT_EQ(film.At(10, 200, 7), (Origin{Source::To, 200, 7}));
  EXPECT_EQ(film.At(10, 599, 7), (Origin{Source::To, 599, 7}));
  EXPECT_EQ(film.At(10, 600, 7), (Origin{Source::From, 400, 7}));
  EXPECT_EQ(film.At(10, 799, 7), (Origin{Source::From, 599, 7}));
  Filmed upright(2, 800, 600);  // frame 10: c = 150
  EXPECT_EQ(upright.At(10, 5, 0), (Origin{Source::From, 5, 150}));
  EXPECT_EQ(upright.At(10, 5, 150), (Origin{Source::To, 5, 150}));
  EXPECT_EQ(upright.At(10, 5, 450), (Origin{Source::From, 5, 300}));
}

TEST(SplitSlideEffects, OddWidthKeepsTheLastColumnOfAUntilTheFinalCopy) {
  // half = R(400.5) = 400: the halves cover 800 columns, column 800 is never moved.
  Filmed film(1, 801, 40);
  ASSERT_EQ(film.run.Refreshes(), 21u);
  for (size_t i = 0; i < film.run.Refreshes(); ++i) {
    EXPECT_EQ(film.At(i, 800, 3), (Origin{Source::From, 800, 3})) << "frame " << i;
  }
  EXPECT_TRUE(film.run.TargetEqualsTo());
}

TEST(SplitSlideEffects, SlidesShowTheFarEdgeOfBFirst) {
  Filmed left(5, 800, 600);  // frame 5: c = 200, 201 columns from column 600 of B
  EXPECT_EQ(left.At(5, 0, 9), (Origin{Source::To, 600, 9}));
  EXPECT_EQ(left.At(5, 199, 9), (Origin{Source::To, 799, 9}));
  EXPECT_EQ(left.At(5, 201, 9), (Origin{Source::From, 201, 9}));
  Filmed top(7, 800, 600);  // frame 5: c = 150
  EXPECT_EQ(top.At(5, 9, 0), (Origin{Source::To, 9, 450}));
  EXPECT_EQ(top.At(5, 9, 149), (Origin{Source::To, 9, 599}));
  EXPECT_EQ(top.At(5, 9, 151), (Origin{Source::From, 9, 151}));
  Filmed right(6, 800, 600);
  EXPECT_EQ(right.At(19, 41, 9), (Origin{Source::To, 0, 9}));  // 759 columns at 41
  EXPECT_EQ(right.At(19, 40, 9), (Origin{Source::From, 40, 9}));
}

TEST(SplitSlideEffects, SourceBeyondTheToPictureLeavesTheTargetUnchanged) {
  // The first frames of 5 and 7 read column W (row H) of B, outside the picture.
  Filmed left(5, 800, 600);
  EXPECT_EQ(left.At(0, 0, 9), (Origin{Source::From, 0, 9}));
  Filmed top(7, 800, 600);
  EXPECT_EQ(top.At(0, 9, 0), (Origin{Source::From, 9, 0}));
  EXPECT_TRUE(left.run.TargetEqualsTo());
  EXPECT_TRUE(top.run.TargetEqualsTo());
}

TEST(SplitSlideEffects, SlideFromBottomKeepsTheBottomRowOfAUntilTheFinalCopy) {
  Filmed film(8, 64, 768);
  ASSERT_EQ(film.run.Refreshes(), 21u);
  for (size_t i = 0; i < film.run.Refreshes(); ++i) {
    EXPECT_EQ(film.At(i, 10, 767), (Origin{Source::From, 10, 767})) << "frame " << i;
  }
  // Frame 20: c = 766.99988, the top 767 rows of B from row 0.
  EXPECT_EQ(film.At(20, 10, 0), (Origin{Source::To, 10, 0}));
  EXPECT_EQ(film.At(20, 10, 766), (Origin{Source::To, 10, 766}));
  EXPECT_TRUE(film.run.TargetEqualsTo());
}

TEST(SplitSlideEffects, TinyTargetsEndWithoutHanging) {
  for (int32_t effect : {1, 2, 5, 6, 7, 8}) {
    for (auto [w, h] : {std::pair{1, 1}, std::pair{2, 1}, std::pair{1, 3}, std::pair{0, 0}}) {
      EffectRun run(w, h);
      run.Run(effect);
      EXPECT_LE(run.Split().frames.size(), 21u) << effect << " at " << w << "x" << h;
      EXPECT_TRUE(run.TargetEqualsTo()) << effect << " at " << w << "x" << h;
    }
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
