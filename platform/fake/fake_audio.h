#pragma once
// Minimal audio: every command is silent and answers nothing.
// (The show's tests replace this with one that logs and scripts the replies.)
#include "platform/audio.h"

namespace slidesaver::fake {

class FakeAudio : public platform::Audio {
 public:
  std::string MciSendString(const std::string&) override { return {}; }
  void PlaySound(const std::string*, uint32_t) override {}
};

}  // namespace slidesaver::fake
