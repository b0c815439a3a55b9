#pragma once
// What the Linux player does with a sound or music file, for the sound fuzzer and the replay of
// its seeds: the header check both players make, then, once it lets a file through, a slide's
// WAV decoded whole by SDL_mixer (when short, to keep every run short), music opened by
// SDL_mixer's decoder of its format (the player's own choice, MixerMusicType), and MIDI loaded and
// played for a moment by FluidSynth.
#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <cstdlib>
#include <memory>
#include <span>

#include "media/sound_header.h"
#include "platform/linux/fluidsynth/fluid_log.h"
#include "platform/linux/sdl/byte_source_rwops.h"
#include "platform/linux/sdl/mixer_music_type.h"

namespace slidesaver::sound_fuzzing {

inline constexpr uint64_t kDecodedFrames = uint64_t{1} << 18;

// True when FluidSynth took the file and played it.
inline bool PlayMidi(std::span<const uint8_t> song) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_player_t* player = synth ? new_fluid_player(synth) : nullptr;
  const bool played = player &&
                      fluid_player_add_mem(player, song.data(), song.size()) == FLUID_OK &&
                      fluid_player_play(player) == FLUID_OK;
  if (played) {
    float out[2 * 64];
    for (int i = 0; i < 64 && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++i) {
      fluid_synth_write_float(synth, 64, out, 0, 2, out, 1, 2);
    }
  }
  if (player) delete_fluid_player(player);
  if (synth) delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return played;
}

// SDL's audio on its dummy driver, once for the process; false when it can't start.
inline bool StartDecoders() {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  linux_platform::SilenceFluidSynthLog();
  return SDL_Init(SDL_INIT_AUDIO) == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) == 0;
}

// True when the check let the file through for a use, and each decoder it went to took it: a
// slide's WAV decoded whole by SDL_mixer, music opened by its decoder.
inline bool DecodeCheckedSound(std::span<const uint8_t> bytes) {
  auto file = std::make_shared<media::MemorySource>(bytes);
  media::SoundHeader header;
  bool passed = false, decoded = true;
  if (media::CheckSoundBeforeDecoding(*file, media::SoundUse::kSlideSound, &header).empty()) {
    passed = true;
    if (header.frames <= kDecodedFrames) {
      Mix_Chunk* chunk =
          Mix_LoadWAV_RW(linux_platform::ByteSourceRWops(media::PlainWav(file, header)), 1);
      decoded = chunk != nullptr;
      if (chunk) Mix_FreeChunk(chunk);
    }
  }
  if (!media::CheckSoundBeforeDecoding(*file, media::SoundUse::kMusic, &header).empty()) {
    return passed && decoded;
  }
  if (header.format == media::SoundFormat::kMidi) return PlayMidi(bytes);
  std::shared_ptr<const media::ByteSource> input = file;
  if (header.format == media::SoundFormat::kWav) input = media::PlainWav(file, header);
  Mix_Music* music = Mix_LoadMUSType_RW(linux_platform::ByteSourceRWops(input),
                                        linux_platform::MixerMusicType(header.format), 1);
  if (music) Mix_FreeMusic(music);
  return music != nullptr && decoded;
}

}  // namespace slidesaver::sound_fuzzing
