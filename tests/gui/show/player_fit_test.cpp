// The real player with --fit on a 3840 × 2160 Xvfb screen (PlayerFit), and /S on one screen
// split into two monitors by RandR (PlayerMonitors): the presented image scaled, every monitor
// covered, the area on the primary one, input on the other ending the show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gdi/bitmap.h"
#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00,
                   kWhite = 0xFFFFFF, kBlack = 0;

int MinChannel(uint32_t rgb) {
  return static_cast<int>(std::min({rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF}));
}

SlideEntry Slide(const std::string& name, std::vector<uint8_t> picture, int32_t time) {
  SlideEntry slide;
  slide.PictureFileName = name;
  slide.PictureData = Bytes::Copy(picture);
  slide.DisplayTime = time;
  return slide;
}

PackageHeader Show(int32_t width, int32_t height, std::vector<SlideEntry> slides) {
  PackageHeader show;
  show.ShowWidth = width;
  show.ShowHeight = height;
  show.SlideCount = static_cast<int32_t>(slides.size());
  show.Slides = std::move(slides);
  return show;
}

// A 800 × 600 picture of four quadrants: red, green above; blue, yellow below.
std::vector<uint8_t> Quadrants(const std::string& folder) {
  return DrawPicture(folder, "quadrants.png",
                     "-size 400x300 xc:'#ff0000' xc:'#00ff00' +append '(' -size 400x300 "
                     "xc:'#0000ff' xc:'#ffff00' +append ')' -append");
}

class PlayerFit : public ::testing::Test {
 protected:
  void SetUp() override {
    const Screenshot probe = session.CaptureArea(0, 0, 1, 1);
    ASSERT_EQ(probe.width, 1) << "no screen";
    Shell("xdotool mousemove 10 10");
  }
  PlayerSession session;
};

// 800 × 600 fills 3840 × 2160 at 2880 × 2160 (factor 3.6), from x = 480. Slide 1 comes in from
// the left over the quadrants: each frame's edge lies where a whole source column lands.
TEST_F(PlayerFit, FillScalesEveryFrameToTheLargestFitCentredAndAligned) {
  PackageHeader show =
      Show(800, 600,
           {Slide("0", Quadrants(session.folder()), 10000),
            Slide("1", MakePicture(session.folder(), "w.png", 800, 600, "#ffffff"), 600000)});
  show.Slides[0].EffectNumber = 5;  // slide in from the left
  session.Write(show);
  session.Start({}, {"--fit", "fill"});
  ASSERT_TRUE(session.WaitForScreen(
      [](const Screenshot& s) { return Near(s.Pixel(480, 0), kRed, 8); }, 30s))
      << "the first slide never appeared\n"
      << session.Log();
  const Screenshot first = session.Capture();
  EXPECT_TRUE(Near(first.Pixel(480, 0), kRed, 8));
  EXPECT_TRUE(Near(first.Pixel(3359, 0), kGreen, 8));
  EXPECT_TRUE(Near(first.Pixel(480, 2159), kBlue, 8));
  EXPECT_TRUE(Near(first.Pixel(3359, 2159), kYellow, 8));
  EXPECT_EQ(first.Pixel(479, 1000), kBlack);
  EXPECT_EQ(first.Pixel(3360, 1000), kBlack);
  // The quadrants' vertical edge, source column 400, lands on 480 + 1440 = 1920 (± 1): the
  // first pixel more green than red.
  int edge = 1900;
  while (edge < 1940 && (first.Pixel(edge, 500) >> 16) >= ((first.Pixel(edge, 500) >> 8) & 0xFF)) {
    ++edge;
  }
  EXPECT_LE(std::abs(edge - 1920), 1) << edge;

  // Four rows across the area, as often as the screen can be read, until the new slide is whole.
  int frames_seen = 0;
  bool whole = false;
  for (const auto end = std::chrono::steady_clock::now() + 60s;
       !whole && std::chrono::steady_clock::now() < end;) {
    const Screenshot rows = session.CaptureArea(480, 0, 2880, 2160, 4);
    ASSERT_EQ(rows.width, 2880);
    std::vector<int> edges;
    for (int y = 0; y < rows.height; ++y) {
      int x = 0;
      // The first pixel less than half white: every old colour has a channel at 0.
      while (x < rows.width && MinChannel(rows.Pixel(x, y)) >= 128) ++x;
      edges.push_back(x);
    }
    whole = edges.front() == 2880;
    if (whole || edges.front() == 0) continue;
    ++frames_seen;
    const double column = std::round(edges.front() / 3.6);
    EXPECT_LE(std::abs(edges.front() - column * 3.6), 1.0 + 1e-9) << edges.front();
    for (int edge : edges) EXPECT_LE(std::abs(edge - edges.front()), 1) << edge;
  }
  EXPECT_TRUE(whole) << "the second slide never filled the area";
  RecordProperty("frames_seen", frames_seen);
  std::printf("transition frames checked: %d\n", frames_seen);
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0);
}

// 800 × 600 sharp on 3840 × 2160: factor 3 (4 would be too tall), 2400 × 1800 from (720, 180);
// a one-pixel checkerboard becomes exact 3 × 3 blocks.
TEST_F(PlayerFit, SharpRepeatsEachPixelAsABlockOfTheWholeFactor) {
  session.Write(
      Show(800, 600,
           {Slide("0", DrawPicture(session.folder(), "checks.png", "-size 800x600 pattern:gray50"),
                  600000)}));
  session.Start({}, {"--fit=sharp"});
  Screenshot area;
  ASSERT_TRUE(session.WaitForScreen(
      [&](const Screenshot&) {
        area = session.CaptureArea(720, 180, 2400, 1800);
        return area.width == 2400 && area.Pixel(0, 0) != area.Pixel(3, 0);
      },
      30s))
      << "the show never appeared\n"
      << session.Log();
  const uint32_t first = area.Pixel(0, 0);
  ASSERT_TRUE(first == kBlack || first == kWhite) << std::hex << first;
  for (int y = 0; y < 1800; y += 7) {
    for (int x = 0; x < 2400; x += 5) {
      const bool same_as_first = ((x / 3) + (y / 3)) % 2 == 0;
      ASSERT_EQ(area.Pixel(x, y), same_as_first ? first : (first ^ kWhite)) << x << "," << y;
    }
  }
  const Screenshot outside = session.CaptureArea(719, 179, 1, 1);
  EXPECT_EQ(outside.Pixel(0, 0), kBlack);
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0);
}

// One 2048 × 768 screen as two monitors, the right one primary.
class PlayerMonitors : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        Shell("xrandr --setmonitor left 1024/271x768/203+0+0 screen && "
              "xrandr --setmonitor '*right' 1024/271x768/203+1024+0 none"));
    ASSERT_THAT(Shell("xrandr --listmonitors").value_or(""), ::testing::HasSubstr("*right"));
  }
  void TearDown() override { Shell("xrandr --delmonitor left; xrandr --delmonitor right"); }
  PlayerSession session;
};

TEST_F(PlayerMonitors, BothAreCoveredTheAreaIsOnThePrimaryAndInputOnTheOtherEndsIt) {
  const struct {
    std::vector<std::string> options;
    const char* input;  // on the left monitor, where the pointer rests
    gdi::Rect area;     // where the show area lands
  } cases[] = {
      {{}, "click 1", {1024 + 312, 234, 1024 + 712, 534}},
      {{"--fit", "fill"}, "mousemove_relative 1 0", {1024, 0, 2048, 768}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    // The desktop shows wherever no window covers the screen.
    Shell("xsetroot -solid '#336699'; xdotool mousemove 300 300");
    const Screenshot before = session.CaptureArea(0, 0, 1024, 768);
    ASSERT_EQ(before.width, 1024);
    ASSERT_NE(std::count(before.rgb.begin(), before.rgb.end(), 0), std::ssize(before.rgb));

    session.Write(
        Show(400, 300,
             {Slide("0", MakePicture(session.folder(), "r.png", 400, 300, "#ff0000"), 600000)}));
    session.Start({}, c.options);
    ASSERT_TRUE(session.WaitForScreen(
        [&](const Screenshot& s) {
          return s.Pixel(c.area.left, c.area.top) == kRed &&
                 s.Pixel(c.area.right - 1, c.area.bottom - 1) == kRed;
        },
        30s))
        << "the show never appeared on the primary monitor\n"
        << session.Log();
    const Screenshot shot = session.Capture();
    for (int y = 0; y < 768; y += 3) {
      for (int x = 0; x < 1024; x += 3) ASSERT_EQ(shot.Pixel(x, y), kBlack) << x << "," << y;
    }
    if (c.area.left > 1024) {
      EXPECT_EQ(shot.Pixel(c.area.left - 1, c.area.top), kBlack);
    }
    Shell(std::string("xdotool ") + c.input);
    const std::optional<int> status = session.WaitForExit(10s);
    ASSERT_TRUE(status.has_value()) << "input on the other monitor did not end the show";
    EXPECT_EQ(*status, 0);
  }
}

}  // namespace
}  // namespace slidesaver::gui_testing
