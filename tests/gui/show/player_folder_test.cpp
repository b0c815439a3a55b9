// The real player showing a folder of pictures (--folder): camera-like pictures come out upright
// and fitted to the screen, a picture bomb is named once and skipped, a picture copied in while
// it plays appears (never in part), and an empty folder says so until a key ends the show.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "tests/gui/show/player_session.h"
#include "tests/slidepack/test_pictures.h"

namespace slidesaver::gui_testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

constexpr uint32_t kBackground = 0x203040;
constexpr uint32_t kArrivalColour = 0xFF00FF;

uint32_t Rgb(const uint8_t (&colour)[3]) { return colour[0] << 16 | colour[1] << 8 | colour[2]; }

// The box a picture of `width` x `height` takes on the 1024 x 768 screen: fitted, centred.
struct Box {
  int left, top, width, height;
};
Box Fitted(int width, int height) {
  const double scale = std::min(1024.0 / width, 768.0 / height);
  const int w = std::min(1024, int(std::lround(width * scale)));
  const int h = std::min(768, int(std::lround(height * scale)));
  return {(1024 - w) / 2, (768 - h) / 2, w, h};
}

enum class Seen { kNothing, kUpright, kTurned };

// The marked picture in `box`: red, green and blue in three corners and grey (or, where it was
// transparent, the background) in the fourth. Upright when red is top left, green top right.
Seen MarkedPictureIn(const Screenshot& shot, const Box& box) {
  const int inset = 6;
  const int right = box.left + box.width - 1 - inset, bottom = box.top + box.height - 1 - inset;
  const uint32_t corners[4] = {shot.Pixel(box.left + inset, box.top + inset),
                               shot.Pixel(right, box.top + inset),
                               shot.Pixel(box.left + inset, bottom), shot.Pixel(right, bottom)};
  const uint32_t marks[3] = {Rgb(slidepack_test::kRed), Rgb(slidepack_test::kGreen),
                             Rgb(slidepack_test::kBlue)};
  int found[3] = {-1, -1, -1};
  for (int corner = 0; corner < 4; ++corner)
    for (int mark = 0; mark < 3; ++mark)
      if (Near(corners[corner], marks[mark], 50)) found[mark] = corner;
  if (found[0] < 0 || found[1] < 0 || found[2] < 0) return Seen::kNothing;
  // Outside the box: the background only.
  if (box.left > 0 && !Near(shot.Pixel(box.left / 2, 384), kBackground)) return Seen::kNothing;
  if (box.top > 0 && !Near(shot.Pixel(512, box.top / 2), kBackground)) return Seen::kNothing;
  return found[0] == 0 && found[1] == 1 && found[2] == 2 ? Seen::kUpright : Seen::kTurned;
}

bool AllArrival(const Screenshot& shot) {
  for (auto [x, y] : {std::pair{5, 5}, {1018, 5}, {5, 762}, {1018, 762}, {512, 384}})
    if (!Near(shot.Pixel(x, y), kArrivalColour)) return false;
  return true;
}

bool PartlyArrival(const Screenshot& shot) {
  return !AllArrival(shot) &&
         (Near(shot.Pixel(5, 5), kArrivalColour) || Near(shot.Pixel(1018, 762), kArrivalColour));
}

TEST(PlayerFolder, ShowsPicturesUprightAndFittedAndTakesNewOnesWhenComplete) {
  PlayerSession session;
  const fs::path folder = session.folder() + "/photos";
  for (const auto& picture : slidepack_test::AllTestPictures(1600, 1200, false))
    WriteFile(folder / picture.file, picture.bytes);
  WriteFile(folder / "portrait.jpg",
            slidepack_test::JpegBytes(slidepack_test::MarkedPicture(900, 1600)));
  WriteFile(folder / "more" / "panorama.jpg",
            slidepack_test::JpegBytes(slidepack_test::MarkedPicture(3000, 800)));
  WriteFile(folder / "notes.txt", {'h', 'i', '\n'});
  const std::vector<uint8_t> arrival = slidepack_test::JpegBytes(
      (vips::VImage::black(1024, 768, vips::VImage::option()->set("bands", 3)) +
       std::vector<double>{255, 0, 255})
          .cast(VIPS_FORMAT_UCHAR)
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)));
  WriteFile(folder / ".hidden" / "secret.jpg", arrival);  // never shown: hidden
  WriteFile(folder / "bomb.png", slidepack_test::PngBomb());
  // The configuration file gives defaults; the command line adds to them.
  fs::create_directories(session.folder() + "/config/slidesaver");
  std::ofstream(session.folder() + "/config/slidesaver/slidesaver.conf")
      << "# quick cuts for the test\ntime = 500\neffects = 0\n";
  session.StartPlayer({"--folder", folder.string(), "--background", "#203040", "/S"});

  const Box boxes[] = {Fitted(1600, 1200), Fitted(900, 1600), Fitted(3000, 800)};
  std::set<int> layouts;
  int turned = 0, hidden = 0;
  const auto end = std::chrono::steady_clock::now() + 90s;
  while (layouts.size() < 3 && std::chrono::steady_clock::now() < end) {
    const Screenshot shot = session.Capture();
    if (shot.width == 0) continue;
    for (int i = 0; i < 3; ++i) {
      const Seen seen = MarkedPictureIn(shot, boxes[i]);
      if (seen == Seen::kUpright) layouts.insert(i);
      if (seen == Seen::kTurned) ++turned;
    }
    if (AllArrival(shot)) ++hidden;
  }
  EXPECT_EQ(layouts.size(), 3u) << "not every shape of picture was seen fitted";
  EXPECT_EQ(turned, 0) << "a picture was shown turned";
  EXPECT_EQ(hidden, 0) << "a hidden folder's picture was shown";

  // Copied in slowly, in pieces, into a folder of the show: shown once complete, never in part.
  std::thread copy([&] {
    std::ofstream out(folder / "more" / "arrival.jpg", std::ios::binary);
    const size_t piece = arrival.size() / 4 + 1;
    for (size_t at = 0; at < arrival.size(); at += piece) {
      out.write(reinterpret_cast<const char*>(arrival.data() + at),
                static_cast<std::streamsize>(std::min(piece, arrival.size() - at)));
      out.flush();
      std::this_thread::sleep_for(400ms);
    }
  });
  bool partly = false;
  const bool appeared = session.WaitForScreen(
      [&](const Screenshot& shot) {
        partly = partly || PartlyArrival(shot);
        return AllArrival(shot);
      },
      60s);
  copy.join();
  EXPECT_TRUE(appeared) << "the copied picture was not shown";
  EXPECT_FALSE(partly) << "the copied picture was shown in part";

  // Removed, it is shown no more.
  fs::remove(folder / "more" / "arrival.jpg");
  std::this_thread::sleep_for(1s);
  EXPECT_FALSE(session.WaitForScreen(AllArrival, 4s)) << "a removed picture was shown";

  // The bomb is named when its turn comes, once in any number of rounds.
  EXPECT_TRUE(session.WaitForScreen(
      [&](const Screenshot&) { return session.Log().find("bomb.png") != std::string::npos; }, 90s))
      << "the bomb was never named";
  Shell("xdotool key space");
  EXPECT_EQ(session.WaitForExit(30s), 0);
  const std::string log = session.Log();
  EXPECT_THAT(log, HasSubstr("bomb.png"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

TEST(PlayerFolder, AnEmptyFolderSaysSoUntilAKeyEndsTheShow) {
  PlayerSession session;
  const fs::path folder = session.folder() + "/empty";
  fs::create_directories(folder);
  session.StartPlayer({"--folder", folder.string(), "--background", "#203040", "/S"});
  // White text in the middle of the background, nothing else.
  const bool message = session.WaitForScreen(
      [](const Screenshot& shot) {
        int ink = 0;
        for (int x = 0; x < 1024; ++x)
          for (int y = 340; y < 430; ++y) ink += Near(shot.Pixel(x, y), 0xFFFFFF, 40);
        return ink > 500 && Near(shot.Pixel(5, 5), kBackground) &&
               Near(shot.Pixel(1018, 762), kBackground);
      },
      30s);
  EXPECT_TRUE(message);
  Shell("xdotool key space");
  EXPECT_EQ(session.WaitForExit(30s), 0);
  EXPECT_FALSE(Shell("xdotool search --onlyvisible --name '^エラー$' 2>/dev/null").has_value());
  EXPECT_EQ(session.Log(), "");
}

}  // namespace
}  // namespace slidesaver::gui_testing
