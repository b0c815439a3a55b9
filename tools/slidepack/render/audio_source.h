#pragma once
// A sound or music file as the sound track takes it: 48 kHz stereo, from its start.
#include <cstddef>
#include <memory>
#include <string>

#include "media/sound_header.h"

namespace slidepack::render {

inline constexpr int kAudioRate = 48000;  // samples per second of each of the two channels

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Up to `frames` samples of each channel into `out`, left and right alternating, as floats
  // in -1 to 1. Fewer only at the end.
  virtual size_t Read(float* out, size_t frames) = 0;
};

// A file the player plays for this use, after the same header check (a slide's sound in WAV;
// music in WAV, MIDI, Ogg Vorbis or MP3). MIDI is played by libfluidsynth through the
// soundfont the Linux player uses, at the gain SDL2_mixer gives it; anything else is decoded
// by FFmpeg's libraries, a piece at a time. Null when the file can't be played: the player is
// silent then too.
std::unique_ptr<AudioSource> OpenAudioSource(const std::string& path,
                                             slidesaver::media::SoundUse use);

}  // namespace slidepack::render
