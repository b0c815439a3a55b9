#pragma once
// The audio of the test platform: logs the Windows calls the Win32 audio would make for each
// request (the MCI command strings and PlaySound with its flags), and answers the music's mode
// with scripted replies.
#include <deque>
#include <string>

#include "platform/audio.h"
#include "platform/fake/fake_event_loop.h"

namespace slidesaver::fake {

class FakeAudio : public platform::Audio {
 public:
  explicit FakeAudio(FakeCallLog& log) : log_(log) {}

  // Logged as "mci <command>"; the mode is asked with "status bgm mode".
  void StartMusic(const std::string& path) override;
  bool MusicEnded() override;
  void RestartMusic() override;
  void CloseMusic() override;
  // Logged as "PlaySound <path or null> <flags in hex>".
  void PlaySound(const std::string& path) override;
  void StopSound() override;

  // The next replies to "status bgm mode" while bgm is open, one per query; then the default
  // reply. Without open music the reply is "".
  void QueueStatusReplies(std::deque<std::string> replies) { replies_ = std::move(replies); }
  void SetDefaultStatusReply(std::string reply) { default_reply_ = std::move(reply); }
  bool BgmOpen() const { return bgm_open_; }

 private:
  void Mci(const std::string& command) { log_.Add("mci " + command); }
  void LogPlaySound(const std::string& path, uint32_t flags);

  FakeCallLog& log_;
  std::deque<std::string> replies_;
  std::string default_reply_ = "playing";
  bool bgm_open_ = false;
};

}  // namespace slidesaver::fake
