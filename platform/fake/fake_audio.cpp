#include "platform/fake/fake_audio.h"

#include <cstdio>

#include "platform/windows_calls.h"

namespace slidesaver::fake {

namespace calls = platform::windows_calls;

void FakeAudio::StartMusic(const std::string& path) {
  Mci(calls::OpenMusic(path));
  bgm_open_ = true;
  Mci(calls::kPlayMusic);
}

bool FakeAudio::MusicEnded() {
  Mci(calls::kAskMusicMode);
  if (!bgm_open_) return false;
  std::string reply = default_reply_;
  if (!replies_.empty()) {
    reply = std::move(replies_.front());
    replies_.pop_front();
  }
  return calls::MusicModeIsStopped(reply);
}

void FakeAudio::RestartMusic() {
  Mci(calls::kSeekMusicToStart);
  Mci(calls::kPlayMusic);
}

void FakeAudio::CloseMusic() {
  Mci(calls::kCloseMusic);
  bgm_open_ = false;
}

void FakeAudio::PlaySound(const std::string& path) { LogPlaySound(path, calls::kSoundFileFlags); }

void FakeAudio::StopSound() { LogPlaySound("null", calls::kPurgeFlags); }

void FakeAudio::LogPlaySound(const std::string& path, uint32_t flags) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", flags);
  log_.Add("PlaySound " + path + " " + hex);
}

}  // namespace slidesaver::fake
