// The real player against what a hostile tester tries: picture bombs, close signals in the
// middle of its extraction, a kill that leaves its folder behind, a disk that fills up. Each
// ends with a clear error or a normal end, and nothing of the player is left on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "tests/gui/show/own_x_server.h"
#include "tests/gui/show/player_session.h"
#include "tests/jpeg_test_files.h"

namespace slidesaver::gui_testing {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

// The extraction folders and their lock files in the runtime folder.
std::vector<std::string> PlayerEntries(const PlayerSession& session) {
  std::vector<std::string> entries;
  for (const std::string& name : session.RuntimeEntries())
    if (name.starts_with("temp")) entries.push_back(name);
  return entries;
}

// Waits for the error box, answers it and expects the normal end with nothing left.
void AnswerTheErrorBoxAndExpectNothingLeft(PlayerSession& session) {
  std::optional<std::string> box;
  for (int i = 0; i < 200 && !box; ++i) {
    box = Shell("xdotool search --onlyvisible --name '^エラー$' 2>/dev/null");
    if (!box) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(box.has_value()) << "no error box";
  const std::string id = box->substr(0, box->find('\n'));
  Shell("xdotool windowfocus --sync " + id + " key --window " + id + " Return");
  EXPECT_EQ(session.WaitForExit(20s), 0);
  EXPECT_THAT(PlayerEntries(session), IsEmpty());
}

PackageHeader OneSlideShow(std::vector<uint8_t> picture) {
  PackageHeader show;
  show.ShowWidth = 400;
  show.ShowHeight = 300;
  show.SlideCount = 1;
  SlideEntry slide;
  slide.PictureFileName = "0";
  slide.PictureData = Bytes::Copy(picture);
  slide.DisplayTime = 600000;
  show.Slides = {slide};
  return show;
}

// A 3.5 MB PNG declaring 30000 x 30000 RGBA crashed the PNG decoder; a JPEG declaring as
// much took gigabytes; 10,000 scans kept a decoder busy for minutes; a JPEG cut short with its
// end marker put back was shown two-thirds grey. Each is the error box now, and the folder goes
// after it.
TEST(PlayerHostile, PictureBombsAreTheErrorBoxAndLeaveNothing) {
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    const char* reason;
  } cases[] = {
      {"bomb.png",
       [](std::vector<uint8_t>& b) {
         b[18] = b[22] = 0x75;  // IHDR: 30000 x 30000
         b[19] = b[23] = 0x30;
       },
       "pixels, more than the 67,108,864 the player decodes"},
      {"bomb.gif",
       [](std::vector<uint8_t>& b) {
         b[6] = b[7] = b[8] = b[9] = 0xFF;  // a logical screen of 65535 x 65535
       },
       "pixels, more than the 67,108,864 the player decodes"},
      {"bomb.jpg",
       [](std::vector<uint8_t>& b) {
         for (size_t at = 2; at + 9 < b.size(); ++at) {
           if (b[at] == 0xFF && b[at + 1] == 0xC0) {
             b[at + 5] = b[at + 7] = 0x75;
             b[at + 6] = b[at + 8] = 0x30;
             break;
           }
         }
       },
       "pixels, more than the 67,108,864 the player decodes"},
      {"scans.jpg",
       [](std::vector<uint8_t>& b) { b = testing::ProgressiveGreyJpeg(8192, 8192, 10000); },
       "a JPEG of more than 500 scans, more than the player decodes"},
      {"cut.jpg", [](std::vector<uint8_t>& b) { b = testing::CutInsideScanData(b); },
       "Corrupt JPEG data: premature end of data segment"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PlayerSession session;
    std::vector<uint8_t> bomb = MakePicture(session.folder(), c.name, 64, 48, "#ff0000");
    c.spoil(bomb);
    session.Write(OneSlideShow(bomb));
    session.Start();
    AnswerTheErrorBoxAndExpectNothingLeft(session);
    EXPECT_THAT(session.Log(), HasSubstr(c.reason));
  }
}

// 16384 x 16384, the manifest's largest sides, would take 3 GiB for the three surfaces: the
// error box comes instead of the memory's end.
TEST(PlayerHostile, AnOverLargeShowAreaIsTheErrorBox) {
  PlayerSession session;
  PackageHeader show = OneSlideShow(MakePicture(session.folder(), "red.jpg", 40, 30, "#ff0000"));
  show.ShowWidth = show.ShowHeight = 16384;
  session.Write(show);
  session.Start();
  AnswerTheErrorBoxAndExpectNothingLeft(session);
  EXPECT_THAT(session.Log(), HasSubstr("Show area too large: 16384 x 16384 pixels"));
}

// An 8-bit PCM WAV of `samples` samples of silence.
std::vector<uint8_t> SilentWav(uint16_t channels, uint32_t rate, uint32_t samples) {
  std::vector<uint8_t> w;
  const auto put = [&w](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) w.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  const auto tag = [&w](const char* t) {
    for (int i = 0; i < 4; ++i) w.push_back(static_cast<uint8_t>(t[i]));
  };
  const uint32_t data = samples * channels;
  tag("RIFF"), put(36 + data, 4), tag("WAVE"), tag("fmt "), put(16, 4), put(1, 2);
  put(channels, 2), put(rate, 4), put(rate * channels, 4), put(channels, 2), put(8, 2);
  tag("data"), put(data, 4);
  w.resize(w.size() + data, 0x80);
  return w;
}

// The peak resident memory of a process, in KiB.
int64_t PeakResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6));
  }
  return -1;
}

// Music of 0 channels crashed the music loader (a division by zero) and left the folder; a
// 2,444-byte sound of 1 Hz, converted to the device's rate at every slide, took 841 MiB. Both
// are silence now: the show goes on, ends normally and leaves nothing.
TEST(PlayerHostile, SoundsOutsideTheBoundsAreSilence) {
  PlayerSession session;
  PackageHeader show = OneSlideShow(MakePicture(session.folder(), "red.jpg", 400, 300, "#ff0000"));
  show.BgmFileName = "music.wav";
  show.BgmData = Bytes::Copy(SilentWav(0, 22050, 4000));
  show.Slides[0].SoundFileName = "slow.wav";
  show.Slides[0].SoundData = Bytes::Copy(SilentWav(1, 1, 2400));
  show.Slides[0].DisplayTime = 300;  // the slide comes in again, with its sound, every 300 ms
  session.Write(show, std::make_pair(int16_t{-1}, int16_t{-1}));
  session.Start();
  ASSERT_TRUE(session.WaitForScreen(
      [](const Screenshot& s) { return Near(s.Pixel(512, 384), 0xFF0000); }, 20s));
  std::this_thread::sleep_for(2s);
  ASSERT_EQ(session.WaitForExit(0ms), std::nullopt) << "the player ended:\n" << session.Log();
  EXPECT_LT(PeakResidentKiB(session.pid()), 200 * 1024);
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0);
  EXPECT_THAT(PlayerEntries(session), IsEmpty());
}

// Many small files, so that the extraction takes a while.
PackageHeader ManyFiles(size_t count) {
  PackageHeader show = OneSlideShow(std::vector<uint8_t>(2048, 0x5A));
  for (size_t i = 1; i < count; ++i) {
    SlideEntry slide = show.Slides[0];
    slide.PictureFileName = std::to_string(i);
    show.Slides.push_back(slide);
  }
  show.SlideCount = static_cast<int32_t>(count);
  return show;
}

// Waits until the extraction folder holds at least one file; its path.
std::string WaitForExtraction(const PlayerSession& session) {
  for (int i = 0; i < 20000; ++i) {
    const std::vector<std::string> folders = session.ExtractionFolders();
    if (!folders.empty() && PlayerSession::FilesIn(folders[0]) > 0) return folders[0];
    std::this_thread::sleep_for(1ms);
  }
  return {};
}

TEST(PlayerHostile, CloseSignalsDuringTheExtractionRemoveWhatWasWritten) {
  constexpr size_t kFiles = 30000;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(sig);
    PlayerSession session;
    session.Write(ManyFiles(kFiles));
    session.Start();
    const std::string folder = WaitForExtraction(session);
    ASSERT_FALSE(folder.empty()) << "the extraction never started";
    session.Signal(sig);
    const size_t written = PlayerSession::FilesIn(folder);
    EXPECT_LT(written, kFiles) << "the signal came after the extraction";
    EXPECT_EQ(session.WaitForExit(20s), 0);
    EXPECT_THAT(PlayerEntries(session), IsEmpty());
  }
}

// The processor time a process has taken.
std::chrono::milliseconds ProcessorTime(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  long ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i >= 14) ticks += std::stol(field);  // utime and stime
  }
  return std::chrono::milliseconds(ticks * 1000 / sysconf(_SC_CLK_TCK));
}

// A picture within every bound that takes its decoder long (8192 x 8192 in 450 progressive
// scans: half a minute and more): a close signal in the middle of its decoding ends the player
// the normal way at once, without an error.
TEST(PlayerHostile, ACloseSignalDuringASlowDecodeEndsThePlayer) {
  PlayerSession session;
  session.Write(OneSlideShow(testing::ProgressiveGreyJpeg(8192, 8192, 450)));
  session.Start();
  ASSERT_FALSE(WaitForExtraction(session).empty());
  for (int i = 0; i < 600 && ProcessorTime(session.pid()) < 1500ms; ++i) {
    std::this_thread::sleep_for(50ms);
  }
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0) << "the decoding went on";
  EXPECT_THAT(PlayerEntries(session), IsEmpty());
  EXPECT_THAT(session.Log(), ::testing::Not(HasSubstr("Invalid picture")));
}

// A run killed outright leaves its folder; the next run removes it before it takes temp1.
TEST(PlayerHostile, AFolderLeftByAKilledRunIsRemovedByTheNextRun) {
  PlayerSession session;
  session.Write(ManyFiles(30000));
  session.Start();
  const std::string folder = WaitForExtraction(session);
  ASSERT_FALSE(folder.empty());
  // More than the next run's one file, so that its folder can be told from this one.
  for (int i = 0; i < 2000 && PlayerSession::FilesIn(folder) < 2; ++i) {
    std::this_thread::sleep_for(1ms);
  }
  ASSERT_GE(PlayerSession::FilesIn(folder), 2u);
  session.Signal(SIGKILL);
  session.WaitForExit(10s);
  EXPECT_THAT(PlayerEntries(session), ::testing::ElementsAre("temp1", "temp1.lock"));

  // The next run: a show of one picture that stays on the screen.
  session.Write(OneSlideShow(MakePicture(session.folder(), "red.jpg", 400, 300, "#ff0000")));
  session.Start();
  bool shown = false;
  for (int i = 0; i < 200 && !shown; ++i) {
    shown = PlayerEntries(session) == std::vector<std::string>{"temp1", "temp1.lock"} &&
            PlayerSession::FilesIn(folder) == 1;
    if (!shown) std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(shown) << "the old folder is still there, or another number was taken";
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0);
  EXPECT_THAT(PlayerEntries(session), IsEmpty());
}

// The X server goes away while the show plays: Xlib ends the player, and its folder goes too.
TEST(PlayerHostile, TheXServerGoingAwayLeavesNoFolder) {
  OwnXServer server;
  ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
  PlayerSession session;
  session.Write(OneSlideShow(MakePicture(session.folder(), "red.jpg", 400, 300, "#ff0000")));
  session.Start({{"DISPLAY", server.display()}});
  const std::string window_of_the_player = "DISPLAY=" + server.display() +
                                           " xdotool search --onlyvisible --pid " +
                                           std::to_string(session.pid()) + " 2>/dev/null";
  bool shown = false;
  for (int i = 0; i < 400 && !shown; ++i) {
    shown = Shell(window_of_the_player).has_value() && !session.ExtractionFolders().empty();
    if (!shown) std::this_thread::sleep_for(50ms);
  }
  ASSERT_TRUE(shown) << session.Log();
  server.Stop();
  EXPECT_EQ(session.WaitForExit(20s), 1);
  EXPECT_THAT(PlayerEntries(session), IsEmpty());
}

// The runtime folder on a tmpfs of 2 MB: the 3 MB picture can't be written. No part of it
// stays, the error box comes, and the reason is named.
TEST(PlayerHostile, AFullDiskIsNamedAndLeavesNoPartialFile) {
  PlayerSession session;
  const std::string run = session.folder() + "/run";
  if (geteuid() != 0 || mount("tmpfs", run.c_str(), "tmpfs", 0, "size=2m,mode=0700") != 0)
    GTEST_SKIP() << "no tmpfs can be mounted here (the fake file system's test covers the rest)";
  struct Unmount {
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{run};
  PackageHeader show = OneSlideShow(std::vector<uint8_t>(3 << 20, 0x5A));
  SlideEntry small = show.Slides[0];
  small.PictureFileName = "1";
  small.PictureData = Bytes::Copy(MakePicture(session.folder(), "small.jpg", 40, 30, "#00ff00"));
  show.Slides.push_back(small);
  show.SlideCount = 2;
  session.Write(show);
  session.Start();
  std::optional<std::string> box;
  for (int i = 0; i < 200 && !box; ++i) {
    box = Shell("xdotool search --onlyvisible --name '^エラー$' 2>/dev/null");
    if (!box) std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(box.has_value()) << "no error box";
  const std::vector<std::string> folders = session.ExtractionFolders();
  ASSERT_EQ(folders.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folders[0] + "/0")) << "a partial file stayed";
  EXPECT_TRUE(std::filesystem::exists(folders[0] + "/1"));
  EXPECT_THAT(session.Log(),
              HasSubstr("cannot write " + folders[0] + "/0: No space left on device"));
  EXPECT_THAT(session.Log(), HasSubstr("could not be written: No space left on device"));
  AnswerTheErrorBoxAndExpectNothingLeft(session);
}

}  // namespace
}  // namespace slidesaver::gui_testing
