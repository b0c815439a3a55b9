// How the incoming slide is laid out: on the background, over the previous screen, or over it
// with the background colour see-through.
#include "tests/show/show_test_support.h"

namespace slidesaver::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr uint32_t kBlue = 0x0000FF, kGreen = 0x00FF00, kYellow = 0xFFFF00;
constexpr uint32_t kBackground = 0x102030;  // the Package's BackgroundColor 0x00302010

// A 20 × 10 green picture with a 4 × 4 hole of the background colour at (2, 2).
gdi::Bitmap PictureWithHole() {
  gdi::Bitmap b = gdi::Bitmap::Color(20, 10, kGreen);
  for (int y = 2; y < 6; ++y)
    for (int x = 2; x < 6; ++x) b.SetPixel(x, y, kBackground);
  return b;
}

class CompositionTest : public ShowTest {
 protected:
  // A full blue slide a, then slide b with the holed picture at (10, 20) and the flags given;
  // the show stops during b's display, after b's transition has come in.
  void ShowOverBlue(int16_t overlay, int16_t transparent) {
    AddSlide("a", kBlue, 80, 60);
    SlideEntry& b = AddSlide("b", kGreen);
    fake.pictures.Add("b", PictureWithHole());
    b.PictureX = 10;
    b.PictureY = 20;
    b.Overlay = overlay;
    b.Transparent = transparent;
    fake.events.KeyDownAt(1500);
    RunRecordingEffects();
    // The to-picture of the transition back to a is gone by now; look at b's frame.
    const auto& frames = fake.window.Frames();
    ASSERT_GE(frames.size(), 2u);
    shown_b = frames[1].image;
  }
  uint32_t B(int x, int y) const { return shown_b.Pixel(x, y); }
  gdi::Bitmap shown_b;
};

TEST_F(CompositionTest, OverlayAndTransparentLetThePreviousScreenThroughTheKeyColour) {
  ShowOverBlue(-1, -1);
  EXPECT_EQ(B(10, 20), kGreen);
  EXPECT_EQ(B(12, 22), kBlue);  // a key-coloured pixel shows what was on the screen
  EXPECT_EQ(B(15, 25), kBlue);
  EXPECT_EQ(B(16, 26), kGreen);
  EXPECT_EQ(B(0, 0), kBlue);  // outside the picture the previous screen stays
  EXPECT_EQ(B(79, 59), kBlue);
}

TEST_F(CompositionTest, OverlayAloneIsOpaqueInsideThePicture) {
  ShowOverBlue(-1, 0);
  EXPECT_EQ(B(12, 22), kBackground);
  EXPECT_EQ(B(10, 20), kGreen);
  EXPECT_EQ(B(0, 0), kBlue);
}

TEST_F(CompositionTest, TransparentWithoutOverlayChangesNothing) {
  ShowOverBlue(0, -1);
  EXPECT_EQ(B(12, 22), kBackground);
  EXPECT_EQ(B(10, 20), kGreen);
  EXPECT_EQ(B(0, 0), kBackground);
}

TEST_F(CompositionTest, FromPictureOfAnOverlaySlideIsTheScreenAsItStands) {
  AddSlide("a", kBlue, 80, 60);
  SlideEntry& b = AddSlide("b", kGreen);  // over a at (0, 0)
  b.Overlay = -1;
  SlideEntry& c = AddSlide("c", kYellow);  // over b's screen at (40, 40)
  c.Overlay = -1;
  c.PictureX = 40;
  c.PictureY = 40;
  fake.events.KeyDownAt(2500);
  RunRecordingEffects();
  const gdi::Bitmap& last = fake.window.Frames()[2].image;  // c has come in
  EXPECT_EQ(last.Pixel(0, 0), kGreen);
  EXPECT_EQ(last.Pixel(40, 40), kYellow);
  EXPECT_EQ(last.Pixel(30, 30), kBlue);
}

TEST_F(CompositionTest, PictureBeyondTheShowAreaIsClipped) {
  AddSlide("a", kBlue, 80, 60);
  SlideEntry& b = AddSlide("b", kGreen, 30, 30);
  b.PictureX = 70;
  b.PictureY = -10;
  fake.events.KeyDownAt(1500);
  RunRecordingEffects();
  const gdi::Bitmap& shown = fake.window.Frames()[1].image;
  EXPECT_EQ(shown.Width(), 80);
  EXPECT_EQ(shown.Pixel(70, 0), kGreen);
  EXPECT_EQ(shown.Pixel(79, 19), kGreen);
  EXPECT_EQ(shown.Pixel(79, 20), kBackground);
  EXPECT_EQ(shown.Pixel(69, 0), kBackground);
}

TEST_F(ShowTest, TheFirstPictureIgnoresItsOverlayFlags) {
  SlideEntry& a = AddSlide("a", kGreen);
  fake.pictures.Add("a", PictureWithHole());
  a.Overlay = -1;
  a.Transparent = -1;
  fake.events.KeyDownAt(500);
  Run();
  const gdi::Bitmap& first = fake.window.Frames()[0].image;
  EXPECT_EQ(first.Pixel(0, 0), kGreen);
  EXPECT_EQ(first.Pixel(2, 2), kBackground);
  EXPECT_EQ(first.Pixel(30, 30), kBackground);
}

// A frame that changes a band brings only that band to the screen.
TEST_F(ShowTest, RefreshPresentsOnlyTheChangedBand) {
  gdi::Surface picture1(&fake.window);
  gdi::Surface next;
  picture1.Move(112, 84, 800, 600);
  next.Move(0, 0, 800, 600);
  next.SetBackColor(0x0000FF);
  next.Clear();
  picture1.Refresh();
  gdi::BitBlt(picture1.Context(), 0, 300, 800, 40, next.Context(), 0, 300, gdi::SRCCOPY);
  picture1.Refresh();
  // The same band again changes nothing: the frame is presented without damage.
  gdi::BitBlt(picture1.Context(), 0, 300, 800, 40, next.Context(), 0, 300, gdi::SRCCOPY);
  picture1.Refresh();
  ASSERT_EQ(fake.window.Frames().size(), 3u);
  EXPECT_THAT(fake.window.Frames()[0].damage, ElementsAre(gdi::Rect{0, 0, 800, 600}));
  EXPECT_THAT(fake.window.Frames()[1].damage, ElementsAre(gdi::Rect{0, 300, 800, 340}));
  EXPECT_THAT(fake.window.Frames()[2].damage, IsEmpty());
  EXPECT_EQ(ScreenPixel(112, 84 + 300), 0xFF0000u);
  EXPECT_EQ(ScreenPixel(112, 84 + 299), 0u);
}

}  // namespace
}  // namespace slidesaver::testing
