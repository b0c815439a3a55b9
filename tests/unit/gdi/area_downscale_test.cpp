// The preview's area average against a plain model of its definition, the flat colours it must
// keep exactly, and the partial rescale that must equal a full one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "common/run_time_error.h"
#include "gdi/area_downscale.h"

namespace slidesaver::gdi {
namespace {

Bitmap Noise(int32_t width, int32_t height, uint32_t seed) {
  std::mt19937 random(seed);
  Bitmap b = Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) b.SetPixel(x, y, random() & 0xFFFFFF);
  }
  return b;
}

// The covered length of [a, a+1) by [lo, hi), in source pixels.
double Overlap(double a, double lo, double hi) {
  return std::max(0.0, std::min(a + 1, hi) - std::max(a, lo));
}

// Target pixel (tx, ty) straight from the definition: the mean of the source over the target
// pixel's footprint, each source pixel weighted by the share it covers.
uint32_t ModelPixel(const Bitmap& source, int32_t tw, int32_t th, int32_t tx, int32_t ty) {
  const double sx = double(source.Width()) / tw, sy = double(source.Height()) / th;
  const double x0 = tx * sx, x1 = (tx + 1) * sx, y0 = ty * sy, y1 = (ty + 1) * sy;
  double sum[3] = {0, 0, 0};
  for (int32_t y = int32_t(y0); y < std::min<double>(source.Height(), std::ceil(y1)); ++y) {
    for (int32_t x = int32_t(x0); x < std::min<double>(source.Width(), std::ceil(x1)); ++x) {
      const double w = Overlap(x, x0, x1) * Overlap(y, y0, y1);
      for (int c = 0; c < 3; ++c) sum[c] += w * ((source.Pixel(x, y) >> (8 * c)) & 0xFF);
    }
  }
  uint32_t rgb = 0;
  for (int c = 0; c < 3; ++c) rgb |= uint32_t(std::lround(sum[c] / (sx * sy))) << (8 * c);
  return rgb;
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int c = 0; c < 3; ++c) {
    most = std::max(most, std::abs(int((a >> (8 * c)) & 0xFF) - int((b >> (8 * c)) & 0xFF)));
  }
  return most;
}

Bitmap ScaleAll(const Bitmap& source, int32_t tw, int32_t th) {
  AreaDownscale scale(source.Width(), source.Height(), tw, th);
  Bitmap target = Bitmap::Color(tw, th);
  scale.Scale(source, {0, 0, tw, th}, target);
  return target;
}

struct Sizes {
  int32_t sw, sh, tw, th;
};

// Whole and fractional ratios, one axis kept, a single target pixel, more than 257 source rows
// per target row (the wide sums), and the preview's own 6:1.
const Sizes kSizes[] = {{8, 6, 3, 2},         {7, 5, 7, 5},          {10, 10, 5, 5},
                        {100, 1, 1, 1},       {5, 300, 2, 1},        {3, 600, 3, 7},
                        {640, 480, 320, 240}, {1024, 768, 320, 240}, {400, 300, 64, 48},
                        {120, 68, 20, 11}};

TEST(AreaDownscale, MatchesTheAreaAverageWithinOneStep) {
  for (const Sizes& s : kSizes) {
    SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.tw << "x" << s.th);
    const Bitmap source = Noise(s.sw, s.sh, uint32_t(s.sw * 31 + s.th));
    const Bitmap target = ScaleAll(source, s.tw, s.th);
    int worst = 0;
    for (int32_t y = 0; y < s.th; ++y) {
      for (int32_t x = 0; x < s.tw; ++x) {
        worst = std::max(worst,
                         ChannelDistance(target.Pixel(x, y), ModelPixel(source, s.tw, s.th, x, y)));
        EXPECT_EQ(target.Row(y)[x] & 0xFF000000u, 0u);
      }
    }
    EXPECT_LE(worst, 1);
  }
}

TEST(AreaDownscale, FlatColoursAndSharpEdgesStayExact) {
  for (const Sizes& s : kSizes) {
    for (uint32_t colour : {0x000000u, 0xFFFFFFu, 0x123456u, 0xFF0080u}) {
      const Bitmap target = ScaleAll(Bitmap::Color(s.sw, s.sh, colour), s.tw, s.th);
      EXPECT_EQ(target, Bitmap::Color(s.tw, s.th, colour)) << s.sw << "x" << s.sh;
    }
  }
  // Left half red, right half blue, at 2:1: no target pixel straddles the edge.
  Bitmap halves = Bitmap::Color(8, 4, 0xFF0000);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 4; x < 8; ++x) halves.SetPixel(x, y, 0x0000FF);
  }
  const Bitmap target = ScaleAll(halves, 4, 2);
  EXPECT_EQ(target.Pixel(1, 1), 0xFF0000u);
  EXPECT_EQ(target.Pixel(2, 0), 0x0000FFu);
  // At 8:3 the middle target pixel covers 1/3 + 1 + 1 + 1/3 … of each half: an even mix.
  EXPECT_EQ(ScaleAll(halves, 3, 1).Pixel(1, 0), 0x800080u);
}

TEST(AreaDownscale, RescalingTheChangedPartEqualsAFullRescale) {
  for (const Sizes& s : kSizes) {
    SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.tw << "x" << s.th);
    Bitmap source = Noise(s.sw, s.sh, 7);
    AreaDownscale scale(s.sw, s.sh, s.tw, s.th);
    Bitmap target = ScaleAll(source, s.tw, s.th);
    const Rect change =
        Intersect({s.sw / 3, s.sh / 4, s.sw / 3 + 2, s.sh / 4 + 3}, {0, 0, s.sw, s.sh});
    for (int32_t y = change.top; y < change.bottom; ++y) {
      for (int32_t x = change.left; x < change.right; ++x) source.SetPixel(x, y, 0x00FF00);
    }
    const Rect touched = scale.TargetOf(change);
    scale.Scale(source, touched, target);
    EXPECT_EQ(target, ScaleAll(source, s.tw, s.th));
    EXPECT_FALSE(touched.Empty());
  }
}

TEST(AreaDownscale, TargetOfIsTheSmallestCoverAndSizesAreChecked) {
  const AreaDownscale scale(8, 8, 3, 3);  // target pixels cover [0, 8/3), [8/3, 16/3), [16/3, 8)
  EXPECT_EQ(scale.TargetOf({0, 0, 2, 2}), (Rect{0, 0, 1, 1}));
  EXPECT_EQ(scale.TargetOf({2, 2, 3, 3}), (Rect{0, 0, 2, 2}));  // pixel 2 straddles 8/3
  EXPECT_EQ(scale.TargetOf({6, 0, 100, 1}), (Rect{2, 0, 3, 1}));
  EXPECT_TRUE(scale.TargetOf({8, 8, 9, 9}).Empty());
  for (const Sizes& bad : {Sizes{4, 4, 5, 4}, Sizes{4, 4, 0, 4}, Sizes{70000, 4, 4, 4}}) {
    EXPECT_THROW(AreaDownscale(bad.sw, bad.sh, bad.tw, bad.th), RunTimeError);
  }
  Bitmap wrong = Bitmap::Color(3, 2);
  EXPECT_THROW(scale.Scale(Bitmap::Color(8, 8), {0, 0, 3, 3}, wrong), RunTimeError);
}

}  // namespace
}  // namespace slidesaver::gdi
