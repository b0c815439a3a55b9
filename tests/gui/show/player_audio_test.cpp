// The player's music through SDL's disk audio driver: it reaches the output when the settings
// allow it, and nothing does when they turn it off.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <filesystem>
#include <fstream>
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

class PlayerAudio : public ::testing::Test {
 protected:
  // Plays a show with the given music for about two seconds; returns the audio written.
  std::vector<uint8_t> PlayAndRecord(std::vector<uint8_t> music, int16_t bgm_enabled,
                                     int32_t display_time = 600000,
                                     std::chrono::milliseconds length = 2s) {
    PackageHeader show;
    show.ShowWidth = 200;
    show.ShowHeight = 100;
    show.SlideCount = 1;
    show.BgmFileName = "music";
    show.BgmData = Bytes::Copy(music);
    SlideEntry a;
    a.PictureFileName = "0";
    a.PictureData = Bytes::Copy(MakePicture(session.folder(), "a.bmp", 200, 100, "#ffffff"));
    a.DisplayTime = display_time;
    show.Slides = {a};
    Shell("xdotool mousemove 10 10");
    session.Write(show, std::make_pair(bgm_enabled, int16_t{-1}));
    const std::string output = session.folder() + "/audio.raw";
    session.Start({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", output}});
    EXPECT_TRUE(session.WaitForScreen(
        [](const Screenshot& s) { return s.Pixel(512, 384) == 0xFFFFFF; }, 20s));
    std::this_thread::sleep_for(length);
    session.Signal(SIGTERM);
    EXPECT_EQ(session.WaitForExit(10s), 0);
    std::ifstream in(output, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  static size_t NonZero(const std::vector<uint8_t>& audio) {
    return static_cast<size_t>(
        std::count_if(audio.begin(), audio.end(), [](uint8_t b) { return b != 0; }));
  }

  PlayerSession session;
};

TEST_F(PlayerAudio, WaveMusicReachesTheOutput) {
  const std::vector<uint8_t> audio = PlayAndRecord(ToneWav(), -1);
  EXPECT_GT(NonZero(audio), 10000u);
}

TEST_F(PlayerAudio, MidiMusicIsPlayedThroughTheSoundFont) {
  const std::vector<uint8_t> audio = PlayAndRecord(OneNoteMidi(), -1);
  EXPECT_GT(NonZero(audio), 10000u);
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

}  // namespace
}  // namespace slidesaver::gui_testing
