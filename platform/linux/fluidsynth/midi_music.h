#pragma once
// MIDI music synthesized by FluidSynth at half the device's usual rate, without chorus, and
// converted to the device's format: a screen saver plays its music for hours, and most of the
// processor time it spends while a slide stays on the screen would go into synthesis. The
// General MIDI soundfonts' samples hold little that the lower rate loses; the reverb stays.
#include <SDL.h>
#include <fluidsynth.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace slidesaver::linux_platform {

class MidiMusic {
 public:
  static constexpr int kSynthesisRate = 22050;

  // A Standard MIDI File (checked by CheckSoundBeforeDecoding) with the soundfont loaded, ready
  // to play; nullptr when the synthesizer cannot start.
  static std::unique_ptr<MidiMusic> Load(std::vector<uint8_t> song, const std::string& soundfont);
  ~MidiMusic();
  MidiMusic(const MidiMusic&) = delete;
  MidiMusic& operator=(const MidiMusic&) = delete;

  // The format of the device the music goes to, for each device opened; false when SDL cannot
  // convert to it.
  bool Connect(int rate, SDL_AudioFormat format, int channels);
  // From the start, once.
  void Play();
  void Stop();
  // Until the last event of the file has been played (or Stop).
  bool Playing() const { return playing_; }

  // SDL_mixer's music hook, on the audio thread: fills the buffer with the music (silence when
  // it does not play).
  static void SDLCALL Render(void* self, Uint8* stream, int bytes);

 private:
  MidiMusic() = default;
  void RenderLocked(Uint8* stream, int bytes);

  std::vector<uint8_t> song_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  SDL_AudioStream* stream_ = nullptr;
  uint8_t silence_ = 0;
  std::vector<int16_t> synthesized_;
  std::atomic<bool> playing_{false};
  std::mutex mutex_;  // the player and the stream, between the show and the audio thread
};

}  // namespace slidesaver::linux_platform
