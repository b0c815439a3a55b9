// Roll (29) and random strips (34, 35): plain copies of the to-picture only.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "effects/effect_module.h"
#include "tests/effects/effect_test_support.h"

namespace slidesaver::effect_test {
namespace {

using Calls = std::vector<DrawCall>;

TEST(RollUp, RollsTheToPictureAndLeavesTheBottomRowToTheLastFrame) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(29);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 20u);
  // Frame 0: B in place but for its bottom row; the second copy is 0 rows high.
  EXPECT_EQ(Drawing(f.frames[0]), (Calls{BitBltCall("to", {0, 0, 800, 599, 0, 0}),
                                         BitBltCall("to", {0, 599, 800, 0, 0, 0})}));
  // c = 569.05011: B from its row 569 at the top, its top 569 rows below that.
  EXPECT_EQ(Drawing(f.frames[19]), (Calls{BitBltCall("to", {0, 0, 800, 30, 0, 569}),
                                          BitBltCall("to", {0, 30, 800, 569, 0, 0})}));
  // The bottom row is left alone but in frame 10, where c is exactly 299.5: both copies then
  // round up to 300 rows, and the second one reaches the bottom row with B's row 299. Either
  // way B's own bottom row arrives there only with the last frame.
  EXPECT_EQ(Drawing(f.frames[10]), (Calls{BitBltCall("to", {0, 0, 800, 300, 0, 300}),
                                          BitBltCall("to", {0, 300, 800, 300, 0, 0})}));
  for (size_t k = 0; k < run.Refreshes(); ++k) {
    SCOPED_TRACE(k);
    const uint32_t bottom = run.Image(k).Pixel(123, 599);
    ASSERT_EQ(bottom,
              k < 10 ? PatternPixel(Source::From, 123, 599) : PatternPixel(Source::To, 123, 299));
  }
  EXPECT_EQ(run.Image(0).Pixel(123, 598), PatternPixel(Source::To, 123, 598));
  const gdi::Bitmap& rolled = run.Image(1);  // c = 29.95: shifted up by 30 rows
  EXPECT_EQ(rolled.Pixel(5, 0), PatternPixel(Source::To, 5, 30));
  EXPECT_EQ(rolled.Pixel(5, 568), PatternPixel(Source::To, 5, 598));
  EXPECT_EQ(rolled.Pixel(5, 569), PatternPixel(Source::To, 5, 0));
  EXPECT_EQ(rolled.Pixel(5, 598), PatternPixel(Source::To, 5, 29));
  EXPECT_TRUE(run.TargetEqualsTo());
}

TEST(RollUp, At768TheLastFrameNearlyCompletesTheTurn) {
  EffectRun run(1024, 768);
  run.Run(29);
  const Frames f = run.Split();
  ASSERT_EQ(f.frames.size(), 21u);
  // c = 766.99988: the first copy is 0 rows high, the second all but the bottom row.
  EXPECT_EQ(Drawing(f.frames[20]), (Calls{BitBltCall("to", {0, 0, 1024, 0, 0, 767}),
                                          BitBltCall("to", {0, 0, 1024, 767, 0, 0})}));
}

// The strips drawn, in order, as indexes; each frame must copy exactly one whole strip.
std::vector<int64_t> StripOrder(const Frames& f, bool columns, int64_t strip, int64_t other) {
  std::vector<int64_t> order;
  for (const auto& frame : f.frames) {
    const Calls calls = Drawing(frame);
    EXPECT_EQ(calls.size(), 1u);
    if (calls.size() != 1) continue;
    const auto& a = calls[0].args;
    const int64_t at = columns ? a[0] : a[1];
    EXPECT_EQ(at % strip, 0);
    order.push_back(at / strip);
    const auto expected = columns ? BitBltCall("to", {at, 0, strip, other, at, 0})
                                  : BitBltCall("to", {0, at, other, strip, 0, at});
    EXPECT_EQ(calls[0], expected);
  }
  return order;
}

std::set<int64_t> AllStrips() {
  std::set<int64_t> all;
  for (int64_t m = 0; m < 25; ++m) all.insert(m);
  return all;
}

TEST(RandomStrips, ColumnsCoverEveryStripOnceAt800And1024) {
  for (auto [width, strip] : {std::pair{800, 33}, std::pair{1024, 42}}) {
    SCOPED_TRACE(width);
    EffectRun run(width, 768);
    run.Run(34);
    const std::vector<int64_t> order = StripOrder(run.Split(), true, strip, 768);
    ASSERT_EQ(order.size(), 25u);
    EXPECT_EQ(std::set<int64_t>(order.begin(), order.end()), AllStrips());
    EXPECT_TRUE(run.TargetEqualsTo());
  }
}

TEST(RandomStrips, RowsCoverEveryStripOnceAndStrip24LiesBelow600Rows) {
  EffectRun run(800, 600);
  run.KeepImages();
  run.Run(35);
  const std::vector<int64_t> order = StripOrder(run.Split(), false, 25, 800);
  ASSERT_EQ(order.size(), 25u);
  EXPECT_EQ(std::set<int64_t>(order.begin(), order.end()), AllStrips());
  // Strips 0 to 23 cover all 600 rows; strip 24 (rows 600 to 624) changes nothing visible.
  size_t k = 0;
  while (order[k] != 24) ++k;
  const gdi::Bitmap& before = k == 0 ? Pattern(Source::From, 800, 600) : run.Image(k - 1);
  EXPECT_EQ(run.Image(k), before);
  EXPECT_EQ(run.Image(24), Pattern(Source::To, 800, 600));
}

TEST(RandomStrips, OddSizeStripsReachPastTheEdge) {
  EffectRun run(801, 601);
  run.KeepImages();
  run.Run(34);
  // R(801 / 25 + 1) = R(33.04) = 33: strip 24 starts at 792 and is cut after 9 columns.
  const std::vector<int64_t> order = StripOrder(run.Split(), true, 33, 601);
  EXPECT_EQ(std::set<int64_t>(order.begin(), order.end()), AllStrips());
  EXPECT_EQ(run.Image(24), Pattern(Source::To, 801, 601));
}

// The generator is never seeded and is shared by the whole process: the same sequence of
// transitions gives the same orders in every run, and a second transition goes on with the
// sequence instead of repeating the first one's order.
TEST(RandomStrips, OrdersFollowTheProcessGenerator) {
  auto orders_of_two_runs = [] {
    Random random;
    std::vector<std::vector<int64_t>> orders;
    for (int32_t effect : {34, 35}) {
      EffectRun run(800, 600);
      run.random = random;
      run.Run(effect);
      random = run.random;
      orders.push_back(
          StripOrder(run.Split(), effect == 34, effect == 34 ? 33 : 25, effect == 34 ? 600 : 800));
    }
    return orders;
  };
  const auto first = orders_of_two_runs();
  EXPECT_EQ(first, orders_of_two_runs());
  EXPECT_NE(first[0], first[1]);
}

}  // namespace
}  // namespace slidesaver::effect_test
