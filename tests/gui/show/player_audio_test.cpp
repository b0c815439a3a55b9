// The player's music and sounds through SDL's disk audio driver: they reach the output when
// the settings allow it, nothing does when they turn it off, and the audio device is closed
// while nothing plays.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <thread>

#include "tests/gui/show/player_session.h"

namespace slidesaver::gui_testing {
namespace {

using namespace std::chrono_literals;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A 440 Hz tone of the given length, 16-bit mono PCM at 22050 Hz.
std::vector<uint8_t> ToneWav(double seconds = 1.0) {
  const uint32_t rate = 22050, samples = static_cast<uint32_t>(rate * seconds);
  std::vector<uint8_t> w = {'R', 'I', 'F', 'F'};
  Put32(w, 36 + samples * 2);
  for (char c : std::string("WAVEfmt ")) w.push_back(static_cast<uint8_t>(c));
  Put32(w, 16);
  Put16(w, 1);  // PCM
  Put16(w, 1);  // mono
  Put32(w, rate);
  Put32(w, rate * 2);
  Put16(w, 2);
  Put16(w, 16);
  for (char c : std::string("data")) w.push_back(static_cast<uint8_t>(c));
  Put32(w, samples * 2);
  for (uint32_t i = 0; i < samples; ++i) {
    const double v = 12000.0 * std::sin(2.0 * M_PI * 440.0 * i / rate);
    Put16(w, static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return w;
}

// A standard MIDI file with one piano note of about a second.
std::vector<uint8_t> OneNoteMidi() {
  const std::vector<uint8_t> track = {0x00, 0xC0, 0x00,              // piano
                                      0x00, 0x90, 0x3C, 0x70,        // note on C4
                                      0x83, 0x00, 0x80, 0x3C, 0x40,  // 384 ticks later off
                                      0x00, 0xFF, 0x2F, 0x00};       // end of track
  std::vector<uint8_t> m = {
      'M', 'T', 'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0,   0x60, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
  m.insert(m.end(), track.begin(), track.end());
  return m;
}

// What the player's audio device writes. SDL's disk driver writes into a named pipe, read here
// for as long as the capture lasts, across each time the player opens its device anew (the
// driver would start a plain file afresh at each open). Holding the pipe open for writing too,
// the reader sees no end of file while the player's device is closed.
class AudioCapture {
 public:
  explicit AudioCapture(const std::string& path) {
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    fd_ = open(path.c_str(), O_RDWR | O_NONBLOCK);
    EXPECT_GE(fd_, 0);
    reader_ = std::thread([this] { Read(); });
  }
  ~AudioCapture() { Finish(); }

  std::vector<uint8_t> Finish() {
    if (reader_.joinable()) {
      stop_ = true;
      reader_.join();
      close(fd_);
    }
    return data_;
  }

 private:
  void Read() {
    std::vector<uint8_t> buffer(1 << 16);
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      const ssize_t n = read(fd_, buffer.data(), buffer.size());
      if (n > 0) data_.insert(data_.end(), buffer.begin(), buffer.begin() + n);
    }
  }

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::vector<uint8_t> data_;
  std::thread reader_;
};

// The threads SDL runs for an open audio device.
size_t AudioThreads(pid_t pid) {
  size_t count = 0;
  std::error_code error;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind("SDLAudio", 0) == 0) ++count;
  }
  return count;
}

// Stretches of sound in the output: from the first to the last non-zero byte of each run that
// more than a tenth of a second of zeros separates from the next.
std::vector<size_t> SoundLengths(const std::vector<uint8_t>& audio) {
  constexpr size_t kGap = 44100 * 4 / 10;
  std::vector<size_t> lengths;
  size_t first = 0, last = 0;
  bool in_sound = false;
  for (size_t i = 0; i < audio.size(); ++i) {
    if (audio[i] == 0) continue;
    if (in_sound && i - last > kGap) {
      lengths.push_back(last + 1 - first);
      in_sound = false;
    }
    if (!in_sound) first = i;
    in_sound = true;
    last = i;
  }
  if (in_sound) lengths.push_back(last + 1 - first);
  return lengths;
}

class PlayerAudio : public ::testing::Test {
 protected:
  // Plays a show with the given music for about two seconds (then calls at_end, if any);
  // returns the audio written.
  std::vector<uint8_t> PlayAndRecord(std::vector<uint8_t> music, int16_t bgm_enabled,
                                     int32_t display_time = 600000,
                                     std::chrono::milliseconds length = 2s,
                                     const std::function<void()>& at_end = nullptr,
                                     const std::string& name = "music") {
    PackageHeader show;
    show.ShowWidth = 200;
    show.ShowHeight = 100;
    show.SlideCount = 1;
    show.BgmFileName = name;
    show.BgmData = Bytes::Copy(music);
    SlideEntry a;
    a.PictureFileName = "0";
    a.PictureData = Bytes::Copy(MakePicture(session.folder(), "a.bmp", 200, 100, "#ffffff"));
    a.DisplayTime = display_time;
    show.Slides = {a};
    Shell("xdotool mousemove 10 10");
    session.Write(show, std::make_pair(bgm_enabled, int16_t{-1}));
    AudioCapture& output = StartCaptured();
    EXPECT_TRUE(session.WaitForScreen(
        [](const Screenshot& s) { return s.Pixel(512, 384) == 0xFFFFFF; }, 20s));
    std::this_thread::sleep_for(length);
    if (at_end) at_end();
    session.Signal(SIGTERM);
    EXPECT_EQ(session.WaitForExit(10s), 0);
    return output.Finish();
  }

  AudioCapture& StartCaptured() {
    const std::string output = session.folder() + "/audio.pipe";
    capture.emplace(output);
    session.Start({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", output}});
    return *capture;
  }

  static size_t NonZero(const std::vector<uint8_t>& audio) {
    return static_cast<size_t>(
        std::count_if(audio.begin(), audio.end(), [](uint8_t b) { return b != 0; }));
  }

  PlayerSession session;
  std::optional<AudioCapture> capture;
};

TEST_F(PlayerAudio, WaveMusicReachesTheOutput) {
  const std::vector<uint8_t> audio = PlayAndRecord(ToneWav(), -1);
  EXPECT_GT(NonZero(audio), 10000u);
}

// The music's command names its file in quotes; a quote in the name does not end it.
TEST_F(PlayerAudio, MusicNamedWithAQuoteReachesTheOutput) {
  const std::vector<uint8_t> audio =
      PlayAndRecord(ToneWav(), -1, 600000, 2s, nullptr, "say \"hi\".wav");
  EXPECT_GT(NonZero(audio), 10000u);
}

// The note of about a second is synthesized and played whole; when the music has ended, the
// device closes.
TEST_F(PlayerAudio, MidiMusicIsPlayedThroughTheSoundFont) {
  const std::vector<uint8_t> audio = PlayAndRecord(OneNoteMidi(), -1, 600000, 3s, [this] {
    // The synthesizer's last voice fades out before the music counts as ended.
    for (int i = 0; i < 50 && AudioThreads(session.pid()) > 0; ++i) {
      std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(AudioThreads(session.pid()), 0u);
  });
  // The note whole; the reverb's last faint samples may stand apart from it.
  const std::vector<size_t> sounds = SoundLengths(audio);
  ASSERT_FALSE(sounds.empty());
  EXPECT_GT(sounds[0], 44100u * 4);  // a second of 16-bit stereo
}

TEST_F(PlayerAudio, MusicThatEndsIsRestartedAfterTheNextTransition) {
  // Half a second of music and a slide that passes into itself every 300 ms: the music is
  // restarted after each transition that finds it stopped, so the output never falls silent
  // for long.
  const std::vector<uint8_t> audio = PlayAndRecord(ToneWav(0.5), -1, 300, 3s);
  constexpr size_t kSecond = 44100 * 2 * 2;  // the mixer's output: 16-bit stereo
  ASSERT_GT(audio.size(), 2 * kSecond);
  const size_t chunk = kSecond / 2;
  for (size_t at = kSecond; at + chunk <= audio.size() - kSecond / 4; at += chunk) {
    const std::vector<uint8_t> part(audio.begin() + at, audio.begin() + at + chunk);
    EXPECT_GT(NonZero(part), 1000u) << "silent from " << at / (kSecond / 1000) << " ms";
  }
}

TEST_F(PlayerAudio, MusicSwitchedOffLeavesTheOutputSilent) {
  const std::vector<uint8_t> audio = PlayAndRecord(ToneWav(), 0);
  EXPECT_EQ(NonZero(audio), 0u);
}

// Two slides, each with its sound of 0.4 s, and no music: after each sound the device closes
// (no audio thread while the slide stays), and the next sound opens it again and plays whole.
TEST_F(PlayerAudio, TheDeviceClosesWhileNothingPlaysAndEachSoundPlaysWhole) {
  PackageHeader show;
  show.ShowWidth = 200;
  show.ShowHeight = 100;
  show.SlideCount = 2;
  const std::vector<uint8_t> tone = ToneWav(0.4);
  for (const char* colour : {"#ffffff", "#0000ff"}) {
    SlideEntry slide;
    slide.PictureFileName = std::to_string(show.Slides.size());
    slide.PictureData = Bytes::Copy(
        MakePicture(session.folder(), slide.PictureFileName + ".bmp", 200, 100, colour));
    slide.SoundFileName = slide.PictureFileName + ".wav";
    slide.SoundData = Bytes::Copy(tone);
    slide.DisplayTime = 4000;
    show.Slides.push_back(slide);
  }
  Shell("xdotool mousemove 10 10");
  session.Write(show, std::make_pair(int16_t{-1}, int16_t{-1}));
  AudioCapture& output = StartCaptured();
  // The first slide comes without its sound: the device is not open.
  ASSERT_TRUE(session.WaitForScreen(
      [](const Screenshot& s) { return s.Pixel(512, 384) == 0xFFFFFF; }, 20s));
  EXPECT_EQ(AudioThreads(session.pid()), 0u);
  for (const uint32_t shown : {0x0000FFu, 0xFFFFFFu}) {
    ASSERT_TRUE(session.WaitForScreen(
        [shown](const Screenshot& s) { return s.Pixel(512, 384) == shown; }, 10s));
    std::this_thread::sleep_for(1200ms);  // the sound, and the silence before the close
    EXPECT_EQ(AudioThreads(session.pid()), 0u) << std::hex << shown;
  }
  session.Signal(SIGTERM);
  EXPECT_EQ(session.WaitForExit(10s), 0);
  // The stop during the second display still brings in the next slide, whose sound the end of
  // the show cuts short.
  const std::vector<size_t> sounds = SoundLengths(output.Finish());
  constexpr size_t kToneBytes = 44100 * 4 * 4 / 10;  // 0.4 s of 16-bit stereo
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_LE(sounds.size(), 3u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_GT(sounds[i], kToneBytes * 97 / 100) << i;
    EXPECT_LE(sounds[i], kToneBytes) << i;
  }
}

}  // namespace
}  // namespace slidesaver::gui_testing
