// The real player on a real X display: where its pictures land, what ends it, and that it
// leaves no extraction folder behind — also after an error.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

using namespace std::chrono_literals;
using ::testing::IsEmpty;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlack = 0;
constexpr uint32_t kBackground = 0x000080;  // BackgroundColor 0x00800000 (0x00BBGGRR)

// On 1024 × 768 a 400 × 300 show area spans 312 … 711 and 234 … 533.
constexpr int kLeft = 312, kTop = 234;

class PlayerShow : public ::testing::Test {
 protected:
  // Slide 0: a red JPEG filling the show area; slide 1: a green PNG of 100 × 50 at (50, 60).
  PackageHeader TwoSlides(int32_t first_display_time) {
    PackageHeader show;
    show.ShowWidth = 400;
    show.ShowHeight = 300;
    show.BackgroundColor = 0x00800000;
    show.SlideCount = 2;
    SlideEntry a;
    a.PictureFileName = "0";  // names carry no extension: the loader goes by content
    a.PictureData = Bytes::Copy(MakePicture(session.folder(), "a.jpg", 400, 300, "#ff0000"));
    a.DisplayTime = first_display_time;
    SlideEntry b;
    b.PictureFileName = "1";
    b.PictureData = Bytes::Copy(MakePicture(session.folder(), "b.png", 100, 50, "#00ff00"));
    b.DisplayTime = 600000;
    b.PictureX = 50;
    b.PictureY = 60;
    show.Slides = {a, b};
    return show;
  }

  // The pointer rests at (x, y) before the show starts.
  void StartAndWaitForTheFirstSlide(const PackageHeader& show, int x = 600, int y = 500) {
    Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y));
    session.Write(show);
    session.Start();
    ASSERT_TRUE(session.WaitForScreen(
        [](const Screenshot& s) { return Near(s.Pixel(kLeft + 200, kTop + 150), kRed); }, 20s))
        << "the first slide never appeared";
    ASSERT_THAT(session.ExtractionFolders(), ::testing::SizeIs(1));
  }

  void ExpectEndedAndCleanedUp() {
    const std::optional<int> status = session.WaitForExit(10s);
    ASSERT_TRUE(status.has_value()) << "the player is still running";
    EXPECT_EQ(*status, 0);
    EXPECT_THAT(session.ExtractionFolders(), IsEmpty());
  }

  PlayerSession session;
};

TEST_F(PlayerShow, FirstSlideCentredOnBlackThenNextAtItsPlaceAndOnePixelEndsIt) {
  StartAndWaitForTheFirstSlide(TwoSlides(1500));
  const Screenshot first = session.Capture();
  EXPECT_TRUE(Near(first.Pixel(kLeft, kTop), kRed));
  EXPECT_TRUE(Near(first.Pixel(kLeft + 399, kTop + 299), kRed));
  EXPECT_EQ(first.Pixel(kLeft - 1, kTop), kBlack);
  EXPECT_EQ(first.Pixel(kLeft, kTop - 1), kBlack);
  EXPECT_EQ(first.Pixel(kLeft + 400, kTop + 299), kBlack);
  EXPECT_EQ(first.Pixel(kLeft + 399, kTop + 300), kBlack);
  EXPECT_EQ(first.Pixel(0, 0), kBlack);
  EXPECT_EQ(first.Pixel(1023, 767), kBlack);

  ASSERT_TRUE(session.WaitForScreen(
      [](const Screenshot& s) { return s.Pixel(kLeft + 50, kTop + 60) == kGreen; }, 10s))
      << "the second slide never appeared";
  const Screenshot second = session.Capture();
  EXPECT_EQ(second.Pixel(kLeft + 149, kTop + 109), kGreen);
  EXPECT_EQ(second.Pixel(kLeft + 49, kTop + 60), kBackground);
  EXPECT_EQ(second.Pixel(kLeft + 150, kTop + 60), kBackground);
  EXPECT_EQ(second.Pixel(kLeft + 50, kTop + 110), kBackground);
  EXPECT_EQ(second.Pixel(kLeft, kTop), kBackground);
  EXPECT_EQ(second.Pixel(kLeft - 1, kTop), kBlack);

  Shell("xdotool mousemove_relative 1 0");
  ExpectEndedAndCleanedUp();
}

// xdotool's absolute move warps the pointer, which sends no raw input events: the show must
// still see the pointer away from its resting place.
TEST_F(PlayerShow, APointerWarpedOnePixelAwayEndsIt) {
  StartAndWaitForTheFirstSlide(TwoSlides(600000));
  Shell("xdotool mousemove 601 500");
  ExpectEndedAndCleanedUp();
}

TEST_F(PlayerShow, LoneShiftEndsIt) {
  StartAndWaitForTheFirstSlide(TwoSlides(600000));
  Shell("xdotool key shift");
  ExpectEndedAndCleanedUp();
}

TEST_F(PlayerShow, MouseButtonOnTheBlackBorderEndsIt) {
  StartAndWaitForTheFirstSlide(TwoSlides(600000), 100, 100);
  Shell("xdotool click 3");
  ExpectEndedAndCleanedUp();
}

TEST_F(PlayerShow, TerminateSignalEndsItThroughTheNormalShutdown) {
  StartAndWaitForTheFirstSlide(TwoSlides(600000));
  session.Signal(SIGTERM);
  ExpectEndedAndCleanedUp();
}

TEST_F(PlayerShow, HangupAndInterruptEndItToo) {
  for (int sig : {SIGHUP, SIGINT}) {
    SCOPED_TRACE(sig);
    StartAndWaitForTheFirstSlide(TwoSlides(600000));
    session.Signal(sig);
    ExpectEndedAndCleanedUp();
  }
}

TEST_F(PlayerShow, UndecodablePictureShowsTheErrorAboveAndAnsweringItEnds) {
  // Slide 2's picture is prepared while slide 1 is on the screen, two seconds in.
  PackageHeader show = TwoSlides(2000);
  SlideEntry broken = show.Slides[1];
  broken.PictureFileName = "2";
  broken.PictureData = Bytes::Copy(std::vector<uint8_t>(500, 0x5A));
  show.Slides.push_back(broken);
  show.SlideCount = 3;
  StartAndWaitForTheFirstSlide(show);
  std::optional<std::string> box;
  for (int i = 0; i < 200 && !box; ++i) {
    box = Shell("xdotool search --onlyvisible --name '^エラー$' 2>/dev/null");
    if (!box) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(box.has_value()) << "no error box";
  // The show window is gone, so the box is what the user sees.
  EXPECT_FALSE(Shell("xdotool search --onlyvisible --name '^slidesaver$' 2>/dev/null"));
  const Screenshot shot = session.Capture();
  EXPECT_FALSE(Near(shot.Pixel(kLeft + 200, kTop + 150), kBackground, 2));
  EXPECT_THAT(session.ExtractionFolders(), ::testing::SizeIs(1));  // not yet: the box waits

  const std::string id = box->substr(0, box->find('\n'));
  Shell("xdotool windowfocus --sync " + id + " key --window " + id + " Return");
  ExpectEndedAndCleanedUp();
}

}  // namespace
}  // namespace slidesaver::gui_testing
