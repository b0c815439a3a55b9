#include "platform/fake/fake_audio.h"

#include <cstdio>

namespace slidesaver::fake {

std::string FakeAudio::MciSendString(const std::string& command) {
  log_.Add("mci " + command);
  if (command.starts_with("open ") && command.ends_with(" alias bgm")) bgm_open_ = true;
  if (command == "close bgm") bgm_open_ = false;
  if (command != "status bgm mode" || !bgm_open_) return {};
  if (replies_.empty()) return default_reply_;
  std::string reply = std::move(replies_.front());
  replies_.pop_front();
  return reply;
}

void FakeAudio::PlaySound(const std::string* path, uint32_t flags) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%X", flags);
  log_.Add("PlaySound " + (path ? *path : std::string("null")) + " " + hex);
}

}  // namespace slidesaver::fake
