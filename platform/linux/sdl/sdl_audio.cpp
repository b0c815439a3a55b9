#include "platform/linux/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "media/sound_header.h"
#include "platform/linux/fluidsynth/midi_music.h"
#include "platform/linux/linux_platform.h"
#include "platform/linux/sdl/byte_source_rwops.h"
#include "platform/linux/sdl/mixer_music_type.h"
#include "platform/linux/sound_fonts.h"

namespace slidesaver::linux_platform {
namespace {

constexpr int kSoundChannel = 0;
constexpr int kFrequency = 44100;
constexpr int kChunkFrames = 4096;  // one mixing pass: 93 ms
// Mixing passes of silence before the device closes: the end of the last sound has left the
// device's buffers by then, so closing cuts nothing off.
constexpr int kQuietPassesBeforeClose = 3;
// Slide sounds decoded for the device are kept up to this many bytes together: a show that
// comes back to a sound plays it without decoding and converting it again.
constexpr uint32_t kKeptSoundBytes = 16u << 20;

// A file that passed the header check for this use, open; null when it did not.
struct CheckedFile {
  std::shared_ptr<const media::ByteSource> source;
  media::SoundHeader header;
};
std::optional<CheckedFile> OpenChecked(platform::FileSystem& files, const std::string& path,
                                       media::SoundUse use) {
  CheckedFile file;
  file.source = files.OpenForReading(path).value_or(nullptr);
  if (!file.source || !media::CheckSoundBeforeDecoding(*file.source, use, &file.header).empty()) {
    return std::nullopt;
  }
  return file;
}

// What SDL_mixer's loaders read: a WAV reduced to its format and samples, anything else as
// it is.
SDL_RWops* DecoderInput(const CheckedFile& file) {
  if (file.header.format != media::SoundFormat::kWav) return ByteSourceRWops(file.source);
  return ByteSourceRWops(media::PlainWav(file.source, file.header));
}

// The audio device is open only while something plays: an open device wakes SDL's audio thread
// for every mixing pass, silent or not, and a screen saver shows a slide for hours. When a sound
// and the music have both ended, the mixer counts silent passes on the audio thread and asks the
// show thread to close the device; the next sound or play opens it again. Music is loaded
// again after a close, since a new device may mix at another rate. MIDI music is synthesized
// by MidiMusic, hooked into the mixer in place of SDL_mixer's music.
class SdlAudio : public platform::Audio {
 public:
  explicit SdlAudio(std::shared_ptr<SdlContext> sdl)
      : sdl_(std::move(sdl)), files_(MakePosixFileSystem()) {
    close_call_ = sdl_->Calls().Add([this] { CloseIfQuiet(); });
    if (const char* font = FindSoundFont()) soundfont_ = font;
  }

  ~SdlAudio() override {
    sdl_->Calls().Remove(close_call_);
    CloseDevice();
    if (music_ && music_->loaded) Mix_FreeMusic(music_->loaded);
    ForgetKeptSounds();
    if (mixer_started_) Mix_Quit();
  }

  void StartMusic(const std::string& path) override {
    // One music at a time: while one is open, another file is not opened (as MCI refuses an
    // alias in use), and the open one plays.
    if (!music_) Open(path);
    Play();
  }

  bool MusicEnded() override { return music_ && !Playing(*music_); }

  void RestartMusic() override {
    if (music_ && open_ && playing_) Halt(*music_);
    Play();
  }

  void CloseMusic() override {
    if (!music_) return;
    if (playing_) {
      if (open_) Halt(*music_);
      playing_ = false;
    }
    if (open_ && hooked_ == music_->midi.get()) Hook(nullptr);
    if (music_->loaded) Mix_FreeMusic(music_->loaded);
    music_.reset();
  }

  void StopSound() override {
    // Stops what plays, if anything does: there is nothing when the device is closed.
    if (open_) EndSound();
  }

  void PlaySound(const std::string& path) override {
    if (!EnsureOpen()) return;
    EndSound();  // a new sound ends the one playing
    Mix_Chunk* chunk = FindKept(path);
    if (!chunk) {
      // Only a WAV within the bounds is decoded; anything else is silence.
      const auto file = OpenChecked(*files_, path, media::SoundUse::kSlideSound);
      SDL_RWops* input = file ? DecoderInput(*file) : nullptr;
      chunk = input ? Mix_LoadWAV_RW(input, 1) : nullptr;
      if (!chunk) return;
      if (!Keep(path, chunk)) sound_ = chunk;  // freed when the next sound comes
    }
    Mix_PlayChannel(kSoundChannel, chunk, 0);
  }

 private:
  struct Music {
    CheckedFile file;
    std::unique_ptr<MidiMusic> midi;  // MIDI music, once loaded
    bool connected = false;           // the MIDI music knows the open device's format
    Mix_Music* loaded = nullptr;      // other music, while the device is open
  };
  struct Kept {
    std::string path;
    Mix_Chunk* chunk;
  };

  // The kept sound of this path, now the most recently used; null when none is kept.
  Mix_Chunk* FindKept(const std::string& path) {
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
      if (it->path == path) {
        kept_.splice(kept_.begin(), kept_, it);
        return it->chunk;
      }
    }
    return nullptr;
  }

  // Keeps the chunk when it fits, forgetting the least recently used ones; false when it
  // is too large to keep.
  bool Keep(const std::string& path, Mix_Chunk* chunk) {
    if (chunk->alen > kKeptSoundBytes) return false;
    while (kept_bytes_ + chunk->alen > kKeptSoundBytes) {
      kept_bytes_ -= kept_.back().chunk->alen;
      Mix_FreeChunk(kept_.back().chunk);
      kept_.pop_back();
    }
    kept_.push_front({path, chunk});
    kept_bytes_ += chunk->alen;
    return true;
  }

  void ForgetKeptSounds() {
    for (const Kept& kept : kept_) Mix_FreeChunk(kept.chunk);
    kept_.clear();
    kept_bytes_ = 0;
  }

  void EndSound() {
    Mix_HaltChannel(kSoundChannel);
    if (sound_) {
      Mix_FreeChunk(sound_);
      sound_ = nullptr;
    }
  }

  void Open(const std::string& path) {
    // The file must be music the mixer plays, within the bounds, or no music is opened.
    auto file = OpenChecked(*files_, path, media::SoundUse::kMusic);
    if (!file) return;
    Music music;
    music.file = std::move(*file);
    if (!EnsureOpen() || !Load(music)) {
      if (music.loaded) Mix_FreeMusic(music.loaded);
      return;
    }
    music_ = std::move(music);
  }

  // Once: the show restarts the music when it has ended.
  void Play() {
    if (!music_ || Playing(*music_) || !EnsureOpen() || !Load(*music_)) return;
    Hook(music_->midi.get());
    if (music_->midi) {
      music_->midi->Play();
    } else {
      Mix_PlayMusic(music_->loaded, 1);
    }
    playing_ = true;
  }

  // Readies the music for the open device.
  bool Load(Music& music) {
    if (!music.midi && !music.loaded) {
      if (music.file.header.format == media::SoundFormat::kMidi && !soundfont_.empty()) {
        std::vector<uint8_t> song(static_cast<size_t>(music.file.source->Size()));
        try {
          music.file.source->ReadAt(0, song);
        } catch (const media::ReadError&) {
          return false;
        }
        music.midi = MidiMusic::Load(std::move(song), soundfont_);
      } else if (SDL_RWops* input = DecoderInput(music.file)) {
        // Streamed by the decoder of the format the check found, and by no other.
        music.loaded = Mix_LoadMUSType_RW(input, MixerMusicType(music.file.header.format), 1);
      }
    }
    if (!music.midi) return music.loaded != nullptr;
    if (!music.connected) {
      int rate = 0, channels = 0;
      Uint16 format = 0;
      music.connected = Mix_QuerySpec(&rate, &format, &channels) != 0 &&
                        music.midi->Connect(rate, format, channels);
    }
    return music.connected;
  }

  // MIDI music plays through the mixer's music hook, other music through the mixer itself.
  void Hook(MidiMusic* midi) {
    if (hooked_ == midi) return;
    if (midi) {
      Mix_HaltMusic();
      Mix_HookMusic(MidiMusic::Render, midi);
    } else {
      Mix_HookMusic(nullptr, nullptr);
    }
    hooked_ = midi;
  }

  void Halt(Music& music) {
    if (music.midi) {
      music.midi->Stop();
    } else {
      Mix_HaltMusic();
    }
  }

  bool Playing(const Music& music) const {
    if (!open_ || !playing_) return false;
    return music.midi ? music.midi->Playing() : Mix_PlayingMusic() != 0;
  }

  // Opens the device unless it is open. Without one (no sound card, no server) everything
  // stays silent: a device that failed once is not asked for again.
  bool EnsureOpen() {
    // Whatever the audio thread counted, something is about to play.
    quiet_passes_ = 0;
    if (open_) return true;
    if (unavailable_) return false;
    if (!mixer_started_ && !soundfont_.empty()) Mix_SetSoundFonts(soundfont_.c_str());
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      unavailable_ = true;
      return false;
    }
    if (!mixer_started_) {
      Mix_Init(MIX_INIT_MID | MIX_INIT_OGG | MIX_INIT_MP3);
      mixer_started_ = true;
    }
    if (Mix_OpenAudio(kFrequency, AUDIO_S16SYS, 2, kChunkFrames) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      unavailable_ = true;
      return false;
    }
    // Kept sounds are in the format of the device they were made for.
    Spec spec;
    Mix_QuerySpec(&spec.rate, &spec.format, &spec.channels);
    if (spec != kept_spec_) ForgetKeptSounds();
    kept_spec_ = spec;
    Mix_SetPostMix(AfterMixing, this);
    open_ = true;
    return true;
  }

  // On the audio thread, after each mixing pass.
  static void SDLCALL AfterMixing(void* self, Uint8*, int) {
    auto& audio = *static_cast<SdlAudio*>(self);
    if (audio.SomethingPlays()) {
      audio.quiet_passes_ = 0;
    } else if (++audio.quiet_passes_ == kQuietPassesBeforeClose) {
      PostedCalls::Post(audio.close_call_);
    }
  }

  // On the show thread, when the audio thread found the mixer quiet long enough.
  void CloseIfQuiet() {
    if (open_ && quiet_passes_ >= kQuietPassesBeforeClose && !SomethingPlays()) CloseDevice();
  }

  bool SomethingPlays() const {
    const MidiMusic* midi = hooked_;
    return Mix_Playing(-1) > 0 || Mix_PlayingMusic() || (midi && midi->Playing());
  }

  void CloseDevice() {
    if (!open_) return;
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Hook(nullptr);
    playing_ = false;
    if (sound_) {
      Mix_FreeChunk(sound_);
      sound_ = nullptr;
    }
    if (music_) {
      if (music_->midi) music_->midi->Stop();
      music_->connected = false;
      if (music_->loaded) Mix_FreeMusic(music_->loaded);
      music_->loaded = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
  }

  struct Spec {
    int rate = 0;
    Uint16 format = 0;
    int channels = 0;
    bool operator==(const Spec&) const = default;
  };

  std::shared_ptr<SdlContext> sdl_;
  std::unique_ptr<platform::FileSystem> files_;
  std::string soundfont_;  // none: MIDI through SDL_mixer, if at all
  int32_t close_call_ = 0;
  bool open_ = false;
  bool unavailable_ = false;
  bool mixer_started_ = false;
  std::atomic<int> quiet_passes_{0};
  std::optional<Music> music_;
  bool playing_ = false;  // the music was started and has not been halted since
  std::atomic<MidiMusic*> hooked_{nullptr};
  Mix_Chunk* sound_ = nullptr;  // the sound playing, when it is not kept
  std::list<Kept> kept_;        // the most recently played first
  uint32_t kept_bytes_ = 0;
  Spec kept_spec_;
};

}  // namespace

std::unique_ptr<platform::Audio> MakeSdlAudio(std::shared_ptr<SdlContext> sdl) {
  return std::make_unique<SdlAudio>(std::move(sdl));
}

}  // namespace slidesaver::linux_platform
