// The presenter every show window writes its target through: each changed rectangle written
// once, at the area's placement, scaled as the whole area would be, black around the area, and
// nothing else of the target touched.
#include "platform/area_presenter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace slidesaver::platform {
namespace {

constexpr uint32_t kUntouched = 0xABCDEF;

gdi::Bitmap Noise(int32_t width, int32_t height, uint32_t seed) {
  std::mt19937 random(seed);
  gdi::Bitmap b = gdi::Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) b.SetPixel(x, y, random() & 0xFFFFFF);
  }
  return b;
}

// What the whole target shows: black, and the image at the placement (scaled whole when the
// placement is, black when it cannot be scaled).
gdi::Bitmap Model(const AreaPlacement& placement, gdi::AreaFit fit, int32_t area_w, int32_t area_h,
                  const gdi::Bitmap& image, int32_t target_w, int32_t target_h) {
  gdi::Bitmap model = gdi::Bitmap::Color(target_w, target_h, 0);
  const gdi::Rect& at = placement.on_target;
  gdi::Bitmap shown = image;
  if (placement.scaled) {
    shown = gdi::Bitmap::Color(at.Width(), at.Height(), 0);
    if (image.Width() == area_w && image.Height() == area_h) {
      gdi::AreaScale(area_w, area_h, at.Width(), at.Height(), fit == gdi::AreaFit::Sharp)
          .Scale(image, {0, 0, at.Width(), at.Height()}, shown);
    }
  }
  for (int32_t y = 0; y < std::min(shown.Height(), at.Height()); ++y) {
    for (int32_t x = 0; x < std::min(shown.Width(), at.Width()); ++x) {
      const int32_t tx = at.left + x, ty = at.top + y;
      if (tx >= 0 && ty >= 0 && tx < target_w && ty < target_h) {
        model.SetPixel(tx, ty, shown.Pixel(x, y));
      }
    }
  }
  return model;
}

struct PresentCase {
  const char* name;
  AreaPlacement placement;
  gdi::AreaFit fit;
  int32_t area_w, area_h;
  int32_t image_w, image_h;
  int32_t target_w, target_h;
  gdi::Rect changed;  // image pixels
};

class AreaPresenterTest : public ::testing::TestWithParam<PresentCase> {};

void PrintTo(const PresentCase& c, std::ostream* out) { *out << c.name; }

TEST_P(AreaPresenterTest, ChangedPixelsWrittenOnceAsTheWholeAreaWouldBe) {
  const PresentCase& c = GetParam();
  AreaPresenter presenter;
  presenter.Place(c.placement, c.area_w, c.area_h, c.fit);
  gdi::Bitmap image = Noise(c.image_w, c.image_h, 1);
  // A target wider than its rows, as a window surface's pitch may be.
  std::vector<uint32_t> pixels(static_cast<size_t>(c.target_w + 3) * c.target_h, kUntouched);
  const gdi::PixelRows target{pixels.data(), c.target_w + 3, c.target_w, c.target_h};
  const auto pixel = [&](int32_t x, int32_t y) { return target.Row(y)[x]; };

  presenter.Write(&image, {0, 0, c.target_w, c.target_h}, target);
  gdi::Bitmap model = Model(c.placement, c.fit, c.area_w, c.area_h, image, c.target_w, c.target_h);
  for (int32_t y = 0; y < c.target_h; ++y) {
    for (int32_t x = 0; x < c.target_w; ++x) {
      ASSERT_EQ(pixel(x, y), model.Pixel(x, y)) << "whole, at " << x << "," << y;
    }
  }
  EXPECT_EQ(pixels[c.target_w], kUntouched) << "written past the row";

  // Part of the image changes: only the target rectangles it maps to are written, and then the
  // target is what the whole would be.
  const gdi::Bitmap changed = Noise(c.image_w, c.image_h, 2);
  const gdi::Rect part = gdi::Intersect(c.changed, {0, 0, c.image_w, c.image_h});
  for (int32_t y = part.top; y < part.bottom; ++y) {
    for (int32_t x = part.left; x < part.right; ++x) image.SetPixel(x, y, changed.Pixel(x, y));
  }
  for (int32_t y = 0; y < c.target_h; ++y) {
    for (int32_t x = 0; x < c.target_w; ++x) target.Row(y)[x] = kUntouched;
  }
  std::vector<gdi::Rect> rects;
  presenter.TargetRects({&c.changed, 1}, {0, 0, c.target_w, c.target_h}, rects);
  for (const gdi::Rect& rect : rects) presenter.Write(&image, rect, target);
  model = Model(c.placement, c.fit, c.area_w, c.area_h, image, c.target_w, c.target_h);
  const gdi::Bitmap before = Model(c.placement, c.fit, c.area_w, c.area_h,
                                   Noise(c.image_w, c.image_h, 1), c.target_w, c.target_h);
  for (int32_t y = 0; y < c.target_h; ++y) {
    for (int32_t x = 0; x < c.target_w; ++x) {
      bool in_rects = false;
      for (const gdi::Rect& rect : rects) {
        in_rects |= x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
      }
      if (in_rects) {
        ASSERT_EQ(pixel(x, y), model.Pixel(x, y)) << "changed, at " << x << "," << y;
      } else {
        ASSERT_EQ(pixel(x, y), kUntouched) << "written needlessly at " << x << "," << y;
        ASSERT_EQ(before.Pixel(x, y), model.Pixel(x, y)) << "left behind at " << x << "," << y;
      }
    }
  }
}

using gdi::AreaFit;

INSTANTIATE_TEST_SUITE_P(
    Placements, AreaPresenterTest,
    ::testing::Values(
        PresentCase{"OwnSizeInside",
                    {{30, 25, 70, 55}, false},
                    AreaFit::OwnSize,
                    40,
                    30,
                    40,
                    30,
                    100,
                    80,
                    {5, 7, 19, 12}},
        PresentCase{"OwnSizeCutByTheTarget",
                    {{-10, -5, 30, 25}, false},
                    AreaFit::OwnSize,
                    40,
                    30,
                    40,
                    30,
                    20,
                    20,
                    {0, 0, 40, 30}},
        PresentCase{"ScaledDown",
                    {{4, 3, 36, 27}, true},
                    AreaFit::OwnSize,
                    64,
                    48,
                    64,
                    48,
                    40,
                    30,
                    {10, 10, 13, 11}},
        PresentCase{
            "Filled", {{2, 0, 38, 27}, true}, AreaFit::Fill, 16, 12, 16, 12, 40, 30, {7, 5, 9, 6}},
        PresentCase{
            "Sharp", {{4, 3, 36, 27}, true}, AreaFit::Sharp, 16, 12, 16, 12, 40, 30, {0, 0, 3, 12}},
        // Until the show presents an image of the area's new size.
        PresentCase{"AnImageSmallerThanTheArea",
                    {{10, 10, 50, 40}, false},
                    AreaFit::OwnSize,
                    40,
                    30,
                    20,
                    10,
                    60,
                    50,
                    {0, 0, 20, 10}},
        PresentCase{"AnImageTheScalerCannotTake",
                    {{4, 3, 36, 27}, true},
                    AreaFit::OwnSize,
                    64,
                    48,
                    20,
                    10,
                    40,
                    30,
                    {0, 0, 20, 10}},
        PresentCase{"NothingPlaced", {}, AreaFit::OwnSize, 40, 30, 40, 30, 20, 20, {0, 0, 40, 30}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AreaPresenter, WithoutAnImageTheTargetIsBlack) {
  AreaPresenter presenter;
  presenter.Place({{2, 2, 8, 8}, false}, 6, 6, AreaFit::OwnSize);
  std::vector<uint32_t> pixels(100, kUntouched);
  presenter.Write(nullptr, {1, 1, 9, 9}, {pixels.data(), 10, 10, 10});
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      const bool written = x >= 1 && x < 9 && y >= 1 && y < 9;
      EXPECT_EQ(pixels[static_cast<size_t>(y) * 10 + x], written ? 0u : kUntouched);
    }
  }
}

}  // namespace
}  // namespace slidesaver::platform
