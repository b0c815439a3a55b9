#pragma once
// The show's sound track: the music and the slide sounds mixed at the ticks the show starts and
// stops them (one music and one sound at a time, as the player has them), added and clipped as
// SDL2_mixer mixes. Mixing follows the show's clock: whatever happens at a tick only changes
// the samples from that tick on, so the track up to the show's present tick is final.
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tools/slidepack/render/audio_source.h"
#include "tools/slidepack/render/offscreen_platform.h"

namespace slidepack::render {

class SoundMixer : public SoundTrack {
 public:
  // The track handed out starts at tick `start`; what plays before it is mixed and dropped.
  explicit SoundMixer(int64_t start) : start_(SampleAt(start)), mixed_(0) {}
  // A track whose start StartAt() tells once it is known; until then nothing is kept.
  SoundMixer() : start_(std::numeric_limits<int64_t>::max()), mixed_(0) {}
  // Must come before anything from `tick` on is mixed.
  void StartAt(int64_t tick);

  void MusicStarts(const std::string& path, int64_t tick) override;
  void MusicStops(int64_t tick) override;
  bool MusicPlaying(int64_t tick) override;
  void SoundStarts(const std::string& path, int64_t tick) override;
  void SoundStops(int64_t tick) override;

  // The samples from the end of the last call up to `tick` (left and right alternating).
  std::vector<float> TakeUntil(int64_t tick);

  static int64_t SampleAt(int64_t tick) { return tick * (kAudioRate / 1000); }

 private:
  void MixUntil(int64_t tick);

  int64_t start_;                               // the first sample handed out
  int64_t mixed_;                               // the first sample not mixed yet
  std::unique_ptr<AudioSource> music_, sound_;  // null when nothing plays
  std::vector<float> ready_;                    // mixed, not taken
};

}  // namespace slidepack::render
