// Damage: the changed pixels of a presented surface as spans per row and as the rectangles a
// present sends, and the drawing that reports only the pixels it really changed.
#include <gtest/gtest.h>

#include <vector>

#include "gdi/damage.h"
#include "gdi/dc.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

using test::Canvas;
using test::NumberedPicture;

std::vector<Rect> Take(Damage& damage) {
  std::vector<Rect> rects{{1, 2, 3, 4}};  // replaced, not appended to
  damage.TakeRects(rects);
  return rects;
}

TEST(Damage, SpansOfARowJoinWhenCloseAndTheClosestJoinBeyondTheLimit) {
  Damage damage;
  damage.Add(5, 100, 110);
  damage.Add(5, 110 + Damage::kJoinGap - 1, 150);  // a gap one short of kJoinGap: joined
  damage.Add(5, 0, 10);
  damage.Add(5, 300, 310);
  damage.Add(5, 400, 401);
  EXPECT_EQ(
      Take(damage),
      (std::vector<Rect>{{0, 5, 10, 6}, {100, 5, 150, 6}, {300, 5, 310, 6}, {400, 5, 401, 6}}));
  EXPECT_TRUE(damage.Empty());
  for (const int32_t left : {0, 100, 300, 400}) damage.Add(7, left, left + 10);
  damage.Add(7, 150, 160);  // five spans: 100-110 and 150-160 are the closest
  damage.Add(7, 5, 305);    // overlaps three of them, and touches nothing else
  damage.Add(8, 0, 0);      // empty spans and rows are no damage
  EXPECT_EQ(Take(damage), (std::vector<Rect>{{0, 7, 310, 8}, {400, 7, 410, 8}}));
  EXPECT_TRUE(Take(damage).empty());
}

TEST(Damage, RowsJoinIntoRectanglesWhileTheyAddAtMostAnEighth) {
  Damage damage;
  damage.AddRect({10, 0, 50, 4});
  for (int32_t y = 4; y < 8; ++y) damage.Add(y, 10, 54);  // 10 % wider: joined
  damage.Add(8, 10, 100);                                 // far wider: a rectangle of its own
  damage.Add(9, 200, 210);                                // ...and so is one that moved away
  damage.Add(9, 10, 100);
  // Row 11 after an empty row: new rectangles, two side by side.
  damage.Add(11, 0, 5);
  damage.Add(11, 60, 70);
  const std::vector<Rect> rects = Take(damage);
  EXPECT_EQ(
      rects,
      (std::vector<Rect>{
          {10, 0, 54, 8}, {10, 8, 100, 10}, {200, 9, 210, 10}, {0, 11, 5, 12}, {60, 11, 70, 12}}));
}

TEST(Damage, AnInPlaceCopyOntoATrackedContextReportsOnlyTheChangedPixels) {
  const int32_t w = 300, h = 4;
  Canvas target(NumberedPicture(w, h));
  Canvas picture(NumberedPicture(w, h));
  Damage damage;
  target.dc.TrackDamage(&damage);
  // Row 0: pixel 17 and 40-50 (less than kJoinGap apart) and pixel 200; row 1 nothing;
  // row 2 the last pixel (in the tail after the last whole 16-pixel group); row 3 all.
  for (const int32_t x : {17, 40, 45, 50, 200}) picture.bitmap->SetPixel(x, 0, 0xABCDEF);
  picture.bitmap->SetPixel(w - 1, 2, 0xABCDEF);
  for (int32_t x = 0; x < w; ++x) picture.bitmap->SetPixel(x, 3, 0x010101);
  ASSERT_TRUE(BitBlt(target.dc, 0, 0, w, h, picture.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(*target.bitmap, *picture.bitmap);
  EXPECT_EQ(target.dc.Dirty(), (Rect{0, 0, w, h}));  // what was written, changed or not
  EXPECT_EQ(Take(damage),
            (std::vector<Rect>{{17, 0, 51, 1}, {200, 0, 201, 1}, {w - 1, 2, w, 3}, {0, 3, w, 4}}));
  // Through a clip region only the runs inside it are compared; again, nothing changes.
  const Region clip = Region::Ellipse(0, 0, w, h);
  target.dc.SelectClipRgn(&clip);
  BitBlt(target.dc, 0, 0, w, h, picture.dc, 0, 0, SRCCOPY);
  EXPECT_TRUE(damage.Empty());
  // A shifted copy is damage where it writes, without comparing.
  target.dc.SelectClipRgn(nullptr);
  BitBlt(target.dc, 1, 1, 3, 1, target.dc, 1, 1, SRCCOPY);  // onto itself
  BitBlt(target.dc, 5, 2, 3, 1, picture.dc, 6, 2, SRCCOPY);
  EXPECT_EQ(Take(damage), (std::vector<Rect>{{1, 1, 4, 2}, {5, 2, 8, 3}}));
  // Selecting a bitmap forgets the damage of the one before.
  FillBox(target.dc, 0, 0, 0, 0, 0x123456);
  target.dc.SelectBitmap(target.bitmap.get());
  EXPECT_TRUE(damage.Empty());
}

TEST(Damage, AFillOverItsOwnColourChangesNothing) {
  Canvas target(Bitmap::Color(40, 3, 0x00FF00));
  Damage damage;
  target.dc.TrackDamage(&damage);
  FillBox(target.dc, 0, 0, 39, 2, ColorRefFromRgb(0x00FF00));
  EXPECT_TRUE(damage.Empty());
  target.bitmap->SetPixel(33, 1, 0);
  FillBox(target.dc, 0, 0, 39, 2, ColorRefFromRgb(0x00FF00));
  EXPECT_EQ(target.bitmap->Pixel(33, 1), 0x00FF00u);
  EXPECT_EQ(Take(damage), (std::vector<Rect>{{33, 1, 34, 2}}));
  // Monochrome bitmaps are not compared: what is written is damage.
  Canvas mono(Bitmap::Mono(8, 8));
  mono.dc.TrackDamage(&damage);
  FillBox(mono.dc, 0, 0, 7, 0, 0xFFFFFF);
  EXPECT_EQ(Take(damage), (std::vector<Rect>{{0, 0, 8, 1}}));
}

}  // namespace
}  // namespace slidesaver::gdi
