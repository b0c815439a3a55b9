#include "platform/fake/fake_audio.h"

namespace slidesaver::fake {

void FakeAudio::StartMusic(const std::string& path) {
  log_.Add("music started " + path);
  music_open_ = true;
}

bool FakeAudio::MusicEnded() {
  bool ended = false;
  if (music_open_ && !ended_answers_.empty()) {
    ended = ended_answers_.front();
    ended_answers_.pop_front();
  }
  log_.Add(ended ? "music ended? yes" : "music ended? no");
  return ended;
}

void FakeAudio::RestartMusic() { log_.Add("music restarted"); }

void FakeAudio::CloseMusic() {
  log_.Add("music closed");
  music_open_ = false;
}

void FakeAudio::PlaySound(const std::string& path) { log_.Add("sound started " + path); }

void FakeAudio::StopSound() { log_.Add("sound stopped"); }

}  // namespace slidesaver::fake
