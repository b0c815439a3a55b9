// Surfaces: image, colours, sizes, painting pictures, presenting what changed.
#include <gtest/gtest.h>

#include "common/run_time_error.h"
#include "gdi/surface.h"
#include "tests/unit/gdi/gdi_test_support.h"

namespace slidesaver::gdi {
namespace {

struct LoggingPresenter : Presenter {
  void Move(int32_t l, int32_t t, int32_t w, int32_t h) override { moves.push_back({l, t, w, h}); }
  void Present(const Bitmap& image, std::span<const Rect> damage) override {
    presented.push_back(image);
    damages.emplace_back(damage.begin(), damage.end());
  }
  std::vector<std::vector<int32_t>> moves;
  std::vector<Bitmap> presented;
  std::vector<std::vector<Rect>> damages;
};

TEST(Surface, MoveGivesANewImageInTheBackColourAndTellsThePresenter) {
  LoggingPresenter presenter;
  Surface s(&presenter);
  EXPECT_EQ(s.Width(), 0);
  s.SetBackColor(0x0000FF);  // red, 0x00BBGGRR
  s.Move(112, 84, 8, 6);
  EXPECT_EQ(s.Width(), 8);
  EXPECT_EQ(s.Height(), 6);
  EXPECT_EQ(s.ScaleWidth(), 8.0f);
  EXPECT_EQ(s.ScaleHeight(), 6.0f);
  EXPECT_EQ(s.Left(), 112);
  EXPECT_EQ(s.Top(), 84);
  EXPECT_EQ(s.Image(), Bitmap::Color(8, 6, 0xFF0000));
  EXPECT_EQ(presenter.moves, (std::vector<std::vector<int32_t>>{{112, 84, 8, 6}}));
  // Same size elsewhere: the image stays.
  FillBox(s.Context(), 0, 0, 0, 0, 0);
  s.Move(0, 0, 8, 6);
  EXPECT_EQ(s.Image().Pixel(0, 0), 0u);
  EXPECT_THROW(s.Move(0, 0, -1, 6), RunTimeError);
}

TEST(Surface, ClsFillsWithTheBackColourAndRefreshPresentsWhatChangedOnce) {
  LoggingPresenter presenter;
  Surface s(&presenter);
  s.Move(0, 0, 10, 10);
  s.Refresh();
  EXPECT_EQ(presenter.damages.back(), (std::vector<Rect>{{0, 0, 10, 10}}));
  s.SetBackColor(0x00FF00);
  s.Clear();
  EXPECT_EQ(s.Image(), Bitmap::Color(10, 10, 0x00FF00));
  s.Refresh();
  EXPECT_EQ(presenter.damages.back(), (std::vector<Rect>{{0, 0, 10, 10}}));
  s.Clear();  // green over green: nothing changes
  FillBox(s.Context(), 2, 3, 4, 5, 0);
  Surface other;
  other.Move(0, 0, 10, 10);
  BitBlt(s.Context(), 6, 6, 2, 2, other.Context(), 0, 0, SRCCOPY);
  s.Refresh();
  EXPECT_EQ(presenter.damages.back(), (std::vector<Rect>{{2, 3, 5, 6}, {6, 6, 8, 8}}));
  s.Refresh();  // nothing changed since: no damage, still presented
  EXPECT_TRUE(presenter.damages.back().empty());
  EXPECT_EQ(presenter.presented.size(), 4u);
  EXPECT_EQ(presenter.presented.back(), s.Image());
  // A new size is damage all over, whatever the old image held.
  FillBox(s.Context(), 0, 0, 0, 0, 0x0000FF);
  s.Move(0, 0, 4, 3);
  s.Refresh();
  EXPECT_EQ(presenter.damages.back(), (std::vector<Rect>{{0, 0, 4, 3}}));
}

TEST(Surface, HiddenSurfacesRefreshWithoutAPresenter) {
  Surface s;
  s.Move(0, 0, 3, 3);
  s.Refresh();
  EXPECT_TRUE(s.Context().Dirty().Empty());
}

TEST(Surface, DrawPictureDrawsAtItsOwnSizeClipped) {
  Surface s;
  s.Move(0, 0, 6, 4);
  const Bitmap picture = test::NumberedPicture(4, 3, 5);
  s.DrawPicture(picture, 3, 2);
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 6; ++x) {
      const bool inside = x >= 3 && y >= 2;
      EXPECT_EQ(s.Image().Pixel(x, y), inside ? test::Numbered(x - 3, y - 2, 5) : 0u);
    }
  }
  s.DrawPicture(picture, -100, INT32_MAX);
  // Another surface's image serves as a picture too.
  Surface copy;
  copy.Move(0, 0, 6, 4);
  copy.DrawPicture(s.Image(), 0, 0);
  EXPECT_EQ(copy.Image(), s.Image());
}

TEST(Surface, SetPictureResizesToThePictureAndBlitsSeeIt) {
  Surface mem;
  mem.SetPicture(test::NumberedPicture(7, 3));
  EXPECT_EQ(mem.Width(), 7);
  EXPECT_EQ(mem.ScaleHeight(), 3.0f);
  Surface target;
  target.Move(0, 0, 7, 3);
  BitBlt(target.Context(), 0, 0, 7, 3, mem.Context(), 0, 0, SRCCOPY);
  EXPECT_EQ(target.Image(), mem.Image());
}

TEST(Surface, StretchesKeepColoursInsteadOfAndingThem) {
  // A surface shrinks pictures without darkening them: every destination pixel is one of the
  // source's colours.
  Surface from, target;
  from.Move(0, 0, 8, 1);
  for (int32_t x = 0; x < 8; ++x)
    FillBox(from.Context(), x, 0, x, 0, ColorRefFromRgb(0x808080 + x));
  target.Move(0, 0, 4, 1);
  EXPECT_EQ(target.Context().GetStretchBltMode(), COLORONCOLOR);
  StretchBlt(target.Context(), 0, 0, 4, 1, from.Context(), 0, 0, 8, 1, SRCCOPY);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(target.Image().Pixel(x, 0), 0x808080u + 2 * x + 1);
}

}  // namespace
}  // namespace slidesaver::gdi
