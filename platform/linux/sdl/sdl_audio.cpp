#include "platform/linux/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/linux/mci_command.h"
#include "platform/linux/sound_fonts.h"

namespace slidesaver::linux_platform {
namespace {

constexpr int kSoundChannel = 0;

class SdlAudio : public platform::Audio {
 public:
  ~SdlAudio() override {
    if (!opened_) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    if (sound_) Mix_FreeChunk(sound_);
    for (auto& [alias, music] : music_) Mix_FreeMusic(music);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::string MciSendString(const std::string& command) override {
    const MciCommand mci = ParseMciCommand(command);
    if (mci.verb == "open") return Open(mci);
    auto it = music_.find(mci.device);
    if (it == music_.end()) return {};  // no such device: an error, and no reply
    Mix_Music* music = it->second;
    if (mci.verb == "play") {
      if (!Mix_PlayingMusic() || playing_ != music) {
        Mix_PlayMusic(music, 1);  // once: the show restarts it when it has ended
        playing_ = music;
      }
    } else if (mci.verb == "stop" || (mci.verb == "seek" && mci.rest == "to start")) {
      if (playing_ == music) Mix_HaltMusic();
    } else if (mci.verb == "status" && mci.rest == "mode") {
      return playing_ == music && Mix_PlayingMusic() ? "playing" : "stopped";
    } else if (mci.verb == "close") {
      if (playing_ == music) {
        Mix_HaltMusic();
        playing_ = nullptr;
      }
      Mix_FreeMusic(music);
      music_.erase(it);
    }
    return {};
  }

  void PlaySound(const std::string* path, uint32_t flags) override {
    // Without a file there is nothing to start; a purge stops what plays, if anything does.
    if (!path && (!(flags & platform::SND_PURGE) || !opened_)) return;
    if (!EnsureOpen()) return;
    // A new sound, or the purge, ends the one playing.
    Mix_HaltChannel(kSoundChannel);
    if (sound_) {
      Mix_FreeChunk(sound_);
      sound_ = nullptr;
    }
    if (!path || (flags & platform::SND_PURGE)) return;
    sound_ = Mix_LoadWAV(path->c_str());  // WAV, OGG, MP3 by content; failure is silence
    if (sound_) Mix_PlayChannel(kSoundChannel, sound_, 0);
  }

 private:
  std::string Open(const MciCommand& mci) {
    if (mci.alias.empty() || mci.path.empty() || !EnsureOpen()) return {};
    if (music_.count(mci.alias)) return {};  // the alias is taken: MCI refuses
    Mix_Music* music = Mix_LoadMUS(mci.path.c_str());
    if (music) music_[mci.alias] = music;
    return {};
  }

  bool EnsureOpen() {
    if (tried_) return opened_;
    tried_ = true;
    if (const char* font = FindSoundFont()) Mix_SetSoundFonts(font);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_MID | MIX_INIT_OGG | MIX_INIT_MP3);
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    opened_ = true;
    return true;
  }

  bool tried_ = false;
  bool opened_ = false;
  std::map<std::string, Mix_Music*> music_;
  Mix_Music* playing_ = nullptr;
  Mix_Chunk* sound_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::Audio> MakeSdlAudio() { return std::make_unique<SdlAudio>(); }

}  // namespace slidesaver::linux_platform
