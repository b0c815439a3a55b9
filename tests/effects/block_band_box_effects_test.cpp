// Block, band and box transitions (3, 4, 9, 10): grids, blinds and the growing box.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

// BitBlt of the to-picture into the target.
DrawCall B(std::initializer_list<int64_t> args) { return BitBltCall("to", args); }

// First, middle and last animation frames at two common screen sizes and an odd one.
const std::vector<FrameExpectation>& BlockBandBoxFrames() {
  // clang-format off
  static const std::vector<FrameExpectation> table = {
      {3, 800, 600, 25, {
          {0, {B({483, 242, 161, 121, 483, 242})}},
          {12, {B({644, 484, 161, 121, 644, 484})}},
          {24, {B({0, 0, 161, 121, 0, 0})}},
      }},
      {3, 1024, 768, 25, {
          {0, {B({618, 310, 206, 155, 618, 310})}},
          {12, {B({824, 620, 206, 155, 824, 620})}},
          {24, {B({0, 0, 206, 155, 0, 0})}},
      }},
      {3, 637, 479, 25, {
          {0, {B({384, 194, 128, 97, 384, 194})}},
          {12, {B({512, 388, 128, 97, 512, 388})}},
          {24, {B({0, 0, 128, 97, 0, 0})}},
      }},
      {4, 800, 600, 25, {
          {0, {B({0, 0, 800, 6, 0, 0}),
                B({0, 120, 800, 6, 0, 120}),
                B({0, 240, 800, 6, 0, 240}),
                B({0, 360, 800, 6, 0, 360}),
                B({0, 480, 800, 6, 0, 480})}},
          {12, {B({0, 60, 800, 6, 0, 60}),
                B({0, 180, 800, 6, 0, 180}),
                B({0, 300, 800, 6, 0, 300}),
                B({0, 420, 800, 6, 0, 420}),
                B({0, 540, 800, 6, 0, 540})}},
          {24, {B({0, 120, 800, 6, 0, 120}),
                B({0, 240, 800, 6, 0, 240}),
                B({0, 360, 800, 6, 0, 360}),
                B({0, 480, 800, 6, 0, 480}),
                B({0, 600, 800, 6, 0, 600})}},
      }},
      {4, 1024, 768, 23, {
          {0, {B({0, 0, 1024, 8, 0, 0}),
                B({0, 154, 1024, 8, 0, 154}),
                B({0, 308, 1024, 8, 0, 308}),
                B({0, 462, 1024, 8, 0, 462}),
                B({0, 616, 1024, 8, 0, 616})}},
          {11, {B({0, 74, 1024, 8, 0, 74}),
                B({0, 228, 1024, 8, 0, 228}),
                B({0, 382, 1024, 8, 0, 382}),
                B({0, 536, 1024, 8, 0, 536}),
                B({0, 690, 1024, 8, 0, 690})}},
          {22, {B({0, 147, 1024, 8, 0, 147}),
                B({0, 301, 1024, 8, 0, 301}),
                B({0, 455, 1024, 8, 0, 455}),
                B({0, 609, 1024, 8, 0, 609}),
                B({0, 763, 1024, 8, 0, 763})}},
      }},
      {4, 637, 479, 26, {
          {0, {B({0, 0, 637, 5, 0, 0}),
                B({0, 96, 637, 5, 0, 96}),
                B({0, 192, 637, 5, 0, 192}),
                B({0, 288, 637, 5, 0, 288}),
                B({0, 384, 637, 5, 0, 384})}},
          {13, {B({0, 49, 637, 5, 0, 49}),
                B({0, 145, 637, 5, 0, 145}),
                B({0, 241, 637, 5, 0, 241}),
                B({0, 337, 637, 5, 0, 337}),
                B({0, 433, 637, 5, 0, 433})}},
          {25, {B({0, 95, 637, 5, 0, 95}),
                B({0, 191, 637, 5, 0, 191}),
                B({0, 287, 637, 5, 0, 287}),
                B({0, 383, 637, 5, 0, 383}),
                B({0, 479, 637, 5, 0, 479})}},
      }},
      {9, 800, 600, 25, {
          {0, {B({0, 0, 161, 121, 0, 0})}},
          {12, {B({0, 484, 161, 121, 0, 484})}},
          {24, {B({322, 242, 161, 121, 322, 242})}},
      }},
      {9, 1024, 768, 25, {
          {0, {B({0, 0, 206, 155, 0, 0})}},
          {12, {B({0, 620, 206, 155, 0, 620})}},
          {24, {B({412, 310, 206, 155, 412, 310})}},
      }},
      {9, 637, 479, 25, {
          {0, {B({0, 0, 128, 97, 0, 0})}},
          {12, {B({0, 388, 128, 97, 0, 388})}},
          {24, {B({256, 194, 128, 97, 256, 194})}},
      }},
      {10, 800, 600, 20, {
          {0, {B({400, 300, 0, 0, 400, 300})}},
          {10, {B({200, 150, 400, 300, 200, 150})}},
          {19, {B({20, 15, 760, 570, 20, 15})}},
      }},
      {10, 1024, 768, 20, {
          {0, {B({512, 384, 0, 0, 512, 384})}},
          {10, {B({252, 194, 520, 380, 252, 194})}},
          {19, {B({18, 23, 988, 722, 18, 23})}},
      }},
      {10, 637, 479, 20, {
          {0, {B({318, 240, 0, 0, 318, 240})}},
          {10, {B({158, 120, 320, 240, 158, 120})}},
          {19, {B({14, 12, 608, 456, 14, 12})}},
      }},
  };
  // clang-format on
  return table;
}

TEST(BlockBandBoxEffects, FramesAtCommonAndOddSizes) {
  for (const auto& expected : BlockBandBoxFrames()) EXPECT_TRUE(RunsAsExpected(expected, false));
}

// The (column, row) cells that the grid effects uncovered, frame by frame.
std::vector<std::pair<int64_t, int64_t>> UncoveredCells(int32_t effect, int32_t w, int32_t h,
                                                        int64_t bw, int64_t bh) {
  EffectRun run(w, h);
  run.Run(effect);
  std::vector<std::pair<int64_t, int64_t>> cells;
  for (const auto& frame : run.Split().frames) {
    const auto drawn = Drawing(frame);
    EXPECT_EQ(drawn.size(), 1u);
    const auto& a = drawn.at(0).args;
    EXPECT_EQ(drawn.at(0).source, "to");
    EXPECT_THAT(a, ::testing::ElementsAre(a[0], a[1], bw, bh, a[0], a[1]));  // in place
    EXPECT_EQ(a[0] % bw, 0);
    EXPECT_EQ(a[1] % bh, 0);
    cells.emplace_back(a[0] / bw, a[1] / bh);
  }
  EXPECT_TRUE(run.TargetEqualsTo());
  return cells;
}

TEST(BlockBandBoxEffects, RandomBlocksUncoverEveryCellExactlyOnce) {
  for (auto [w, h, bw, bh] : {std::tuple{800, 600, 161, 121}, std::tuple{1024, 768, 206, 155},
                              std::tuple{637, 479, 128, 97}}) {
    const auto cells = UncoveredCells(3, w, h, bw, bh);
    ASSERT_EQ(cells.size(), 25u);
    const std::set<std::pair<int64_t, int64_t>> distinct(cells.begin(), cells.end());
    EXPECT_EQ(distinct.size(), 25u);
    for (auto [column, row] : distinct) {
      EXPECT_TRUE(column >= 0 && column < 5 && row >= 0 && row < 5);
    }
  }
}

TEST(BlockBandBoxEffects, RandomBlocksFollowTheNeverSeededSequence) {
  // Column then row from successive draws: 0.7055 -> 3, 0.5334 -> 2, 0.5795 -> 2, 0.2896 -> 1.
  const auto cells = UncoveredCells(3, 800, 600, 161, 121);
  EXPECT_EQ(cells[0], (std::pair<int64_t, int64_t>{3, 2}));
  EXPECT_EQ(cells[1], (std::pair<int64_t, int64_t>{2, 1}));
  // A second transition goes on with the same generator, not from its start.
  EffectRun run(800, 600);
  run.Run(3);
  const auto first = run.Split().frames;
  run.log.Clear();
  run.Run(3);
  EXPECT_NE(Drawing(run.Split().frames.at(0)), Drawing(first.at(0)));
}

TEST(BlockBandBoxEffects, SpiralGoesClockwiseInwardEndingAtTheCentre) {
  const std::vector<std::pair<int64_t, int64_t>> spiral = {
      {0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4},
      {3, 4}, {2, 4}, {1, 4}, {0, 4}, {0, 3}, {0, 2}, {0, 1}, {1, 1}, {2, 1},
      {3, 1}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {2, 2}};
  EXPECT_EQ(UncoveredCells(9, 800, 600, 161, 121), spiral);
  EXPECT_EQ(UncoveredCells(9, 1024, 768, 206, 155), spiral);
}

TEST(BlockBandBoxEffects, LastGridBlockReachesPastTheEdges) {
  // Cell (4, 4) at 800 x 600: from (644, 484), 161 x 121, five pixels beyond both edges.
  EffectRun run(800, 600);
  run.Run(9);
  EXPECT_EQ(Drawing(run.Split().frames.at(8)),
            (std::vector{BitBltCall("to", {644, 484, 161, 121, 644, 484})}));
}

TEST(BlockBandBoxEffects, BlindsOverlapTheirPreviousStripAndFillTheBands) {
  EffectRun run(16, 600);
  run.KeepImages();
  run.Run(4);
  ASSERT_EQ(run.Refreshes(), 25u);
  // Before the final copy every row of the five bands shows B.
  for (int32_t y = 0; y < 600; ++y) {
    EXPECT_EQ(OriginOf(run.Image(24).Pixel(3, y)), (Origin{Source::To, 3, y})) << "row " << y;
  }
  // After frame 0 only the first 6 rows of each band show B.
  EXPECT_EQ(OriginOf(run.Image(0).Pixel(3, 125)), (Origin{Source::To, 3, 125}));
  EXPECT_EQ(OriginOf(run.Image(0).Pixel(3, 126)), (Origin{Source::From, 3, 126}));
}

TEST(BlockBandBoxEffects, BlindsOnLowTargetsStepOneRowAndFillEveryBand) {
  // Under 103 rows the nominal step band / 20 - 1 is not positive: strips of at least one row
  // advance one row per frame.
  // (height, band, frames): rows 0 to 5 x band show B before the final copy (a band rounded
  // down leaves the rows below for the final copy).
  for (auto [h, band, frames] :
       {std::tuple{102, 20, 21}, std::tuple{100, 20, 21}, std::tuple{60, 12, 13},
        std::tuple{52, 10, 11}, std::tuple{20, 4, 5}, std::tuple{4, 1, 2}, std::tuple{1, 0, 1},
        std::tuple{0, 0, 1}}) {
    EffectRun run(8, h);
    run.KeepImages();
    run.Run(4);
    const auto split = run.Split();
    ASSERT_EQ(split.frames.size(), static_cast<size_t>(frames)) << "height " << h;
    for (const auto& call : Drawing(split.frames[0])) EXPECT_GE(call.args[3], 1) << h;
    for (int32_t y = 0; y < h && y <= 5 * band; ++y) {
      EXPECT_EQ(OriginOf(run.Image(run.Refreshes() - 1).Pixel(0, y)).source, Source::To)
          << "height " << h << " row " << y;
    }
    EXPECT_TRUE(run.TargetEqualsTo());
  }
  // 103 rows: band 21, a positive step of single(0.05) as given, 421 frames.
  EffectRun run(8, 103);
  run.Run(4);
  EXPECT_EQ(run.Split().frames.size(), 421u);
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(BlockBandBoxEffects, BoxGrowsFromTheCentreByRoundedSteps) {
  EffectRun run(800, 600);
  run.Run(10);
  const auto frames = run.Split().frames;
  ASSERT_EQ(frames.size(), 20u);
  for (int64_t k = 0; k < 20; ++k) {
    const int64_t x = 400 - 20 * k, y = 300 - 15 * k;
    EXPECT_EQ(Drawing(frames[k]),
              (std::vector{BitBltCall("to", {x, y, 800 - 2 * x, 600 - 2 * y, x, y})}));
  }
}

}  // namespace
}  // namespace slidesaver::effect_test
