// A folder's pictures as the show's slides: the show form on the fake platform's virtual clock
// plays them in shuffled rounds with a new effect each time; pictures that arrive, go or can't
// be shown, and a folder without pictures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "photos/vips_preparer.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/linux_platform.h"
#include "show/show_form.h"
#include "slides/folder_slides.h"
#include "tests/jpeg_test_files.h"
#include "tests/slidepack/test_pictures.h"
#include "tests/unit/test_support.h"

namespace slidesaver {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::SizeIs;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> OneColourPng(uint8_t red, uint8_t green, uint8_t blue) {
  const vips::VImage image =
      (vips::VImage::black(160, 120, vips::VImage::option()->set("bands", 3)) +
       std::vector<double>{double(red), double(green), double(blue)})
          .cast(VIPS_FORMAT_UCHAR)
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
  VipsBlob* blob = image.pngsave_buffer();
  size_t length = 0;
  const auto* data = static_cast<const uint8_t*>(vips_blob_get(blob, &length));
  std::vector<uint8_t> bytes(data, data + length);
  vips_area_unref(VIPS_AREA(blob));
  return bytes;
}

// Waits (in real time: the folder is watched by a thread of its own) until `done`.
bool WaitUntil(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// The picture the show form would take: waited for as the form waits, without a form.
gdi::Bitmap TakePicture(FolderSlides& slides, int32_t index) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!slides.WaitForPicture(index, 20) && std::chrono::steady_clock::now() < end) {
  }
  return slides.Picture(index);
}

// The folder's slides, with the name of each picture the show form takes.
class RecordingSlides : public SlideSource {
 public:
  explicit RecordingSlides(FolderSlides& slides) : slides_(slides) {}
  const SlideEntry& Slide(int32_t index) const override { return slides_.Slide(index); }
  bool WaitForPicture(int32_t index, int32_t milliseconds) override {
    return slides_.WaitForPicture(index, milliseconds);
  }
  gdi::Bitmap Picture(int32_t index) override {
    gdi::Bitmap picture = slides_.Picture(index);
    // A slide the source had nothing for yet (a loaded machine's first) shows nothing.
    if (Slide(index).PictureFileName.empty()) return picture;
    taken.push_back(fs::path(Slide(index).PictureFileName).filename().string());
    effects.push_back(Slide(index).EffectNumber);
    return picture;
  }
  std::optional<std::string> PathOf(const std::string& name) const override {
    return slides_.PathOf(name);
  }
  std::vector<std::string> KnownCauses() const override { return {}; }

  std::vector<std::string> taken;
  std::vector<int32_t> effects;

 private:
  FolderSlides& slides_;
};

void QuickCopy(gdi::Surface& target, gdi::Surface&, gdi::Surface& to, FrameContext&) {
  target.DrawPicture(to.Image(), 0, 0);
}

class FolderSlidesTest : public ::testing::Test {
 protected:
  FolderSlidesTest() {
    colours_ = {{"red.png", 0xFF0000},
                {"green.png", 0x00FF00},
                {"blue.png", 0x0000FF},
                {"white.png", 0xFFFFFF}};
    for (const auto& [name, rgb] : colours_) {
      WriteFile(folder / (name == "white.png" ? "sub/" + name : name),
                OneColourPng(uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)));
    }
    WriteFile(folder / "notes.txt", {'n', 'o'});
    WriteFile(folder / ".hidden" / "black.png", OneColourPng(0, 0, 0));
  }

  // The lines said, from the worker thread.
  std::vector<std::string> Reports() {
    std::lock_guard lock(reports_mutex_);
    return reports_;
  }
  void ClearReports() {
    std::lock_guard lock(reports_mutex_);
    reports_.clear();
  }
  std::function<void(const std::string&)> report = [this](const std::string& line) {
    std::lock_guard lock(reports_mutex_);
    reports_.push_back(line);
  };
  testing::TempFolder temp;
  fs::path folder = fs::path(temp.path()) / "photos";
  // The player's own: the folder read and watched as the Linux player reads and watches it.
  std::unique_ptr<platform::FileSystem> files = linux_platform::MakePosixFileSystem();
  std::unique_ptr<platform::FolderWatch> folders = linux_platform::MakeFolderWatch();
  photos::VipsPreparer preparer;
  FolderServices services{*files, *folders, preparer};
  std::map<std::string, uint32_t> colours_;

 private:
  std::mutex reports_mutex_;
  std::vector<std::string> reports_;
};

TEST_F(FolderSlidesTest, TheShowPlaysEveryPictureOnceARoundWithANewEffectEachTime) {
  fake::FakePlatform fake;
  fake.window.SetScreenSize({80, 60});
  fake.events.SetLimits(10'000'000, 2'000'000);
  FolderShowOptions options;
  options.folder = folder.string();
  options.time = 100;
  options.seed = 7;
  options.music = temp.path() + "/music.mid";
  WriteFile(options.music,
            {'M', 'T', 'h', 'd', 0, 0,    0,  6,   0,  0,  0, 1, 0,    96, 'M', 'T',  'r',  'k',
             0,   0,   0,   14,  0, 0x90, 60, 100, 10, 60, 0, 0, 0xC0, 1,  0,   0xFF, 0x2F, 0});
  FolderSlides slides(services, options, 80, 60, report);
  RecordingSlides recording(slides);
  Settings settings;
  settings.BgmEnabled = -1;              // as the player plays a folder
  fake.events.KeyDownAt(100 * 13 + 50);  // during the thirteenth slide
  {
    ShowForm form(fake.platform(), slides.Show(), settings, recording);
    form.SetEffectLookup([](int32_t) -> const EffectEntry* {
      static const EffectEntry quick{1, "quick copy", {50, false}, QuickCopy};
      return &quick;
    });
    form.Run();
    // The last slide on the screen: its picture fitted (160 x 120 into 80 x 60) and whole.
    const std::string& shown = recording.taken.back();
    EXPECT_EQ(form.visible_area.Image().Pixel(40, 30), colours_[shown]) << shown;
    EXPECT_EQ(form.visible_area.Image().Pixel(0, 0), colours_[shown]) << shown;
  }
  ASSERT_GE(recording.taken.size(), 12u);
  for (size_t round = 0; round < 3; ++round) {
    const std::set<std::string> names(recording.taken.begin() + round * 4,
                                      recording.taken.begin() + round * 4 + 4);
    EXPECT_EQ(names, (std::set<std::string>{"blue.png", "green.png", "red.png", "white.png"}));
  }
  for (size_t i = 1; i < recording.effects.size(); ++i) {
    EXPECT_NE(recording.effects[i], recording.effects[i - 1]);
    EXPECT_NE(recording.taken[i], recording.taken[i - 1]);
  }
  EXPECT_THAT(Reports(), SizeIs(0));
  // The music plays through the show's own music commands.
  const std::vector<std::string> calls = fake.log.Texts();
  EXPECT_THAT(calls, ::testing::Contains("music started " + options.music));
  EXPECT_THAT(calls, ::testing::Contains("music closed"));
}

TEST_F(FolderSlidesTest, APictureThatArrivesComesWithinTwoSlidesAndOneRemovedNoMore) {
  FolderShowOptions options;
  options.folder = folder.string();
  FolderSlides slides(services, options, 80, 60, report);
  auto name_of = [&](int32_t index) {
    (void)TakePicture(slides, index);
    return fs::path(slides.Slide(index).PictureFileName).filename().string();
  };
  name_of(0);
  WriteFile(folder / "sub" / "new.png", OneColourPng(1, 2, 3));
  ASSERT_TRUE(WaitUntil([&] { return slides.PictureCount() == 5; }));
  const std::string next = name_of(1), after = name_of(0);
  EXPECT_TRUE(next == "new.png" || after == "new.png") << next << ", " << after;

  fs::remove(folder / "red.png");
  ASSERT_TRUE(WaitUntil([&] { return slides.PictureCount() == 4; }));
  for (int i = 0; i < 12; ++i) EXPECT_NE(name_of(i % 2), "red.png");
  EXPECT_THAT(Reports(), SizeIs(0));
}

TEST_F(FolderSlidesTest, AFolderWithoutPicturesSaysSoAndABombIsNamedOnce) {
  for (const auto& [name, rgb] : colours_) fs::remove(folder / name);
  fs::remove_all(folder / "sub");
  WriteFile(folder / "bomb.png", slidepack_test::PngBomb());
  // Old enough to be complete: a failing picture is named once it has settled.
  fs::last_write_time(folder / "bomb.png",
                      fs::file_time_type::clock::now() - std::chrono::seconds(60));
  FolderShowOptions options;
  options.folder = folder.string();
  options.background = 0x00402010;
  FolderSlides slides(services, options, 640, 480, report);
  for (int i = 0; i < 4; ++i) {
    const gdi::Bitmap message = TakePicture(slides, i % 2);
    const SlideEntry& slide = slides.Slide(i % 2);
    EXPECT_EQ(slide.EffectNumber, 0);
    EXPECT_GT(message.Width(), 100);
    EXPECT_EQ(slide.PictureX, (640 - message.Width()) / 2);
    EXPECT_EQ(message.Pixel(0, 0), 0x102040u);  // the background, 0x00RRGGBB
  }
  const std::vector<std::string> said = Reports();
  ASSERT_THAT(said, SizeIs(1));
  EXPECT_THAT(said[0], HasSubstr("bomb.png"));
  EXPECT_THAT(said[0], HasSubstr("skipped"));
}

// Pictures rewritten in place while the show reads them (a camera tool, a `cp` loop): the file
// shrinks under the reader and grows again. Nothing may end the process; the show goes on.
TEST_F(FolderSlidesTest, PicturesRewrittenInPlaceWhileTheyAreReadNeverEndTheProcess) {
  const std::vector<uint8_t> jpeg =
      slidepack_test::JpegBytes(slidepack_test::MarkedPicture(1200, 900));
  const std::vector<uint8_t> png = OneColourPng(9, 8, 7);
  WriteFile(folder / "rewritten.jpg", jpeg);
  WriteFile(folder / "sub" / "rewritten.png", png);
  FolderShowOptions options;
  options.folder = folder.string();
  FolderSlides slides(services, options, 80, 60, report);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    for (uint32_t round = 0; std::chrono::steady_clock::now() < end; ++round) {
      const bool big = round % 2 == 0;
      const fs::path path = big ? folder / "rewritten.jpg" : folder / "sub" / "rewritten.png";
      const std::vector<uint8_t>& bytes = big ? jpeg : png;
      const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      ASSERT_GE(fd, 0);
      // In small pieces, so that readers find it short at every length.
      for (size_t at = 0; at < bytes.size();) {
        const size_t piece = std::min<size_t>(bytes.size() - at, 4096 + round % 7 * 1000);
        ASSERT_EQ(write(fd, bytes.data() + at, piece), ssize_t(piece));
        at += piece;
      }
      close(fd);
    }
    done = true;
  });
  int taken = 0;
  while (!done) {
    (void)TakePicture(slides, taken % 2);
    ++taken;
  }
  writer.join();
  EXPECT_GT(taken, 0);
  // Afterwards every picture is whole again, and the show takes them all.
  ASSERT_TRUE(WaitUntil([&] { return slides.PictureCount() == 6; }));
}

// What the folder does must never keep the show waiting for good. Each case ends with the
// message slide (no picture, shown for a second) at once, and, where the folder comes back, with
// its pictures again.
TEST_F(FolderSlidesTest, AFolderThatGoesOrFailsSaysSoAndComesBackWithItsPictures) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& folder)> spoil;
    std::function<void(const fs::path& folder)> mend;  // none: it stays spoilt
    size_t reports;
  };
  const fs::path away = fs::path(temp.path()) / "away";
  const Case cases[] = {
      {"renamed", [&](const fs::path& f) { fs::rename(f, away); },
       [&](const fs::path& f) { fs::rename(away, f); }, 0},
      {"removed", [&](const fs::path& f) { fs::remove_all(f); },
       [&](const fs::path& f) { WriteFile(f / "again.png", OneColourPng(1, 1, 1)); }, 0},
      {"only a broken picture, dated in the future",
       [&](const fs::path& f) {
         fs::remove_all(f);
         WriteFile(f / "broken.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0});
         fs::last_write_time(f / "broken.jpg",
                             fs::file_time_type::clock::now() + std::chrono::hours(24 * 365));
       },
       {},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    fs::remove_all(away);
    WriteFile(folder / "red.png", OneColourPng(255, 0, 0));
    ClearReports();
    FolderShowOptions options;
    options.folder = folder.string();
    FolderSlides slides(services, options, 80, 60, report);
    (void)TakePicture(slides, 0);
    EXPECT_EQ(slides.Slide(0).PictureFileName, (folder / "red.png").string());
    c.spoil(folder);
    // The message comes within a few slides, and stays while the folder is spoilt.
    bool message = false;
    for (int i = 1; i < 200 && !message; ++i) {
      (void)TakePicture(slides, i % 2);
      message = slides.Slide(i % 2).PictureFileName.empty() && slides.Slide(i % 2).DisplayTime > 0;
      if (!message) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(message);
    if (c.mend) {
      c.mend(folder);
      EXPECT_TRUE(WaitUntil([&] {
        (void)TakePicture(slides, 0);
        return !slides.Slide(0).PictureFileName.empty();
      }));
    }
    EXPECT_TRUE(WaitUntil([&] { return Reports().size() >= c.reports; }));
    EXPECT_THAT(Reports(), SizeIs(c.reports));
  }
}

// A picture that takes seconds to prepare (a progressive JPEG of hundreds of scans) never keeps
// the show from its input: a key, a click or a close request while the form waits for it ends
// the show, and the preparation is abandoned, not finished. Measured against the time the whole
// preparation takes in the same run.
TEST_F(FolderSlidesTest, TheShowEndsAtOnceWhileASlowPictureIsPreparedAndLeavesItUnfinished) {
  fs::remove_all(folder);
  WriteFile(folder / "a.png", OneColourPng(255, 0, 0));
  WriteFile(folder / "b-slow.jpg", testing::ProgressiveGreyJpeg(4096, 2048, 450));
  FolderShowOptions options;
  options.folder = folder.string();
  options.order = FolderOrder::kName;
  options.time = 100;
  double whole = 0;
  {
    FolderSlides slides(services, options, 80, 60, report);
    (void)TakePicture(slides, 0);
    const auto start = std::chrono::steady_clock::now();
    (void)TakePicture(slides, 1);
    whole = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(fs::path(slides.Slide(1).PictureFileName).filename(), "b-slow.jpg");
  }
  enum class Input { kKey, kClick, kClose };
  for (const Input input : {Input::kKey, Input::kClick, Input::kClose}) {
    SCOPED_TRACE(static_cast<int>(input));
    fake::FakePlatform fake;
    fake.window.SetScreenSize({80, 60});
    const auto start = std::chrono::steady_clock::now();
    {
      FolderSlides slides(services, options, 80, 60, report);
      ShowForm form(fake.platform(), slides.Show(), Settings{}, slides);
      // The input comes while the form waits for the slow picture, the second slide's.
      fake.events.on_yield = [&](int64_t) {
        if (form.State().current_slide != 1) return;
        if (input == Input::kKey) form.KeyDown();
        if (input == Input::kClick) form.MouseDown();
        if (input == Input::kClose) form.CloseRequested();
      };
      form.Run();
    }
    const double ended =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(ended, whole / 2) << "the whole preparation takes " << whole << " s";
  }
  EXPECT_THAT(Reports(), SizeIs(0));
}

// A burst of pictures copied in never costs the slide prepared already: they come after it, in
// the order they came.
TEST_F(FolderSlidesTest, ArrivalsComeAfterThePreparedSlideInTheOrderTheyCame) {
  fs::remove_all(folder);
  WriteFile(folder / "a.png", OneColourPng(1, 0, 0));
  WriteFile(folder / "b.png", OneColourPng(2, 0, 0));
  FolderShowOptions options;
  options.folder = folder.string();
  options.order = FolderOrder::kName;
  FolderSlides slides(services, options, 80, 60, report);
  (void)TakePicture(slides, 0);
  EXPECT_EQ(fs::path(slides.Slide(0).PictureFileName).filename(), "a.png");
  ASSERT_TRUE(slides.WaitForPicture(1, 30'000));  // b.png, prepared
  for (int i = 1; i <= 30; ++i)
    WriteFile(folder / ("new-" + std::to_string(i) + ".png"), OneColourPng(3, 0, 0));
  ASSERT_TRUE(WaitUntil([&] { return slides.PictureCount() == 32; }));
  std::vector<std::string> shown;
  for (int i = 1; i <= 4; ++i) {
    (void)TakePicture(slides, i % 2);
    shown.push_back(fs::path(slides.Slide(i % 2).PictureFileName).filename().string());
  }
  EXPECT_THAT(shown, ::testing::ElementsAre("b.png", "new-1.png", "new-2.png", "new-3.png"));
}

// What can't be shown or walked is said once, on one line each, and the show goes on.
TEST_F(FolderSlidesTest, WhatIsLeftOutIsSaidOnceAndTheShowGoesOn) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& folder)> make;
    std::string folder;             // "" the test's own
    std::string music;              // a file in the folder's parent
    std::vector<std::string> said;  // each a part of one line, in order
    bool pictures;                  // whether pictures play (else the message)
  };
  const auto old = [](const fs::path& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
  };
  const Case cases[] = {
      {"three links to the folder itself",
       [](const fs::path& f) {
         for (const char* link : {"l1", "l2", "l3"}) fs::create_directory_symlink(".", f / link);
       },
       "",
       "",
       {},
       true},
      {"the kernel's own files",
       [](const fs::path&) {},
       "/proc",
       "",
       {"/proc: the kernel's own files"},
       false},
      {"a picture that can't be read",
       [&](const fs::path& f) {
         WriteFile(f / "secret.png", OneColourPng(1, 1, 1));
         old(f / "secret.png");
       },
       "",
       "",
       {"secret.png: cannot open: Permission denied; skipped"},
       true},
      {"a damaged picture",
       [&](const fs::path& f) {
         std::vector<uint8_t> cut = OneColourPng(1, 1, 1);
         cut.resize(cut.size() / 2);
         WriteFile(f / "cut.png", cut);
         old(f / "cut.png");
       },
       "",
       "",
       {"cut.png: "},
       true},
      {"music that can't be played",
       [&](const fs::path& f) {
         WriteFile(f / "../music.mid", {'n', 'o'});
       },
       "",
       "music.mid",
       {"music.mid: not music the players play", "the show plays without music"},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    WriteFile(folder / "red.png", OneColourPng(255, 0, 0));
    c.make(folder);
    ClearReports();
    fake::FakeFileSystem fake_files;
    fake_files.fail_reads = {"secret.png"};
    FolderShowOptions options;
    options.folder = c.folder.empty() ? folder.string() : c.folder;
    if (!c.music.empty()) options.music = (folder.parent_path() / c.music).string();
    FolderSlides slides({fake_files, *folders, preparer}, options, 80, 60, report);
    EXPECT_EQ(slides.Show().BgmFileName, c.said.empty() || c.music.empty() ? options.music : "");
    bool pictures = false;
    for (int i = 0; i < 6; ++i) {
      (void)TakePicture(slides, i % 2);
      pictures = pictures || !slides.Slide(i % 2).PictureFileName.empty();
    }
    EXPECT_EQ(pictures, c.pictures);
    ASSERT_TRUE(WaitUntil([&] { return Reports().size() >= (c.said.empty() ? 0 : 1); }));
    const std::vector<std::string> said = Reports();
    ASSERT_EQ(said.size(), c.said.empty() ? 0u : 1u) << ::testing::PrintToString(said);
    for (const std::string& part : c.said) EXPECT_THAT(said[0], HasSubstr(part));
  }
}

}  // namespace
}  // namespace slidesaver
