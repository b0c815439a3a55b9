#include "tools/slidepack/render/sound_mixer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace slidepack::render {

namespace {
constexpr size_t kChunk = 4800;  // samples of each channel mixed at a time
constexpr int kChannels = 2;
}  // namespace

void SoundMixer::StartAt(int64_t tick) {
  if (mixed_ > SampleAt(tick)) throw std::logic_error("the sound track starts after its mixing");
  start_ = SampleAt(tick);
}

void SoundMixer::MusicStarts(const std::string& path, int64_t tick) {
  MixUntil(tick);
  music_ = OpenAudioSource(path, slidesaver::media::SoundUse::kMusic);
}

void SoundMixer::MusicStops(int64_t tick) {
  MixUntil(tick);
  music_.reset();
}

bool SoundMixer::MusicPlaying(int64_t tick) {
  MixUntil(tick);
  return music_ != nullptr;
}

void SoundMixer::SoundStarts(const std::string& path, int64_t tick) {
  MixUntil(tick);
  sound_ = OpenAudioSource(path, slidesaver::media::SoundUse::kSlideSound);
}

void SoundMixer::SoundStops(int64_t tick) {
  MixUntil(tick);
  sound_.reset();
}

void SoundMixer::MixUntil(int64_t tick) {
  const int64_t end = SampleAt(tick);
  std::vector<float> mix, voice;
  while (mixed_ < end) {
    const size_t count = static_cast<size_t>(std::min<int64_t>(end - mixed_, kChunk));
    mix.assign(count * kChannels, 0.0f);
    for (std::unique_ptr<AudioSource>* source : {&music_, &sound_}) {
      if (!*source) continue;
      voice.resize(count * kChannels);
      const size_t got = (*source)->Read(voice.data(), count);
      for (size_t i = 0; i < got * kChannels; ++i) mix[i] += voice[i];
      if (got < count) source->reset();  // played to its end
    }
    // Only the part from the track's start is kept.
    const int64_t skip = std::clamp<int64_t>(start_ - mixed_, 0, static_cast<int64_t>(count));
    for (size_t i = static_cast<size_t>(skip) * kChannels; i < mix.size(); ++i) {
      ready_.push_back(std::clamp(mix[i], -1.0f, 1.0f));
    }
    mixed_ += static_cast<int64_t>(count);
  }
}

std::vector<float> SoundMixer::TakeUntil(int64_t tick) {
  MixUntil(tick);
  return std::exchange(ready_, {});
}

}  // namespace slidepack::render
