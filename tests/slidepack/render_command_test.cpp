// `slidepack render`: the rendered frames are the frames the player's show presents on the test
// platform at the same virtual times, and the video files carry them with the show's sound.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

#include "package/extracted_show.h"
#include "package/write_package.h"
#include "photos/vips_library.h"
#include "platform/fake/fake_platform.h"
#include "platform/linux/sdl/sdl_picture_loader.h"
#include "settings/settings.h"
#include "show/show_form.h"
#include "slidepack_test_support.h"
#include "tools/slidepack/manifest.h"
#include "tools/slidepack/manifest_package.h"
#include "tools/slidepack/render/png_folder.h"
#include "tools/slidepack/stored_name_text.h"

namespace slidepack_test {
namespace {

namespace fs = std::filesystem;
namespace gdi = slidesaver::gdi;
using vips::VImage;

constexpr int kWidth = 320, kHeight = 240;
constexpr uint32_t kBackground = 0x203040;  // #203040

// A smooth picture (gradients and a disc, no noise, no clipped colours), different for each
// seed.
VImage SmoothPicture(int width, int height, int seed) {
  slidesaver::photos::StartVips();
  const VImage xyz = VImage::xyz(width, height);
  const VImage x = xyz[0], y = xyz[1];
  const VImage disc =
      ((x - width / 2.0).pow(2) + (y - height / 2.0).pow(2) < std::pow(height / 3.0, 2)) / 255;
  const VImage red = x * (140.0 / width) + 30 + seed * 30;
  const VImage green = y * (120.0 / height) + 40 + disc * 50;
  const VImage blue = (x + y) * (100.0 / (width + height)) + 120 - seed * 40;
  return red.bandjoin(green)
      .bandjoin(blue)
      .cast(VIPS_FORMAT_UCHAR)
      .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

// 0.2 s of a 1 kHz square wave.
std::vector<uint8_t> Beep() {
  std::vector<int16_t> samples(9600);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = i / 24 % 2 ? 16000 : -16000;
  return WaveFile(samples);
}

// What the player's show presents on the test platform, with the virtual ticks of its
// picture loads (one per pass) and of the sounds it starts.
struct FakeRun {
  std::vector<slidesaver::fake::PresentedFrame> frames;
  std::vector<int64_t> loads;
  std::vector<int64_t> sounds;

  // The show area as presented at `tick`.
  const gdi::Bitmap& ShownAt(int64_t tick) const {
    auto after = std::upper_bound(frames.begin(), frames.end(), tick,
                                  [](int64_t t, const auto& frame) { return t < frame.tick; });
    return std::prev(after)->image;
  }
};

struct Probe {
  std::map<std::string, std::string> video, audio, format;
};

// Runs a command line and returns what it writes on standard output.
std::vector<uint8_t> Output(const std::string& command) {
  std::vector<uint8_t> bytes;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return bytes;
  uint8_t buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  pclose(pipe);
  return bytes;
}

Probe ProbeFile(const fs::path& file) {
  const std::vector<uint8_t> text = Output(
      "ffprobe -v error -count_frames -show_entries "
      "stream=codec_type,codec_name,width,height,pix_fmt,nb_read_frames:format=duration -of "
      "compact=p=0 '" +
      file.string() + "'");
  Probe probe;
  std::istringstream lines(std::string(text.begin(), text.end()));
  for (std::string line; std::getline(lines, line);) {
    std::map<std::string, std::string> fields;
    std::istringstream parts(line);
    for (std::string part; std::getline(parts, part, '|');) {
      const size_t equals = part.find('=');
      if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
    }
    const std::string type = fields["codec_type"];
    (type == "video" ? probe.video : type == "audio" ? probe.audio : probe.format) = fields;
  }
  return probe;
}

// The file's sound track, decoded to 48 kHz mono.
std::vector<int16_t> Sound(const fs::path& file) {
  const std::vector<uint8_t> pcm =
      Output("ffmpeg -v error -i '" + file.string() + "' -f s16le -ac 1 -ar 48000 -");
  std::vector<int16_t> samples(pcm.size() / 2);
  std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
  return samples;
}

// The squared differences of an RGB frame from the expected bitmap, and their count.
std::pair<double, double> SquaredError(const uint8_t* rgb, const gdi::Bitmap& expected) {
  double squares = 0;
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x, rgb += 3) {
      const uint32_t p = expected.Pixel(x, y);
      for (int c = 0; c < 3; ++c) {
        const double d = rgb[c] - static_cast<double>((p >> (16 - 8 * c)) & 0xFF);
        squares += d * d;
      }
    }
  }
  return {squares, 3.0 * expected.Width() * expected.Height()};
}

double Psnr(double squares, double count) {
  return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * count / squares);
}

class RenderTest : public ScratchTest {
 protected:
  // Three slides: a photo with the stretch effect 11; a smaller picture with a sound and the
  // region effect 30; a picture with a hole of the background colour laid over the screen
  // (overlay and transparent), leaving with the random effect 34.
  void SetUp() override {
    ScratchTest::SetUp();
    SmoothPicture(kWidth, kHeight, 0).pngsave((dir_ / "a.png").c_str());
    SmoothPicture(120, 90, 1).pngsave((dir_ / "b.png").c_str());
    const std::vector<double> background = {0x20, 0x30, 0x40};
    VImage holed = SmoothPicture(150, 120, 2).copy_memory();
    holed.draw_rect(background, 30, 30, 60, 45, VImage::option()->set("fill", true));
    holed.pngsave((dir_ / "c.png").c_str());
    WriteBytes(dir_ / "beep.wav", Beep());
    WriteText(dir_ / "show.toml",
              "width = 320\nheight = 240\nbackground = \"#203040\"\n"
              "[[slide]]\npicture = \"a.png\"\ntime = 120\neffect = 11\n"
              "speed = 1\n"
              "[[slide]]\npicture = \"b.png\"\nsound = \"beep.wav\"\n"
              "time = 150\nx = 30\ny = 40\neffect = 30\nspeed = 1\n"
              "[[slide]]\npicture = \"c.png\"\ntime = 100\nx = 100\ny = 80\n"
              "overlay = true\ntransparent = true\neffect = 34\nspeed = 1\n");
    package_ = slidepack::LoadPackage(slidepack::ParseManifest(dir_ / "show.toml"),
                                      {.linux_only = true}, dir_);
    fake_ = RunOnFakePlatform();
  }

  // The same show on the test platform, pictures decoded by the Linux player's loader.
  FakeRun RunOnFakePlatform() {
    slidesaver::fake::FakePlatform fake;
    fs::create_directory(dir_ / "decoded");
    for (const slidesaver::SlideEntry& slide : package_.Slides) {
      const fs::path file = dir_ / "decoded" / slide.PictureFileName;
      const std::vector<uint8_t> bytes = slide.PictureData.Load();
      WriteBytes(file, {bytes.begin(), bytes.end()});
      fake.pictures.Add(slide.PictureFileName,
                        slidesaver::linux_platform::MakeSdlPictureLoader()->Load(file.string()));
    }
    slidesaver::ExtractedShow extracted(fake.files, (dir_ / "temp1").string() + "/");
    slidesaver::Settings settings;
    settings.BgmEnabled = settings.SoundEnabled = -1;
    fake.events.KeyDownAt(30'000);  // two rounds and more
    {
      slidesaver::ShowForm form(fake.platform(), package_, settings, extracted);
      form.Run();
    }
    FakeRun run;
    run.frames = fake.window.Frames();
    for (const auto& call : fake.log.With("LoadPicture")) run.loads.push_back(call.tick);
    for (const auto& call : fake.log.With("sound started /")) run.sounds.push_back(call.tick);
    return run;
  }

  // Pass p (0: the first slide) begins at the tick of picture load p + 1.
  int64_t PassStart(int pass) const { return fake_.loads.at(static_cast<size_t>(pass) + 1); }

  slidesaver::PackageHeader package_;
  FakeRun fake_;
};

TEST_F(RenderTest, PngFramesAreThePlayersFramesAtTheSameVirtualTimes) {
  struct Case {
    std::vector<std::string> args;
    int first_pass, passes;
  };
  const Case cases[] = {{{}, 0, 3}, {{"--from", "2", "--slides", "3"}, 1, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    constexpr int kFps = 100;
    std::vector<std::string> args = {"render", "show.toml", "-o", "frames", "--fps", "100"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunSlidepack(args, dir_);
    ASSERT_EQ(run.status, 0) << run.err;

    const int64_t start = PassStart(c.first_pass), end = PassStart(c.first_pass + c.passes);
    const int64_t frames = ((end - start) * kFps + 999) / 1000;
    ASSERT_EQ(std::distance(fs::directory_iterator(dir_ / "frames"), fs::directory_iterator()),
              frames);
    for (int64_t i = 0; i < frames; ++i) {
      const std::string name = slidepack::render::PngFolderWriter::FrameName(i, frames);
      const VImage png = VImage::new_from_file((dir_ / "frames" / name).c_str());
      ASSERT_EQ(png.width(), kWidth);
      ASSERT_EQ(png.height(), kHeight);
      ASSERT_EQ(png.bands(), 3);
      size_t size = 0;
      auto* rgb = static_cast<uint8_t*>(png.write_to_memory(&size));
      const gdi::Bitmap& expected = fake_.ShownAt(start + i * 1000 / kFps);
      int differing = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          const uint8_t* p = rgb + (y * kWidth + x) * 3;
          differing += (uint32_t{p[0]} << 16 | p[1] << 8 | p[2]) != expected.Pixel(x, y);
        }
      }
      g_free(rgb);
      ASSERT_EQ(differing, 0) << name;
    }
    fs::remove_all(dir_ / "frames");
  }
}

TEST_F(RenderTest, VideoFilesHoldTheFramesAndTheShowsSound) {
  constexpr int kFps = 25;
  const int64_t start = PassStart(0), end = PassStart(3);
  const double duration = (end - start) / 1000.0;
  const int64_t frames = ((end - start) * kFps + 999) / 1000;
  struct Case {
    std::string file;
    std::vector<std::string> args;
    std::string video_codec, audio_codec;  // "" when there is no sound track
    int width, height;
  };
  const Case cases[] = {
      {"show.mp4", {}, "h264", "aac", kWidth, kHeight},
      {"show.webm", {"--size", "160x120"}, "vp9", "opus", 160, 120},
      {"quiet.mp4", {"--no-audio"}, "h264", "", kWidth, kHeight},
      {"show.gif", {}, "gif", "", kWidth, kHeight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<std::string> args = {"render", "show.toml", "-o", c.file, "--fps", "25"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunSlidepack(args, dir_);
    ASSERT_EQ(run.status, 0) << run.err;
    const Probe probe = ProbeFile(dir_ / c.file);
    EXPECT_EQ(probe.video.at("codec_name"), c.video_codec);
    EXPECT_EQ(probe.video.at("width"), std::to_string(c.width));
    EXPECT_EQ(probe.video.at("height"), std::to_string(c.height));
    const int64_t read_frames = std::stoll(probe.video.at("nb_read_frames"));
    if (c.video_codec == "gif") {
      // Unchanged frames are folded into the delay of the frame before, so it lasts as long.
      EXPECT_GT(read_frames, 10);
      EXPECT_LT(read_frames, frames);
      EXPECT_NEAR(std::stod(probe.format.at("duration")), frames / double{kFps}, 0.02);
      // 256 colours chosen for the frame, dithered.
      const std::vector<uint8_t> first = Output("ffmpeg -v error -i '" + (dir_ / c.file).string() +
                                                "' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
      ASSERT_EQ(first.size(), size_t{kWidth} * kHeight * 3);
      const auto [squares, count] = SquaredError(first.data(), fake_.ShownAt(start));
      EXPECT_GE(Psnr(squares, count), 30.0);
    } else {
      EXPECT_EQ(probe.video.at("pix_fmt"), "yuv420p");
      EXPECT_NEAR(static_cast<double>(read_frames), duration * kFps, 1.0);
    }
    if (c.audio_codec.empty()) {
      EXPECT_TRUE(probe.audio.empty());
    } else {
      EXPECT_EQ(probe.audio.at("codec_name"), c.audio_codec);
      // The sound track lasts as long as the show, to within an audio frame.
      const size_t samples = Sound(dir_ / c.file).size();
      EXPECT_NEAR(samples / 48000.0, duration, 0.025);
    }
  }

  // The MP4's pictures are the player's frames, encoded.
  const std::vector<uint8_t> rgb =
      Output("ffmpeg -v error -i '" + (dir_ / "show.mp4").string() +
             "' -f rawvideo -pix_fmt rgb24 -sws_flags accurate_rnd+full_chroma_int -");
  const size_t frame_bytes = size_t{kWidth} * kHeight * 3;
  ASSERT_EQ(rgb.size(), frame_bytes * static_cast<size_t>(frames));
  double squares = 0, count = 0, worst = 99;
  for (int64_t i = 0; i < frames; ++i) {
    const auto [frame_squares, frame_count] = SquaredError(
        rgb.data() + frame_bytes * static_cast<size_t>(i), fake_.ShownAt(start + i * 1000 / kFps));
    squares += frame_squares;
    count += frame_count;
    worst = std::min(worst, Psnr(frame_squares, frame_count));
  }
  EXPECT_GE(Psnr(squares, count), 40.0);
  // 4:2:0 blurs the colour at the edges of narrow strips, as lossless H.264 would; a frame
  // shown at the wrong time differs by far more.
  EXPECT_GE(worst, 32.0);

  // The beep starts with the transition that brings its slide in, to within a frame.
  const std::vector<int16_t> sound = Sound(dir_ / "show.mp4");
  const auto onset =
      std::find_if(sound.begin(), sound.end(), [](int16_t s) { return std::abs(s) > 2000; });
  ASSERT_FALSE(fake_.sounds.empty());
  EXPECT_NEAR((onset - sound.begin()) / 48.0, static_cast<double>(fake_.sounds[0] - start),
              1000.0 / kFps);

  // The index comes before the media data (faststart).
  const std::vector<uint8_t> mp4 = ReadBytes(dir_ / "show.mp4");
  const std::string head(mp4.begin(), mp4.begin() + std::min<size_t>(mp4.size(), 4096));
  EXPECT_NE(head.find("moov"), std::string::npos);
}

TEST_F(RenderTest, MidiMusicPlaysUnderTheShow) {
  fs::copy_file(fs::path(SLIDESAVER_BINARY_DIR) / "demo" / "music.mid", dir_ / "music.mid");
  std::string manifest = ReadText(dir_ / "show.toml");
  WriteText(dir_ / "music.toml", "music = \"music.mid\"\n" + manifest);
  const RunResult run =
      RunSlidepack({"render", "music.toml", "-o", "music.webm", "--fps", "10"}, dir_);
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<int16_t> sound = Sound(dir_ / "music.webm");
  ASSERT_GT(sound.size(), 24000u);
  const auto loud = std::count_if(sound.begin(), sound.begin() + 24000,
                                  [](int16_t s) { return std::abs(s) > 500; });
  EXPECT_GT(loud, 1000) << "the first half second is silent";
}

TEST_F(RenderTest, MistakesAreReportedAndLeaveNothingBehind) {
  fs::create_directory(dir_ / "full");
  WriteText(dir_ / "full" / "keep.txt", "mine");
  slidesaver::PackageHeader broken = package_;
  broken.Slides[1].PictureData = ToBytes({'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c'});
  {
    std::vector<uint8_t> file = {'M', 'Z'};
    slidesaver::WritePackage(broken, [&](std::span<const uint8_t> bytes) {
      file.insert(file.end(), bytes.begin(), bytes.end());
    });
    WriteBytes(dir_ / "broken.scr", file);
  }
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {{"show.toml", "-o", "show.avi"}, "unknown kind of output"},
      {{"show.toml", "-o", "full"}, "is not an empty folder"},
      {{"show.toml", "-o", "odd.mp4", "--size", "161x120"}, "need even sides"},
      {{"show.toml", "-o", "far.mp4", "--from", "4"}, "has 3 slides"},
      {{"broken.scr", "-o", "broken.mp4"}, "the show stopped with an error"},
  };
  const std::vector<std::string> before = ListTree(dir_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args = {"render"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const RunResult run = RunSlidepack(args, dir_);
    EXPECT_EQ(run.status, 1);
    EXPECT_THAT(run.err, ::testing::HasSubstr(c.message));
    EXPECT_EQ(ListTree(dir_), before);
  }
}

// Each signal ends a render within a frame, even in the middle of a slide that stays for
// hours (hundreds of thousands of frames in one move of the show's clock), with nothing left.
TEST_F(RenderTest, AnInterruptedRenderEndsAtOnceAndLeavesNothingBehind) {
  WriteText(dir_ / "long.toml",
            "width = 320\nheight = 240\n[[slide]]\npicture = \"a.png\"\ntime = 36000000\n");
  const std::vector<std::string> before = ListTree(dir_);
  struct Case {
    std::vector<std::string> args;
    int signal;
  };
  const std::vector<std::string> loops = {"--fps", "1000", "--loops", "30"};
  const std::vector<std::string> hours = {"--fps", "25"};  // 900,000 frames of one slide
  const Case cases[] = {
      {{"show.toml", "-o", "long.mp4"}, SIGINT},  {{"show.toml", "-o", "long"}, SIGTERM},
      {{"long.toml", "-o", "hours.mp4"}, SIGINT}, {{"long.toml", "-o", "hours.webm"}, SIGHUP},
      {{"long.toml", "-o", "hours"}, SIGINT},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"render"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const std::vector<std::string>& rate = c.args[0] == "long.toml" ? hours : loops;
    args.insert(args.end(), rate.begin(), rate.end());
    SCOPED_TRACE(c.args[2]);
    const SignalledRun run = SignalSlidepack(args, dir_, c.signal, std::chrono::milliseconds(700));
    ASSERT_TRUE(run.ended_after.has_value()) << "still rendering a minute after the signal";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(ListTree(dir_), before);
  }
}

TEST(StoredNameText, NamesInTheWindowsCodePageReadAsText) {
  const std::pair<std::string, std::string> cases[] = {
      {"sunset.jpg", "sunset.jpg"},
      {"\x83\x41\x83\x43.jpg", "アイ.jpg"},  // Shift-JIS
      {"夕日.jpg", "夕日.jpg"},              // UTF-8 already
      {"caf\xe9.jpg", "caf\xc3\xa9.jpg"},    // not Shift-JIS: Windows-1252
  };
  for (const auto& [stored, text] : cases) EXPECT_EQ(slidepack::StoredNameText(stored), text);
}

}  // namespace
}  // namespace slidepack_test
