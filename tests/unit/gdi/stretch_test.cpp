// StretchBlt: column mapping, mirroring, the stretch modes, clipping.
#include <gtest/gtest.h>

#include <climits>

#include "gdi/dc.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

using test::Canvas;

// A one-row source whose pixel k holds k + 1 (never 0, the blank).
Canvas Ramp(int32_t width) {
  Bitmap b = Bitmap::Color(width, 1);
  for (int32_t k = 0; k < width; ++k) b.SetPixel(k, 0, static_cast<uint32_t>(k + 1));
  return Canvas(std::move(b));
}

// The source column (k) each destination column took, -1 where nothing was drawn.
std::vector<int32_t> Columns(int32_t dst_width, int32_t x, int32_t w, int32_t sw,
                             int mode = COLORONCOLOR, int32_t sx = 0) {
  Canvas dst(Bitmap::Color(dst_width, 1, 0));
  dst.dc.SetStretchBltMode(mode);
  Canvas src = Ramp(8);
  StretchBlt(dst.dc, x, 0, w, 1, src.dc, sx, 0, sw, 1, SRCCOPY);
  std::vector<int32_t> cols;
  for (int32_t i = 0; i < dst_width; ++i) cols.push_back(int32_t(dst.bitmap->Pixel(i, 0)) - 1);
  return cols;
}

TEST(StretchBlt, MeasuredColumnMappings) {
  EXPECT_EQ(Columns(4, 0, 4, 8), (std::vector<int32_t>{1, 3, 5, 7}));
  EXPECT_EQ(Columns(12, 0, 12, 8), (std::vector<int32_t>{0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6, 7}));
  EXPECT_EQ(Columns(8, 0, 8, 8), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(StretchBlt, NegativeWidthMirrorsIntoTheColumnsReachingBack) {
  // x = 5, w = -4: columns 2 … 5, the source reversed.
  EXPECT_EQ(Columns(8, 5, -4, 4), (std::vector<int32_t>{-1, -1, 3, 2, 1, 0, -1, -1}));
  // The usual flip idiom: x + w - 1 with -w covers x … x + w - 1.
  EXPECT_EQ(Columns(8, 7, -8, 8), (std::vector<int32_t>{7, 6, 5, 4, 3, 2, 1, 0}));
  // Negative source width: the source read backwards from sx.
  EXPECT_EQ(Columns(4, 0, 4, -4, COLORONCOLOR, 7), (std::vector<int32_t>{7, 6, 5, 4}));
  // Both negative: not mirrored.
  EXPECT_EQ(Columns(4, 3, -4, -4, COLORONCOLOR, 7), (std::vector<int32_t>{4, 5, 6, 7}));
}

TEST(StretchBlt, NegativeHeightMirrorsRows) {
  Canvas src(test::NumberedPicture(3, 4));
  Canvas dst(Bitmap::Color(3, 6, 0xABCDEF));
  dst.dc.SetStretchBltMode(COLORONCOLOR);
  StretchBlt(dst.dc, 0, 4, 3, -4, src.dc, 0, 0, 3, 4, SRCCOPY);  // rows 1 … 4
  for (int32_t x = 0; x < 3; ++x) {
    EXPECT_EQ(dst.bitmap->Pixel(x, 0), 0xABCDEFu);
    for (int32_t r = 0; r < 4; ++r) EXPECT_EQ(dst.bitmap->Pixel(x, 4 - r), test::Numbered(x, r));
    EXPECT_EQ(dst.bitmap->Pixel(x, 5), 0xABCDEFu);
  }
}

TEST(StretchBlt, AnyZeroExtentDrawsNothing) {
  const std::vector<int32_t> untouched(6, -1);
  EXPECT_EQ(Columns(6, 0, 0, 8), untouched);
  EXPECT_EQ(Columns(6, 0, 6, 0), untouched);
  Canvas dst(Bitmap::Color(2, 2, 0));
  Canvas src = Ramp(8);
  EXPECT_FALSE(StretchBlt(dst.dc, 0, 0, 2, 0, src.dc, 0, 0, 8, 1, SRCCOPY));
  EXPECT_FALSE(StretchBlt(dst.dc, 0, 0, 2, 2, src.dc, 0, 0, 8, 0, SRCCOPY));
  EXPECT_EQ(*dst.bitmap, Bitmap::Color(2, 2, 0));
}

TEST(StretchBlt, OnePixelWideDestinationTakesTheNextToLastSourcePixel) {
  EXPECT_EQ(Columns(1, 0, 1, 8), (std::vector<int32_t>{6}));
  EXPECT_EQ(Columns(3, 2, -1, 8), (std::vector<int32_t>{-1, -1, 7}));
}

TEST(StretchBlt, DestinationPixelsWhoseSourceLiesOutsideAreLeftAlone) {
  // Source columns -2 … 5 stretched onto 16 columns: the first four map to -2 and -1.
  const std::vector<int32_t> cols = Columns(16, 0, 16, 8, COLORONCOLOR, -2);
  EXPECT_EQ(cols, (std::vector<int32_t>{-1, -1, -1, -1, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5}));
  // Wholly outside the source: nothing.
  EXPECT_EQ(Columns(4, 0, 4, 4, COLORONCOLOR, 8), std::vector<int32_t>(4, -1));
}

TEST(StretchBlt, BlackOnWhiteShrinkAndsTheDroppedColours) {
  // The measured example: 8 columns of values 1 … 8 into 4 give 1&2, 3&4, 5&6, 7&8.
  Canvas dst(Bitmap::Color(4, 1, 0xFFFFFF));
  Canvas src = Ramp(8);
  ASSERT_EQ(dst.dc.GetStretchBltMode(), BLACKONWHITE);
  StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 8, 1, SRCCOPY);
  EXPECT_EQ(dst.bitmap->Pixel(0, 0), 1u & 2u);
  EXPECT_EQ(dst.bitmap->Pixel(1, 0), 3u & 4u);
  EXPECT_EQ(dst.bitmap->Pixel(2, 0), 5u & 6u);
  EXPECT_EQ(dst.bitmap->Pixel(3, 0), 7u & 8u);
  // WHITEONBLACK ORs them; growing keeps one pixel in every mode.
  dst.dc.SetStretchBltMode(WHITEONBLACK);
  StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 0, 0, 8, 1, SRCCOPY);
  EXPECT_EQ(dst.bitmap->Pixel(3, 0), 7u | 8u);
  Canvas wide(Bitmap::Color(12, 1, 0));
  StretchBlt(wide.dc, 0, 0, 12, 1, src.dc, 0, 0, 8, 1, SRCCOPY);
  EXPECT_EQ(wide.bitmap->Pixel(1, 0), 1u);
  EXPECT_EQ(wide.bitmap->Pixel(11, 0), 8u);
}

TEST(StretchBlt, BlackOnWhiteShrinksRowsToo) {
  Bitmap b = Bitmap::Color(1, 4);
  for (int32_t y = 0; y < 4; ++y) b.SetPixel(0, y, 0x0F0F0Fu << y);
  Canvas src(std::move(b));
  Canvas dst(Bitmap::Color(1, 2, 0));
  StretchBlt(dst.dc, 0, 0, 1, 2, src.dc, 0, 0, 1, 4, SRCCOPY);
  EXPECT_EQ(dst.bitmap->Pixel(0, 0), (0x0F0F0Fu & (0x0F0F0Fu << 1)) & 0xFFFFFF);
  EXPECT_EQ(dst.bitmap->Pixel(0, 1), ((0x0F0F0Fu << 2) & (0x0F0F0Fu << 3)) & 0xFFFFFF);
}

TEST(StretchBlt, ClipRegionAndDirtyRectangle) {
  Canvas src(test::NumberedPicture(8, 4));
  Canvas dst(Bitmap::Color(16, 8, 0x010101));
  dst.dc.SetStretchBltMode(COLORONCOLOR);
  const Region ellipse = Region::Ellipse(0, 0, 16, 8);
  dst.dc.SelectClipRgn(&ellipse);
  StretchBlt(dst.dc, 0, 0, 16, 8, src.dc, 0, 0, 8, 4, SRCCOPY);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      EXPECT_EQ(dst.bitmap->Pixel(x, y),
                ellipse.Contains(x, y) ? test::Numbered(x / 2, y / 2) : 0x010101u);
    }
  }
  EXPECT_EQ(dst.dc.Dirty(), (Rect{0, 0, 15, 7}));
}

TEST(StretchBlt, ExtremeExtentsStayInsideTheBitmaps) {
  Canvas src(test::NumberedPicture(5, 5));
  Canvas dst(Bitmap::Color(5, 5, 0));
  dst.dc.SetStretchBltMode(COLORONCOLOR);
  const int32_t v[] = {INT32_MIN, INT32_MIN + 1, -3, -1, 1, 2, 4, INT32_MAX};
  Canvas anding(Bitmap::Color(5, 5, 0));  // BLACKONWHITE: combining shrinks read groups
  for (int32_t a : v) {
    for (int32_t b : v) {
      StretchBlt(dst.dc, a, b, b, a, src.dc, b, a, a, b, SRCCOPY);
      StretchBlt(dst.dc, 2, 2, a, b, src.dc, 2, 2, b, a, SRCINVERT);
      StretchBlt(anding.dc, a, b, b, a, src.dc, b, a, a, b, SRCCOPY);
      StretchBlt(anding.dc, 0, 0, 5, 5, src.dc, a, b, a, b, SRCAND);
    }
  }
  // The whole 32-bit line onto a 5-pixel bitmap: each destination column still finds the
  // source column the mapping gives.
  Canvas one(Bitmap::Color(5, 1, 0));
  one.dc.SetStretchBltMode(COLORONCOLOR);
  Canvas ramp = Ramp(5);
  StretchBlt(one.dc, 0, 0, INT32_MAX, 1, ramp.dc, 0, 0, 5, 1, SRCCOPY);
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(one.bitmap->Pixel(x, 0), 1u);
}

}  // namespace
}  // namespace slidesaver::gdi
