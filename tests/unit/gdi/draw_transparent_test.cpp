// DrawTransparent: the colour-keyed copy through its mask, its edges and its overflow.
#include "gdi/draw_transparent.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/run_time_error.h"
#include "gdi/surface.h"
#include "platform/fake/recording_painter.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver {
namespace {

using gdi::Bitmap;
using gdi::Surface;

constexpr uint32_t kKeyRgb = 0x102030;  // the show's background colour
constexpr uint32_t kBehind = 0x777777;  // what the destination holds

struct Scene {
  Scene(int32_t w, int32_t h, Bitmap picture) {
    next.Move(0, 0, w, h);
    next.SetBackColor(gdi::ColorRefFromRgb(kKeyRgb));
    FillBox(next.Context(), 0, 0, w - 1, h - 1, gdi::ColorRefFromRgb(kBehind));
    mem.SetPicture(std::move(picture));
  }
  void Draw(int32_t x, int32_t y, int32_t w, int32_t h) {
    gdi::DrawTransparent(painter, next.Context(), x, y, w, h, mem.Context(), 0, 0,
                         next.BackColor());
  }
  Surface next, mem;
  fake::FakeCallLog log;
  fake::RecordingPainter painter{log};
};

TEST(DrawTransparent, KeyPixelsKeepTheDestinationAndAllOthersAreCopied) {
  Bitmap picture = Bitmap::Color(4, 2);
  picture.SetPixel(0, 0, kKeyRgb);
  picture.SetPixel(1, 0, kKeyRgb + 1);  // one colour step off the key
  picture.SetPixel(2, 0, 0x000000);     // black that is not the key
  picture.SetPixel(3, 0, 0xFFFFFF);
  picture.SetPixel(0, 1, 0xABCDEF);
  picture.SetPixel(1, 1, kKeyRgb);
  picture.SetPixel(2, 1, kKeyRgb ^ 0x010000);
  picture.SetPixel(3, 1, kKeyRgb);
  Scene s(6, 4, picture);
  const gdi::ColorRef bk_before = s.mem.Context().GetBkColor();
  s.Draw(1, 1, 4, 2);
  const uint32_t expected[4][6] = {
      {kBehind, kBehind, kBehind, kBehind, kBehind, kBehind},
      {kBehind, kBehind, kKeyRgb + 1, 0x000000, 0xFFFFFF, kBehind},
      {kBehind, 0xABCDEF, kBehind, kKeyRgb ^ 0x010000, kBehind, kBehind},
      {kBehind, kBehind, kBehind, kBehind, kBehind, kBehind},
  };
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 6; ++x)
      EXPECT_EQ(s.next.Image().Pixel(x, y), expected[y][x]) << x << "," << y;
  }
  EXPECT_EQ(s.mem.Context().GetBkColor(), bk_before);  // restored
}

TEST(DrawTransparent, APictureWithoutTheKeyIsCopiedWhole) {
  const Bitmap picture = gdi::test::NumberedPicture(5, 4, 3);
  Scene s(5, 4, picture);
  s.Draw(0, 0, 5, 4);
  EXPECT_EQ(s.next.Image(), picture);
}

TEST(DrawTransparent, ClippedAtTheDestinationsEdges) {
  const Bitmap picture = gdi::test::NumberedPicture(4, 4, 3);
  for (const auto& [x, y] : {std::pair{-2, -1}, {3, 2}, {-3, 3}, {INT32_MIN, 0}, {0, INT32_MAX}}) {
    Scene s(5, 5, picture);
    s.Draw(x, y, 4, 4);
    for (int32_t ty = 0; ty < 5; ++ty) {
      for (int32_t tx = 0; tx < 5; ++tx) {
        const int64_t px = int64_t{tx} - x, py = int64_t{ty} - y;
        const bool inside = px >= 0 && px < 4 && py >= 0 && py < 4;
        EXPECT_EQ(s.next.Image().Pixel(tx, ty),
                  inside ? gdi::test::Numbered(int32_t(px), int32_t(py), 3) : kBehind);
      }
    }
  }
}

TEST(DrawTransparent, ZeroOrNegativeSizeChangesNothing) {
  for (const auto& [w, h] : {std::pair{0, 3}, {3, 0}, {-2, 3}, {-3, -3}}) {
    Scene s(4, 4, gdi::test::NumberedPicture(3, 3));
    const Bitmap before = s.next.Image();
    s.Draw(0, 0, w, h);
    EXPECT_EQ(s.next.Image(), before) << w << "x" << h;
  }
}

TEST(DrawTransparent, RectangleBeyondTheSourceTurnsBlackAsThePlatformDoes) {
  // The masks are made at the asked size; where the source has no pixels the blits into
  // them leave black, and black sprite over a black mask gives black.
  Scene s(4, 1, gdi::test::NumberedPicture(2, 1, 1));
  s.Draw(0, 0, 4, 1);
  EXPECT_EQ(s.next.Image().Pixel(0, 0), gdi::test::Numbered(0, 0, 1));
  EXPECT_EQ(s.next.Image().Pixel(1, 0), gdi::test::Numbered(1, 0, 1));
  EXPECT_EQ(s.next.Image().Pixel(2, 0), 0u);
  EXPECT_EQ(s.next.Image().Pixel(3, 0), 0u);
}

TEST(DrawTransparent, RepeatedCallsOfOneSizeStartFromBlackMasksEachTime) {
  // A first call fills the temporary bitmaps with a picture; a second of the same size
  // whose rectangle reaches past its source must still see black there.
  Scene full(4, 1, gdi::test::NumberedPicture(4, 1, 2));
  full.Draw(0, 0, 4, 1);
  Scene part(4, 1, gdi::test::NumberedPicture(2, 1, 1));
  part.Draw(0, 0, 4, 1);
  EXPECT_EQ(part.next.Image().Pixel(1, 0), gdi::test::Numbered(1, 0, 1));
  EXPECT_EQ(part.next.Image().Pixel(2, 0), 0u);
  EXPECT_EQ(part.next.Image().Pixel(3, 0), 0u);
  // And a key-coloured first picture leaves no mask behind for a keyless second one.
  Scene keyed(2, 1, Bitmap::Color(2, 1, kKeyRgb));
  keyed.Draw(0, 0, 2, 1);
  EXPECT_EQ(keyed.next.Image(), Bitmap::Color(2, 1, kBehind));
  Scene plain(2, 1, gdi::test::NumberedPicture(2, 1, 4));
  plain.Draw(0, 0, 2, 1);
  EXPECT_EQ(plain.next.Image(), gdi::test::NumberedPicture(2, 1, 4));
}

TEST(DrawTransparent, OversizedRectanglesAreAnOverflowErrorBeforeAnyDrawing) {
  Scene s(4, 4, gdi::test::NumberedPicture(3, 3));
  const Bitmap before = s.next.Image();
  const std::pair<int32_t, int32_t> sizes[] = {
      {30000, 30000},  // width × height × 3 beyond 2^31 − 1
      {INT32_MAX, 2},  // width × height beyond it already
      {1, INT32_MIN},  // the negated height
      {715827883, 1},  // × 3 is 2^31 + 1
  };
  for (const auto& [w, h] : sizes) {
    try {
      s.Draw(0, 0, w, h);
      ADD_FAILURE() << w << "x" << h << " did not fail";
    } catch (const RunTimeError& e) {
      EXPECT_EQ(e.Description(), OverflowError().Description());
    }
    EXPECT_EQ(s.next.Image(), before);
  }
  // A tall thin strip within the limit is no error.
  EXPECT_NO_THROW(s.Draw(0, 0, 1, 100000));
}

TEST(DrawTransparent, TheDestinationTakesTwoBlitsOnly) {
  Scene s(4, 4, gdi::test::NumberedPicture(2, 2));
  s.painter.Name(s.next.Context(), "destination");
  s.Draw(1, 1, 2, 2);
  EXPECT_EQ(s.log.Texts(), (std::vector<std::string>{"BitBlt ? 1,1,2,2,0,0,8913094",
                                                     "BitBlt ? 1,1,2,2,0,0,6684742"}));
}

}  // namespace
}  // namespace slidesaver
