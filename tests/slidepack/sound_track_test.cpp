// The sound track of a render, as the player's audio would play it: one music at a time, played
// once and started again by the show; one sound at a time, a new one or a purge ending it;
// everything added and clipped, from the track's first tick on.
#include <gtest/gtest.h>

#include "platform/audio.h"
#include "slidepack_test_support.h"
#include "tools/slidepack/render/offscreen_platform.h"
#include "tools/slidepack/render/sound_mixer.h"

namespace slidepack_test {
namespace {

using namespace slidepack::render;

class SoundTrackTest : public ScratchTest {
 protected:
  // `ms` milliseconds of a constant level.
  std::string Level(const std::string& name, int ms, double level) {
    WriteBytes(dir_ / name, WaveFile(std::vector<int16_t>(static_cast<size_t>(ms) * 48,
                                                          static_cast<int16_t>(level * 32768))));
    return (dir_ / name).string();
  }
  // Moves the show's clock to `tick`.
  void At(int64_t tick) { clock_.YieldUntil(static_cast<ShowTick>(tick - 1)); }

  OffscreenShowWindow window_{1, 1};
  OffscreenEventLoop clock_{window_};
};

TEST_F(SoundTrackTest, PlaysTheShowsMusicAndSoundsAsThePlayerWould) {
  const std::string music = Level("music.wav", 300, 0.25);
  const std::string chime = Level("chime.wav", 200, 0.5);
  const std::string gong = Level("gong.wav", 1000, 0.875);
  SoundMixer mixer(100);  // the track starts at tick 100
  OffscreenAudio audio(clock_, &mixer);

  audio.StartMusic(music);
  At(50);
  audio.PlaySound(chime);
  At(200);
  EXPECT_FALSE(audio.MusicEnded());
  audio.PlaySound(gong);  // ends the chime
  At(400);
  // Played once to its end at 300; the show's check starts it again.
  EXPECT_TRUE(audio.MusicEnded());
  audio.RestartMusic();
  At(500);
  audio.StopSound();
  At(600);
  audio.CloseMusic();

  const std::vector<float> track = mixer.TakeUntil(800);
  ASSERT_EQ(track.size(), 700u * 48 * 2);
  const std::pair<int64_t, float> levels[] = {
      {110, 0.75f},   // music and chime, both begun before the track
      {210, 1.0f},    // music and gong, clipped
      {350, 0.875f},  // the gong alone after the music's end
      {450, 1.0f},    // the music again, with the gong
      {550, 0.25f},   // the gong purged
      {700, 0.0f},    // the music closed
  };
  for (const auto& [tick, level] : levels) {
    const size_t at = static_cast<size_t>(tick - 100) * 48 * 2;
    EXPECT_NEAR(track[at], level, 1e-3) << tick;
    EXPECT_NEAR(track[at + 1], level, 1e-3) << tick;  // mono on both sides
  }
  EXPECT_TRUE(mixer.TakeUntil(800).empty());
}

// A music file whose name holds a '"' plays.
TEST_F(SoundTrackTest, MusicNamedWithAQuotePlays) {
  const std::string music = Level("say \"hi\".wav", 300, 0.25);
  SoundMixer mixer(0);
  OffscreenAudio audio(clock_, &mixer);
  audio.StartMusic(music);
  At(100);
  EXPECT_FALSE(audio.MusicEnded());
  EXPECT_NEAR(mixer.TakeUntil(100).at(50 * 48 * 2), 0.25f, 1e-3);
}

// Damaged, missing, and outside the bounds: a WAV of 1 Hz (which took gigabytes to convert)
// and one of 0 channels, as music and as a slide's sound.
TEST_F(SoundTrackTest, MusicThatCantBePlayedIsSilenceAndNeverPlays) {
  WriteText(dir_ / "broken.mid", "MThd but nothing more");
  WriteBytes(dir_ / "slow.wav", FakeWave(1, 2444, 1));
  std::vector<uint8_t> no_channels = FakeWave(1);
  no_channels[22] = 0;
  WriteBytes(dir_ / "none.wav", no_channels);
  SoundMixer mixer(0);
  OffscreenAudio audio(clock_, &mixer);
  for (const char* name : {"slow.wav", "none.wav"}) {
    const std::string path = (dir_ / name).string();
    audio.PlaySound(path);
    At(clock_.Now() + 100);
  }
  for (const char* name : {"broken.mid", "missing.ogg", "slow.wav", "none.wav"}) {
    SCOPED_TRACE(name);
    audio.StartMusic((dir_ / name).string());
    At(clock_.Now() + 100);
    EXPECT_TRUE(audio.MusicEnded());
    audio.CloseMusic();
  }
  for (float sample : mixer.TakeUntil(clock_.Now())) ASSERT_NEAR(sample, 0.0f, 1e-6f);
}

}  // namespace
}  // namespace slidepack_test
