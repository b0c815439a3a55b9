#pragma once
// The audio of the test platform: logs every command and sound, and answers
// "status bgm mode" with scripted replies.
#include <deque>
#include <string>

#include "platform/audio.h"
#include "platform/fake/fake_event_loop.h"

namespace slidesaver::fake {

class FakeAudio : public platform::Audio {
 public:
  explicit FakeAudio(FakeCallLog& log) : log_(log) {}

  // Logged as "mci <command>"; replies "" except to "status bgm mode" while bgm is open.
  std::string MciSendString(const std::string& command) override;
  // Logged as "PlaySound <path or null> <flags in hex>".
  void PlaySound(const std::string* path, uint32_t flags) override;

  // The next replies to "status bgm mode", one per query; then the default reply.
  void QueueStatusReplies(std::deque<std::string> replies) { replies_ = std::move(replies); }
  void SetDefaultStatusReply(std::string reply) { default_reply_ = std::move(reply); }
  bool BgmOpen() const { return bgm_open_; }

 private:
  FakeCallLog& log_;
  std::deque<std::string> replies_;
  std::string default_reply_ = "playing";
  bool bgm_open_ = false;
};

}  // namespace slidesaver::fake
