#pragma once
// The audio of the test platform: logs each request of the show in its own words ("music
// started PATH", "music ended? no", "music restarted", "music closed", "sound started PATH",
// "sound stopped"), and answers whether the music has ended as the test scripts it.
#include <deque>
#include <string>

#include "platform/audio.h"
#include "platform/fake/fake_event_loop.h"

namespace slidesaver::fake {

class FakeAudio : public platform::Audio {
 public:
  explicit FakeAudio(FakeCallLog& log) : log_(log) {}

  void StartMusic(const std::string& path) override;
  bool MusicEnded() override;
  void RestartMusic() override;
  void CloseMusic() override;
  void PlaySound(const std::string& path) override;
  void StopSound() override;

  // The next answers to MusicEnded while the music is open, one per question; then false.
  // Without open music the answer is false.
  void QueueMusicEnded(std::deque<bool> answers) { ended_answers_ = std::move(answers); }

 private:
  FakeCallLog& log_;
  std::deque<bool> ended_answers_;
  bool music_open_ = false;
};

}  // namespace slidesaver::fake
