// libFuzzer target for sounds and music: the header check both players make, then what the
// Linux player hands its decoders once the check lets a file through: a slide's WAV decoded
// whole by SDL_mixer (when short, to keep every run short), music opened by SDL_mixer's
// decoder of its format, and MIDI loaded and played for a moment by FluidSynth.
#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <cstdlib>
#include <memory>

#include "platform/linux/fluidsynth/fluid_log.h"
#include "platform/linux/sdl/byte_source_rwops.h"
#include "platform/sound_header.h"

namespace {

using namespace slidesaver;

constexpr uint64_t kFuzzedFrames = uint64_t{1} << 18;

void PlayMidi(const uint8_t* data, size_t size) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  fluid_settings_setint(settings, "synth.lock-memory", 0);
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_player_t* player = synth ? new_fluid_player(synth) : nullptr;
  if (player && fluid_player_add_mem(player, data, size) == FLUID_OK &&
      fluid_player_play(player) == FLUID_OK) {
    float out[2 * 64];
    for (int i = 0; i < 64 && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING; ++i) {
      fluid_synth_write_float(synth, 64, out, 0, 2, out, 1, 2);
    }
  }
  if (player) delete_fluid_player(player);
  if (synth) delete_fluid_synth(synth);
  delete_fluid_settings(settings);
}

Mix_MusicType MixerType(platform::SoundFormat format) {
  switch (format) {
    case platform::SoundFormat::kWav:
      return MUS_WAV;
    case platform::SoundFormat::kMidi:
      return MUS_MID;
    case platform::SoundFormat::kOggVorbis:
      return MUS_OGG;
    case platform::SoundFormat::kMp3:
      break;
  }
  return MUS_MP3;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0) {
    std::abort();
  }
  linux_platform::SilenceFluidSynthLog();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto file = std::make_shared<platform::MemorySource>(std::span(data, size));
  platform::SoundHeader header;
  if (platform::CheckSoundBeforeDecoding(*file, platform::SoundUse::kSlideSound, &header).empty() &&
      header.frames <= kFuzzedFrames) {
    if (Mix_Chunk* chunk =
            Mix_LoadWAV_RW(linux_platform::ByteSourceRWops(platform::PlainWav(file, header)), 1)) {
      Mix_FreeChunk(chunk);
    }
  }
  if (!platform::CheckSoundBeforeDecoding(*file, platform::SoundUse::kMusic, &header).empty()) {
    return 0;
  }
  if (header.format == platform::SoundFormat::kMidi) {
    PlayMidi(data, size);
    return 0;
  }
  std::shared_ptr<const platform::ByteSource> input = file;
  if (header.format == platform::SoundFormat::kWav) input = platform::PlainWav(file, header);
  if (Mix_Music* music =
          Mix_LoadMUSType_RW(linux_platform::ByteSourceRWops(input), MixerType(header.format), 1)) {
    Mix_FreeMusic(music);
  }
  return 0;
}
