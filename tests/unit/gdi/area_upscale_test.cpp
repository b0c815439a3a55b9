// Enlarging the show area: bilinear against a plain model of its definition, and a rescale of
// the changed part only that must equal a full one, through the one scaler the presenters use.
// The exact blocks of a whole factor are checked on the screen (tests/gui/show).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "common/run_time_error.h"
#include "gdi/area_scale.h"
#include "gdi/area_upscale.h"

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

// Target pixel (tx, ty) from the definition: its centre mapped into the source, the four source
// pixels around it weighted by distance, positions past the edge taken as the edge.
uint32_t ModelPixel(const Bitmap& source, int32_t tw, int32_t th, int32_t tx, int32_t ty) {
  const auto axis = [](int32_t t, int32_t s, int32_t target, int32_t& a, int32_t& b, double& w) {
    const double p = std::clamp((t + 0.5) * s / target - 0.5, 0.0, double(s - 1));
    a = int32_t(p);
    b = std::min(a + 1, s - 1);
    w = p - a;
  };
  int32_t x0, x1, y0, y1;
  double wx, wy;
  axis(tx, source.Width(), tw, x0, x1, wx);
  axis(ty, source.Height(), th, y0, y1, wy);
  uint32_t rgb = 0;
  for (int c = 0; c < 3; ++c) {
    const auto v = [&](int32_t x, int32_t y) {
      return double((source.Pixel(x, y) >> (8 * c)) & 0xFF);
    };
    const double top = v(x0, y0) * (1 - wx) + v(x1, y0) * wx;
    const double bottom = v(x0, y1) * (1 - wx) + v(x1, y1) * wx;
    rgb |= uint32_t(std::lround(top * (1 - wy) + bottom * wy)) << (8 * c);
  }
  return rgb;
}

int ChannelDistance(uint32_t a, uint32_t b) {
  int most = 0;
  for (int c = 0; c < 3; ++c) {
    most = std::max(most, std::abs(int((a >> (8 * c)) & 0xFF) - int((b >> (8 * c)) & 0xFF)));
  }
  return most;
}

TEST(AreaUpscale, BilinearFollowsItsDefinitionAndKeepsFlatColoursExactly) {
  const struct {
    int32_t sw, sh, tw, th;
  } sizes[] = {{8, 6, 36, 27}, {5, 4, 10, 8}, {7, 3, 7, 11}, {1, 1, 9, 4}, {13, 9, 50, 34}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.tw << "x" << s.th);
    const Bitmap source = Noise(s.sw, s.sh, 7);
    const AreaUpscale scale(s.sw, s.sh, s.tw, s.th, AreaUpscale::Filter::Bilinear);
    Bitmap target = Bitmap::Color(s.tw, s.th);
    scale.Scale(source, {0, 0, s.tw, s.th}, target);
    int worst = 0;
    for (int32_t y = 0; y < s.th; ++y) {
      for (int32_t x = 0; x < s.tw; ++x) {
        worst = std::max(worst,
                         ChannelDistance(target.Pixel(x, y), ModelPixel(source, s.tw, s.th, x, y)));
      }
    }
    EXPECT_LE(worst, 2);  // weights in 1/256, rounded twice

    const Bitmap flat = Bitmap::Color(s.sw, s.sh, 0x12FE01);
    scale.Scale(flat, {0, 0, s.tw, s.th}, target);
    EXPECT_EQ(target, Bitmap::Color(s.tw, s.th, 0x12FE01));
  }
}

// A changed source rectangle rescaled alone, over the target of the old source, must give what
// a full rescale of the new source gives: the target rectangle covers every pixel it changes.
TEST(AreaScale, RescalingTheChangedPartOnlyEqualsAFullRescale) {
  const struct {
    int32_t sw, sh, tw, th;
    bool sharp;
  } sizes[] = {{40, 30, 150, 113, false},
               {40, 30, 120, 90, true},
               {40, 30, 120, 90, false},
               {40, 30, 17, 13, false},
               {31, 17, 31, 60, false}};
  std::mt19937 random(3);
  for (const auto& s : sizes) {
    SCOPED_TRACE(testing::Message() << s.sw << "x" << s.sh << " -> " << s.tw << "x" << s.th);
    const AreaScale scale(s.sw, s.sh, s.tw, s.th, s.sharp);
    Bitmap source = Noise(s.sw, s.sh, 1);
    Bitmap partial = Bitmap::Color(s.tw, s.th);
    scale.Scale(source, {0, 0, s.tw, s.th}, partial);
    for (int round = 0; round < 20; ++round) {
      const int32_t left = int32_t(random() % s.sw), top = int32_t(random() % s.sh);
      const Rect changed{left, top, left + 1 + int32_t(random() % (s.sw - left)),
                         top + 1 + int32_t(random() % (s.sh - top))};
      const uint32_t colour = random() & 0xFFFFFF;
      for (int32_t y = changed.top; y < changed.bottom; ++y) {
        for (int32_t x = changed.left; x < changed.right; ++x) source.SetPixel(x, y, colour);
      }
      scale.Scale(source, scale.TargetOf(changed), partial);
      Bitmap full = Bitmap::Color(s.tw, s.th);
      scale.Scale(source, {0, 0, s.tw, s.th}, full);
      ASSERT_EQ(partial, full) << "round " << round;
    }
  }
}

TEST(AreaScale, RefusesSizesItCannotScale) {
  const struct {
    int32_t sw, sh, tw, th;
  } sizes[] = {{10, 10, 20, 5}, {10, 10, 0, 0}, {0, 10, 20, 20}, {10, 10, 70000, 70000}};
  for (const auto& s : sizes) {
    EXPECT_THROW(AreaScale(s.sw, s.sh, s.tw, s.th, false), RunTimeError);
  }
  EXPECT_THROW(AreaUpscale(10, 10, 25, 25, AreaUpscale::Filter::Repeat), RunTimeError);
  EXPECT_THROW(AreaUpscale(10, 10, 20, 30, AreaUpscale::Filter::Repeat), RunTimeError);
  const AreaUpscale scale(2, 2, 4, 4, AreaUpscale::Filter::Bilinear);
  Bitmap wrong = Bitmap::Color(3, 4);
  EXPECT_THROW(scale.Scale(Bitmap::Color(2, 2), {0, 0, 4, 4}, wrong), RunTimeError);
}

}  // namespace
}  // namespace slidesaver::gdi
