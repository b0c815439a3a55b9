// The real player's --folder on hostile folders: whatever the folder does (a picture that takes
// seconds to prepare, links that go round or out to "/", the kernel's own files, a picture
// rewritten in place, the folder renamed away and back), the show plays or says why, answers
// SIGTERM and a key, and ends with status 0. How long SIGTERM took is printed; the figures over
// many runs are bench/folder_hostile.sh's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "tests/gui/show/player_session.h"
#include "tests/jpeg_test_files.h"
#include "tests/slidepack/test_pictures.h"

namespace slidesaver::gui_testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;

constexpr uint32_t kBackground = 0x203040;

std::vector<uint8_t> Magenta() {
  return slidepack_test::JpegBytes(
      (vips::VImage::black(1024, 768, vips::VImage::option()->set("bands", 3)) +
       std::vector<double>{255, 0, 255})
          .cast(VIPS_FORMAT_UCHAR)
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB)));
}

bool ShowsMagenta(const Screenshot& shot) {
  return Near(shot.Pixel(512, 384), 0xFF00FF) && Near(shot.Pixel(5, 5), 0xFF00FF);
}

// White text in the middle of the background: the folder's message.
bool ShowsMessage(const Screenshot& shot) {
  int ink = 0;
  for (int x = 0; x < 1024; x += 2)
    for (int y = 340; y < 430; ++y) ink += Near(shot.Pixel(x, y), 0xFFFFFF, 40);
  return ink > 250 && Near(shot.Pixel(5, 5), kBackground);
}

// SIGTERM ends the show with status 0; how long it took is printed.
void EndsOnSigterm(PlayerSession& session, const std::string& what) {
  const auto sent = std::chrono::steady_clock::now();
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(60s), 0) << what;
  std::printf("%s: SIGTERM answered in %.3f s\n", what.c_str(),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count());
}

TEST(PlayerFolderHostile, TheShowPlaysOrSaysWhyAndAnswersSigtermWhateverTheFolderHolds) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& folder)> make;
    std::function<bool(const Screenshot&)> shown;  // what the screen comes to show
    const char* said;                              // a part of the one line said ("" none)
  };
  const Case cases[] = {
      {"three links to the folder itself, and one to /",
       [](const fs::path& f) {
         WriteFile(f / "a.jpg", Magenta());
         for (const char* link : {"l1", "l2", "l3"}) fs::create_directory_symlink(".", f / link);
         fs::create_directory_symlink("/", f / "root");
       },
       ShowsMagenta, ""},
      {"the kernel's own files", {}, ShowsMessage, "the kernel's own files"},
      {"a picture that takes seconds to prepare",
       [](const fs::path& f) {
         WriteFile(f / "slow.jpg", testing::ProgressiveGreyJpeg(8192, 8192, 498));
       },
       [](const Screenshot& shot) { return Near(shot.Pixel(5, 5), kBackground); }, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerSession session;
    const fs::path folder = c.make ? fs::path(session.folder()) / "photos" : fs::path("/proc");
    if (c.make) {
      fs::create_directories(folder);
      c.make(folder);
    }
    session.StartPlayer({"--folder", folder.string(), "--background", "#203040", "/S"});
    EXPECT_TRUE(session.WaitForScreen(c.shown, 60s));
    EndsOnSigterm(session, c.name);
    const std::string log = session.Log();
    EXPECT_THAT(log, HasSubstr(c.said));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), *c.said ? 1 : 0) << log;
  }
}

// A picture rewritten in place while the show reads it (truncated, then written in pieces),
// again and again: it shrinks under the reader at every length, and nothing ends the show.
TEST(PlayerFolderHostile, APictureRewrittenInPlaceForSecondsNeverEndsTheShow) {
  PlayerSession session;
  const fs::path folder = fs::path(session.folder()) / "photos";
  const std::vector<uint8_t> jpeg =
      slidepack_test::JpegBytes(slidepack_test::MarkedPicture(1600, 1200));
  WriteFile(folder / "a.jpg", jpeg);
  WriteFile(folder / "b.jpg", Magenta());
  session.StartPlayer({"--folder", folder.string(), "--time", "100", "/S"});
  ASSERT_TRUE(session.WaitForScreen(ShowsMagenta, 60s));
  std::atomic<bool> rewriting{true};
  std::thread writer([&] {
    while (rewriting) {
      std::ofstream out(folder / "a.jpg", std::ios::binary | std::ios::trunc);
      for (size_t at = 0; at < jpeg.size(); at += 8192) {
        out.write(reinterpret_cast<const char*>(jpeg.data() + at),
                  static_cast<std::streamsize>(std::min<size_t>(8192, jpeg.size() - at)));
        out.flush();
      }
    }
  });
  const auto end = std::chrono::steady_clock::now() + 12s;
  while (std::chrono::steady_clock::now() < end && !session.WaitForExit(100ms)) {
  }
  rewriting = false;
  writer.join();
  EXPECT_EQ(session.WaitForExit(0ms), std::nullopt)
      << "the show ended while a picture was rewritten";
  EXPECT_TRUE(session.WaitForScreen(ShowsMagenta, 60s));
  EndsOnSigterm(session, "rewritten in place");
}

// The folder renamed away says so, and its pictures come back with it; a key still ends the
// show. File names that hold a newline and an escape sequence are printed escaped, on one line.
TEST(PlayerFolderHostile, AFolderRenamedAwayComesBackAndStrangeNamesStayOnTheirLine) {
  PlayerSession session;
  const fs::path folder = fs::path(session.folder()) / "photos";
  WriteFile(folder / "a.jpg", Magenta());
  const fs::path strange = folder / "bad\nline\x1b[31m.jpg";
  WriteFile(strange, {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
  fs::last_write_time(strange, fs::file_time_type::clock::now() - 1h);
  session.StartPlayer(
      {"--folder", folder.string(), "--background", "#203040", "--time", "200", "/S"});
  ASSERT_TRUE(session.WaitForScreen(ShowsMagenta, 60s));
  fs::rename(folder, folder.string() + "-away");
  EXPECT_TRUE(session.WaitForScreen(ShowsMessage, 60s)) << "no message for a folder gone";
  fs::rename(folder.string() + "-away", folder);
  EXPECT_TRUE(session.WaitForScreen(ShowsMagenta, 60s)) << "the pictures did not come back";
  Shell("xdotool key space");
  EXPECT_EQ(session.WaitForExit(60s), 0);
  const std::string log = session.Log();
  EXPECT_THAT(log, HasSubstr("bad\\nline\\x1b[31m.jpg"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
}

}  // namespace
}  // namespace slidesaver::gui_testing
