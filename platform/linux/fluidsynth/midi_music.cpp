#include "platform/linux/fluidsynth/midi_music.h"

#include <cstring>

#include "platform/linux/fluidsynth/fluid_log.h"

namespace slidesaver::linux_platform {
namespace {
// Frames synthesized at a time: a twentieth of a second.
constexpr int kSynthesisFrames = 1024;
}  // namespace

std::unique_ptr<MidiMusic> MidiMusic::Load(std::vector<uint8_t> song,
                                           const std::string& soundfont) {
  if (soundfont.empty()) return nullptr;
  static const bool silenced = (SilenceFluidSynthLog(), true);
  (void)silenced;
  std::unique_ptr<MidiMusic> music(new MidiMusic);
  music->song_ = std::move(song);
  music->settings_ = new_fluid_settings();
  if (!music->settings_) return nullptr;
  fluid_settings_setnum(music->settings_, "synth.sample-rate", kSynthesisRate);
  // As loud as SDL_mixer plays MIDI at full volume (FluidSynth's own default is 0.2).
  fluid_settings_setnum(music->settings_, "synth.gain", 1.2);
  // The chorus costs a tenth of the synthesis and is barely heard on a piano or strings.
  fluid_settings_setint(music->settings_, "synth.chorus.active", 0);
  music->synth_ = new_fluid_synth(music->settings_);
  if (!music->synth_ || fluid_synth_sfload(music->synth_, soundfont.c_str(), 1) == FLUID_FAILED) {
    return nullptr;
  }
  music->synthesized_.resize(static_cast<size_t>(kSynthesisFrames) * 2);
  return music;
}

MidiMusic::~MidiMusic() {
  if (player_) delete_fluid_player(player_);
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
  if (stream_) SDL_FreeAudioStream(stream_);
}

bool MidiMusic::Connect(int rate, SDL_AudioFormat format, int channels) {
  std::lock_guard lock(mutex_);
  if (stream_) SDL_FreeAudioStream(stream_);
  stream_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, kSynthesisRate, format,
                               static_cast<Uint8>(channels), rate);
  // Unsigned 8-bit silence is 0x80; every other format's is 0.
  silence_ = format == AUDIO_U8 ? 0x80 : 0;
  return stream_ != nullptr;
}

void MidiMusic::Play() {
  std::lock_guard lock(mutex_);
  // A new player each time: it starts at the file's beginning whatever the last one did.
  if (player_) delete_fluid_player(player_);
  fluid_synth_system_reset(synth_);
  if (stream_) SDL_AudioStreamClear(stream_);
  player_ = new_fluid_player(synth_);
  playing_ = player_ && fluid_player_add_mem(player_, song_.data(), song_.size()) == FLUID_OK &&
             fluid_player_play(player_) == FLUID_OK;
}

void MidiMusic::Stop() {
  std::lock_guard lock(mutex_);
  if (player_) fluid_player_stop(player_);
  fluid_synth_all_sounds_off(synth_, -1);
  playing_ = false;
}

void SDLCALL MidiMusic::Render(void* self, Uint8* stream, int bytes) {
  static_cast<MidiMusic*>(self)->RenderLocked(stream, bytes);
}

void MidiMusic::RenderLocked(Uint8* stream, int bytes) {
  std::lock_guard lock(mutex_);
  int filled = 0;
  if (playing_ && stream_) {
    while (SDL_AudioStreamAvailable(stream_) < bytes &&
           fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING) {
      fluid_synth_write_s16(synth_, kSynthesisFrames, synthesized_.data(), 0, 2,
                            synthesized_.data(), 1, 2);
      SDL_AudioStreamPut(stream_, synthesized_.data(),
                         static_cast<int>(synthesized_.size() * sizeof(int16_t)));
    }
    if (fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) SDL_AudioStreamFlush(stream_);
    filled = std::max(SDL_AudioStreamGet(stream_, stream, bytes), 0);
    // The file's last event has played and all it made has been handed out: the music ends.
    if (filled < bytes && fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) {
      playing_ = false;
    }
  }
  std::memset(stream + filled, silence_, static_cast<size_t>(bytes - filled));
}

}  // namespace slidesaver::linux_platform
