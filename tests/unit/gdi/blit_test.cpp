// BitBlt and FillBox: the measured rules, the raster operations and format conversions,
// clipping, dirty rectangles and the call recording.
#include <gtest/gtest.h>

#include <climits>

#include "gdi/dc.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

using test::Canvas;
using test::MonoPicture;
using test::MonoRows;
using test::Numbered;
using test::NumberedPicture;

constexpr uint32_t kBlank = 0x123456;

TEST(BitBlt, CopiesAHalfOpenRectangle) {
  Canvas dst(Bitmap::Color(8, 6, kBlank));
  Canvas src(NumberedPicture(8, 6));
  ASSERT_TRUE(BitBlt(dst.dc, 2, 1, 3, 2, src.dc, 4, 3, SRCCOPY));
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
      EXPECT_EQ(dst.bitmap->Pixel(x, y), inside ? Numbered(x + 2, y + 2) : kBlank) << x << "," << y;
    }
  }
  EXPECT_EQ(dst.dc.Dirty(), (Rect{2, 1, 5, 3}));
}

TEST(BitBlt, SourceReachingPastItsBitmapCopiesOnlyThePartInside) {
  Canvas dst(Bitmap::Color(10, 10, kBlank));
  Canvas src(NumberedPicture(4, 4));
  BitBlt(dst.dc, 0, 0, 10, 10, src.dc, -2, -1, SRCCOPY);
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      const bool from_source = x >= 2 && x < 6 && y >= 1 && y < 5;
      EXPECT_EQ(dst.bitmap->Pixel(x, y), from_source ? Numbered(x - 2, y - 1) : kBlank);
    }
  }
  EXPECT_EQ(dst.dc.Dirty(), (Rect{2, 1, 6, 5}));
}

TEST(BitBlt, ZeroSizeDrawsNothingAndNegativeSizeReachesBackUnmirrored) {
  Canvas dst(Bitmap::Color(6, 4, kBlank));
  Canvas src(NumberedPicture(6, 4));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 0, 4, src.dc, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 6, 0, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(*dst.bitmap, Bitmap::Color(6, 4, kBlank));
  BitBlt(dst.dc, 3, 2, -2, -2, src.dc, 5, 3, SRCCOPY);  // columns 2-3, rows 1-2
  EXPECT_EQ(dst.bitmap->Pixel(2, 1), Numbered(4, 2));
  EXPECT_EQ(dst.bitmap->Pixel(3, 2), Numbered(5, 3));
  EXPECT_EQ(dst.bitmap->Pixel(1, 1), kBlank);
  EXPECT_EQ(dst.bitmap->Pixel(4, 2), kBlank);
}

TEST(BitBlt, ExtremeCoordinatesNeitherCrashNorTouchAnything) {
  Canvas dst(Bitmap::Color(5, 5, kBlank));
  Canvas src(NumberedPicture(5, 5));
  const int32_t extremes[] = {INT32_MIN, INT32_MIN + 1, -5, -1, 0, 4, 5, INT32_MAX - 1, INT32_MAX};
  for (int32_t a : extremes) {
    for (int32_t b : extremes) {
      BitBlt(dst.dc, a, b, INT32_MAX, INT32_MAX, src.dc, b, a, SRCCOPY);
      BitBlt(dst.dc, a, a, INT32_MIN, INT32_MIN, src.dc, b, b, SRCINVERT);
      BitBlt(dst.dc, b, a, a, b, src.dc, a, b, DSna);
    }
  }
  // Everything those could reach is the overlap of the bitmaps; the test is that the
  // sanitizers stay quiet. One full-range call must still land where it should:
  Canvas clean(Bitmap::Color(5, 5, kBlank));
  BitBlt(clean.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, src.dc, INT32_MIN, INT32_MIN,
         SRCCOPY);
  EXPECT_EQ(*clean.bitmap, Bitmap::Color(5, 5, kBlank));  // the source lies far outside
  BitBlt(clean.dc, -1000, -1000, INT32_MAX, INT32_MAX, src.dc, -1000, -1000, SRCCOPY);
  EXPECT_EQ(*clean.bitmap, *src.bitmap);
}

TEST(BitBlt, RasterOperationsCombineColours) {
  const uint32_t d = 0xF0F0F0, s = 0x3C5A0F;
  const std::pair<uint32_t, uint32_t> cases[] = {
      {SRCCOPY, s}, {SRCAND, d & s}, {SRCINVERT, d ^ s}, {DSna, d & ~s & 0xFFFFFF}};
  for (const auto& [rop, expected] : cases) {
    Canvas dst(Bitmap::Color(1, 1, d));
    Canvas src(Bitmap::Color(1, 1, s));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, rop));
    EXPECT_EQ(dst.bitmap->Pixel(0, 0), expected) << std::hex << rop;
  }
  Canvas dst(Bitmap::Color(1, 1, d));
  Canvas src(Bitmap::Color(1, 1, s));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 0x00EE0086));  // SRCPAINT: not ours
  EXPECT_EQ(dst.bitmap->Pixel(0, 0), d);
}

TEST(BitBlt, ColourToMonochromeMarksTheSourceBackgroundColour) {
  Bitmap picture = Bitmap::Color(4, 1);
  picture.SetPixel(0, 0, 0x00FF00);  // green
  picture.SetPixel(1, 0, 0x00FE00);  // one step off
  picture.SetPixel(2, 0, 0x000000);
  picture.SetPixel(3, 0, 0x00FF00);
  Canvas src(std::move(picture));
  Canvas mask(Bitmap::Mono(4, 1));
  src.dc.SetBkColor(ColorRefFromRgb(0x00FF00));
  BitBlt(mask.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(MonoRows(*mask.bitmap), (std::vector<std::string>{"#..#"}));
  // The destination's colours play no part in this direction.
  mask.dc.SetBkColor(0);
  mask.dc.SetTextColor(0xFFFFFF);
  BitBlt(mask.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(MonoRows(*mask.bitmap), (std::vector<std::string>{"#..#"}));
}

TEST(BitBlt, MonochromeToColourUsesTheDestinationsColours) {
  Canvas src(MonoPicture({"#.#."}));
  Canvas dst(Bitmap::Color(4, 1, kBlank));
  BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);  // defaults: white and black
  EXPECT_EQ(dst.bitmap->Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(dst.bitmap->Pixel(1, 0), 0u);
  dst.dc.SetBkColor(0x0000FF);    // red as 0x00BBGGRR
  dst.dc.SetTextColor(0xFF0000);  // blue
  src.dc.SetBkColor(0x00FF00);    // the source's colours do not matter
  BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.bitmap->Pixel(2, 0), 0xFF0000u);
  EXPECT_EQ(dst.bitmap->Pixel(3, 0), 0x0000FFu);
}

TEST(BitBlt, MonochromeRasterOperations) {
  const std::vector<std::string> d{"##.."}, s{"#.#."};
  const std::pair<uint32_t, std::string> cases[] = {
      {SRCCOPY, "#.#."}, {SRCAND, "#..."}, {SRCINVERT, ".##."}, {DSna, ".#.."}};
  for (const auto& [rop, expected] : cases) {
    Canvas dst(MonoPicture(d));
    Canvas src(MonoPicture(s));
    BitBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, rop);
    EXPECT_EQ(MonoRows(*dst.bitmap)[0], expected) << std::hex << rop;
  }
}

TEST(BitBlt, ClipRegionLimitsTheWrittenPixelsAndTheDirtyRectangle) {
  Canvas dst(Bitmap::Color(16, 8, kBlank));
  Canvas src(NumberedPicture(16, 8));
  const Region ellipse = Region::Ellipse(0, 0, 16, 8);
  dst.dc.SelectClipRgn(&ellipse);
  BitBlt(dst.dc, 0, 0, 16, 8, src.dc, 0, 0, SRCCOPY);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      EXPECT_EQ(dst.bitmap->Pixel(x, y), ellipse.Contains(x, y) ? Numbered(x, y) : kBlank);
    }
  }
  EXPECT_EQ(dst.dc.Dirty(), (Rect{0, 0, 15, 7}));
  // The context keeps its own copy; resetting the clip lets the whole blit through.
  dst.dc.SelectClipRgn(nullptr);
  EXPECT_FALSE(dst.dc.ClipRegion().has_value());
  BitBlt(dst.dc, 0, 0, 16, 8, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(*dst.bitmap, *src.bitmap);
}

TEST(BitBlt, OverlappingCopiesWithinOneBitmapReadTheOriginalPixels) {
  for (const auto& [dx, dy] : {std::pair{1, 1}, {-1, -1}, {2, -1}, {-2, 1}, {0, 1}, {3, 0}}) {
    for (uint32_t rop : {SRCCOPY, SRCINVERT}) {
      Canvas c(NumberedPicture(12, 7));
      const Bitmap before = *c.bitmap;
      BitBlt(c.dc, 2 + dx, 2 + dy, 5, 3, c.dc, 2, 2, rop);
      for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
          const uint32_t old = before.Pixel(2 + dx + x, 2 + dy + y);
          const uint32_t s = before.Pixel(2 + x, 2 + y);
          EXPECT_EQ(c.bitmap->Pixel(2 + dx + x, 2 + dy + y), rop == SRCCOPY ? s : (old ^ s))
              << dx << "," << dy << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(BitBlt, ContextsWithoutABitmapDrawNothing) {
  Dc empty;
  Canvas dst(Bitmap::Color(2, 2, kBlank));
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 2, 2, empty, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(empty, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
  EXPECT_FALSE(StretchBlt(empty, 0, 0, 2, 2, dst.dc, 0, 0, 1, 1, SRCCOPY));
  FillBox(empty, 0, 0, 5, 5, 0);
  EXPECT_EQ(*dst.bitmap, Bitmap::Color(2, 2, kBlank));
}

TEST(FillBox, IncludesBothCornersInEitherOrderAndConvertsTheColour) {
  Canvas c(Bitmap::Color(6, 5, kBlank));
  FillBox(c.dc, 4, 3, 1, 1, 0x0000FF);  // red as 0x00BBGGRR
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 3;
      EXPECT_EQ(c.bitmap->Pixel(x, y), inside ? 0xFF0000u : kBlank);
    }
  }
  EXPECT_EQ(c.dc.TakeDirty(), (Rect{1, 1, 5, 4}));
  EXPECT_TRUE(c.dc.Dirty().Empty());
}

TEST(FillBox, TheClearingBoxCoversTheWholeTargetAndNoMore) {
  Canvas c(NumberedPicture(7, 5));
  FillBox(c.dc, -1, -1, 7, 5, 0);
  EXPECT_EQ(*c.bitmap, Bitmap::Color(7, 5, 0));
  FillBox(c.dc, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFF);
  EXPECT_EQ(*c.bitmap, Bitmap::Color(7, 5, 0xFFFFFF));
  FillBox(c.dc, 7, 0, INT32_MAX, 4, 0);  // wholly right of the bitmap
  EXPECT_EQ(*c.bitmap, Bitmap::Color(7, 5, 0xFFFFFF));
}

TEST(FillBox, FollowsTheClipRegionAndFillsMonochromeByBrightness) {
  Canvas c(Bitmap::Color(16, 8, kBlank));
  const Region ellipse = Region::Ellipse(0, 0, 16, 8);
  c.dc.SelectClipRgn(&ellipse);
  FillBox(c.dc, 0, 0, 15, 7, 0);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      EXPECT_EQ(c.bitmap->Pixel(x, y), ellipse.Contains(x, y) ? 0u : kBlank);
    }
  }
  Canvas mono(Bitmap::Mono(3, 1));
  FillBox(mono.dc, 0, 0, 1, 0, 0xE0E0E0);
  EXPECT_EQ(MonoRows(*mono.bitmap)[0], "##.");
  FillBox(mono.dc, 1, 0, 2, 0, 0x202020);
  EXPECT_EQ(MonoRows(*mono.bitmap)[0], "#..");
}

TEST(Dc, DefaultsAndRefusedStretchModes) {
  Dc dc;
  EXPECT_EQ(dc.GetBkColor(), 0xFFFFFFu);
  EXPECT_EQ(dc.GetTextColor(), 0u);
  EXPECT_EQ(dc.GetStretchBltMode(), BLACKONWHITE);
  EXPECT_EQ(dc.SetStretchBltMode(COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(dc.SetStretchBltMode(0), 0);
  EXPECT_EQ(dc.SetStretchBltMode(9), 0);
  EXPECT_EQ(dc.GetStretchBltMode(), COLORONCOLOR);
  EXPECT_EQ(dc.SetBkColor(0x123456), 0xFFFFFFu);
  EXPECT_EQ(dc.GetBkColor(), 0x123456u);
}

}  // namespace
}  // namespace slidesaver::gdi
